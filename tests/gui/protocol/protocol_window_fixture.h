#pragma once
// A started program with the protocol display windows and the save command
// linked in, and a protocol in protocolBuffer as a read would leave it.
#include "gui_harness.h"

#include <cstdint>
#include <vector>

struct BarState {
    int minimum;
    int maximum;
    int position;
};

class ProtocolWindowTest : public ShellTest {
protected:
    void TearDown() override;

    // Starts, confirms language and family, and links in command 42.
    void startAs(int languageId, int familyId);
    // count entries of varied content, written as the unit lays them out;
    // protocolCount and protocolAvailable set as after a good read.
    void loadProtocolK(std::int32_t count);
    void loadProtocolM(std::int32_t count);
    // Command 41; the display window of the family, or nullptr.
    HWND openDisplay();
    void closeDisplay(HWND display);
    // Writes a screenshot of the main window when KAVIX_PROTOCOL_SHOTS names
    // a folder (for looking at the windows; not checked).
    void screenshot(const char* name);
};

// The display's scroll bars: vertical or horizontal; nullptr if none.
HWND displayBar(HWND display, bool vertical);
BarState barState(HWND bar);
// The bar's place in the display's client coordinates.
RECT placeInParent(HWND child);

// A scroll request as the bar sends it.
void sendScroll(HWND display, HWND bar, int request);
// Drags the bar's thumb with the mouse from where it is to the far end of
// the bar (toEnd) or to its start, as the user would.
void dragThumb(HWND bar, bool toEnd);

// Pixels in a rectangle of the window's client area that are not white.
int nonWhitePixels(HWND window, const RECT& area);
COLORREF pixelAt(HWND window, int x, int y);
