#pragma once
// Windows only: the layout unit, the fonts and the bitmaps of the program's
// windows at the scaling of the monitor the main window is on, shrunk where
// the main window would not fit its work area (see screen_fit.h). At the
// normal size on the system's scaling everything is exactly as the stock
// objects make it: the controls keep the system font, the bitmaps their
// pixels.
#include <windows.h>

#include "app/screen_fit.h"

struct ScreenScale {
    int systemDpi;       // the stock fonts are made for this scaling
    int dpi;             // the main window's monitor
    LayoutUnit system;   // the system fixed font, as the stock object measures
    LayoutUnit normal;   // the same font at dpi
    LayoutUnit unit;     // in effect; appState.charWidth and lineHeight hold it too
    bool scrolls;        // the main window is cut to the work area and scrolls
};

const ScreenScale& screenScale();

// Sent to the main window's child after the layout unit changed (another
// monitor, another scaling, another screen size), once its controls have
// been moved and given the new font: windows with fonts of their own make
// them again. wParam and lParam are 0.
inline constexpr UINT WM_LAYOUT_CHANGED = 0x8010;

// The dpi of the monitor a window is on; the system's where Windows is too
// old to tell.
int windowDpi(HWND window);

// The frame a window of this style has at a dpi (caption, menu bar, borders).
SIZE windowFrame(DWORD style, DWORD exStyle, bool menu, int dpi);

// The monitor a window or rectangle is on and its work area (without the
// taskbar).
struct MonitorArea {
    PixelRect monitor;
    PixelRect work;
};
MonitorArea monitorAreaOf(HWND window);
MonitorArea monitorAreaAt(const RECT& rect);

// Measures the system fixed font in a device context that has it selected;
// once, when the main window is created.
void measureSystemUnit(HDC dc);

// Chooses the unit for an outer window of `cells` with frames of `frame`
// pixels at `dpi` on a work area, makes the fonts for it and stores the unit
// in appState. The control font it replaces stays until
// releaseOldControlFont, once no control uses it.
ScreenFit chooseScreenScale(int dpi, CellSize cells, FrameSize frame, PixelRect work);
void releaseOldControlFont();

// The font every control gets: nullptr where they keep the system font.
HFONT controlFont();
// Gives every descendant of the window the control font.
void applyControlFont(HWND window);

// A font of the given character height at 96 dpi, scaled to the monitor and
// the unit; the caller deletes it.
HFONT createScaledFont(const char* face, int heightAt96, int weight);

// A length that is `pixelsAt96` on a 96-dpi screen at the normal size.
int scaledLength(int pixelsAt96);

// Draws a bitmap resource at its scaled size.
void drawBitmap(HDC dc, const char* name, int x, int y, int widthAt96, int heightAt96, DWORD rop);
