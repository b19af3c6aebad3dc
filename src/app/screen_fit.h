#pragma once
#include "app/layout.h"

// How the program's windows fit the screen they open on. Every window is
// laid out in cells of the layout unit (the system fixed font's average
// character width and line height); where the main window of a family does
// not fit the monitor's work area in cells of that size, the unit and every
// font shrink together, in proportion, down to a legible floor. Below the
// floor the main window takes the work area and its client area scrolls.

struct LayoutUnit {
    int charWidth;
    int lineHeight;
};

inline bool operator==(LayoutUnit a, LayoutUnit b)
{
    return a.charWidth == b.charWidth && a.lineHeight == b.lineHeight;
}

// The unit never shrinks below this share of its normal size, rounded up to
// whole pixels: the same unit as 80 % at 96, 120 and 192 dpi, and at 144 dpi
// (150 %) the one pixel that lets the M-Series window fit a 1920 x 1080
// screen above Windows' taskbar, with text still larger than at 100 %.
inline constexpr int smallestScalePercent = 78;

// The pixels of a window's frames (caption, menu bar, borders, the caption
// of the window inside it) that keep their size whatever the unit.
struct FrameSize {
    int width;
    int height;
};

struct ScreenFit {
    LayoutUnit unit;
    int width;      // outer size of the window for that unit
    int height;
    bool scrolls;   // even the floor does not fit: the window is cut to the work area and scrolls
};

// The outer size of a window of `cells` at the normal unit, for another
// unit: its frames keep their pixels, everything inside shrinks with the
// unit, so what fits inside at the normal size fits at any size.
ScreenFit outerWindowSize(LayoutUnit normal, LayoutUnit unit, CellSize cells, FrameSize frame);

// The unit for a window of `cells` (outer size at the normal unit) on a work
// area, from the normal unit at the monitor's scaling. A window that fits
// keeps the normal unit exactly; otherwise the tighter dimension decides and
// the other follows in proportion.
ScreenFit fitLayoutUnit(LayoutUnit normal, CellSize cells, FrameSize frame, int workWidth, int workHeight);

// A font of the normal size, for the unit in effect. Heights keep their
// sign (LOGFONT: negative for the character height). Fonts that give a
// width scale it by the width ratio; fonts that do not are held to the
// smaller of the two ratios so that their text never outgrows its cells.
int scaledFontHeight(int height, LayoutUnit unit, LayoutUnit normal);
int scaledFontWidth(int width, LayoutUnit unit, LayoutUnit normal);
int scaledProportionalFontHeight(int height, LayoutUnit unit, LayoutUnit normal);

// A length in pixels at 96 dpi for a screen of `dpi`, shrunk with the unit
// (bitmaps, fixed font heights).
int scaledPixels(int pixelsAt96, int dpi, LayoutUnit unit, LayoutUnit normal);

// An outer window of this size on a monitor: centred on the monitor as the
// program has always centred it, then moved just far enough to lie inside
// the work area (so the title bar and menu are never off the screen). A
// window larger than the work area keeps its top left corner there.
PixelRect placeInWorkArea(int width, int height, PixelRect monitor, PixelRect work);

// The same, keeping a corner the system suggested (a window dragged to
// another monitor) as far as the work area allows.
PixelRect keepInWorkArea(PixelRect window, PixelRect work);
