#pragma once
#include <cstdint>

#include "app/text_ids.h"
#include "protocol/protocol_entries.h"

// Layout of the protocol display, as pure functions of the window's metrics
// and state, so that painting only draws what these return and its cost
// depends on the window's height, never on the number of entries.

// Colours as Windows COLORREF values (0x00BBGGRR).
inline constexpr std::uint32_t colourBlack = 0x000000;
inline constexpr std::uint32_t colourWhite = 0xFFFFFF;
inline constexpr std::uint32_t colourBlue = 0xFF0000;   // header band
inline constexpr std::uint32_t colourNavy = 0x800000;
inline constexpr std::uint32_t colourMaroon = 0x000080;

// At most 3 fixed and 5 scrolled M-Series columns; the K-Series shows 7.
inline constexpr int maxShownColumns = 8;
inline constexpr int maxColumnOffset = 15;

struct DisplayMetrics {
    int clientWidth;
    int clientHeight;
    int charWidth;        // layout units of the main window
    int lineHeight;
    int textCharWidth;    // the display's own font
    int textLineHeight;
    // The display window's own client height, 0 when not known. Its caption
    // keeps its pixels when the layout unit shrinks, so the lines and bars
    // placed from the bottom of the main window's client area are held
    // above this (at the normal size they already are).
    int shownHeight = 0;
};

struct DisplayRect {
    int left, top, right, bottom;
};

struct BarPlace {
    int x, y, width, height;
};

// (0, 0)-(clientWidth, 3 lh), filled blue.
DisplayRect headerBand(const DisplayMetrics& m);
// (0, 6 cw)-(clientWidth - 3 cw, clientHeight), redrawn after scrolling;
// its top never lies below the first list line (3 lh).
DisplayRect listArea(const DisplayMetrics& m);
BarPlace verticalBar(Family family, const DisplayMetrics& m);
BarPlace horizontalBar(const DisplayMetrics& m);   // M-Series only

// Lines that fit below the header: (clientHeight - 5 lh) / tlh for the
// K-Series, (clientHeight - 6 lh) / tlh for the M-Series, and never more
// than the window shows above the horizontal bar; 0 when none fit.
int visibleLineCount(Family family, const DisplayMetrics& m);

// Columns shown for a horizontal position: the K-Series always 0 to 6; the
// M-Series 0, 1, 2 and 3 + offset to 7 + offset as far as they exist (at
// most 17). Returns how many were written to columns.
int shownColumns(Family family, int columnOffset, int columns[maxShownColumns]);

// x of the k-th shown column (k from 0) and its colour: navy for even k,
// maroon for odd k.
int columnX(Family family, int k, int textCharWidth);
std::uint32_t columnColour(int k);

// Entries first .. end - 1 are shown, for topEntry and the visible lines.
struct VisibleEntries {
    std::int32_t first;
    std::int32_t end;
};
VisibleEntries visibleEntries(std::int32_t topEntry, int lineCount, std::int32_t count);

// One text to draw.
struct DisplayText {
    int x;
    int y;
    std::uint32_t colour;
    int length;
    char text[16];
};

// The header band's texts, "<Nr.>" first, then the shown columns' headers
// (white on blue). Text pointers come from the given text table.
struct HeaderText {
    int x;
    int y;
    const char* text;
};
int headerTexts(Family family, int columnOffset, const DisplayMetrics& m,
                const char* const* texts, HeaderText out[1 + maxShownColumns]);

// The texts of list line row for entry index: the line number index + 1 in
// black, then the shown columns. Returns how many were written (0 when the
// entry lies outside the readable protocol).
int displayLineTexts(Family family, const ProtocolData& protocol, std::int32_t index,
                     int row, int columnOffset, const DisplayMetrics& m,
                     DisplayText out[1 + maxShownColumns]);

// Scroll requests, numbered as the Windows scroll-bar codes.
inline constexpr int scrollLineUp = 0;
inline constexpr int scrollLineDown = 1;
inline constexpr int scrollThumbTrack = 5;

// Vertical scrolling: line up / down by one entry within 0 .. count, thumb
// tracking to the tracking position (kept within 0 .. count). Any other
// request is not handled and changes nothing. Returns whether it was handled
// (the window then sets the bar's position and redraws, even at a limit).
bool scrollTopEntry(int request, std::int32_t trackPosition, std::int32_t count,
                    std::int32_t& topEntry);
// Horizontal scrolling of the M-Series over 0 .. 15, the same way.
bool scrollColumnOffset(int request, std::int32_t trackPosition, int& columnOffset);
