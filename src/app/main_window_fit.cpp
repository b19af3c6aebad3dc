#include "app/main_window_fit.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/control_rescale.h"
#include "app/screen_scale.h"

namespace {

CellSize mainCells = {108, 51};

// While the window scrolls: the client size the layout needs, and how far
// the child is moved out of view.
struct Scrolling {
    bool on;
    SIZE needed;
    POINT offset;
    bool updating;
};
Scrolling scrolling = {};

DWORD mainStyle(HWND main)
{
    return static_cast<DWORD>(GetWindowLongA(main, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL);
}
DWORD mainExStyle(HWND main) { return static_cast<DWORD>(GetWindowLongA(main, GWL_EXSTYLE)); }

// The main window's frame as it is now.
SIZE frameOf(HWND main) { return windowFrame(mainStyle(main), mainExStyle(main), GetMenu(main) != nullptr, windowDpi(main)); }

// What keeps its pixels at any unit: the main window's frame with its menu
// bar (there from the selection on) and the frame of a feature window.
FrameSize fixedFrame(HWND main, int dpi)
{
    const SIZE outer = windowFrame(mainStyle(main), mainExStyle(main), true, dpi);
    const SIZE feature = windowFrame(WS_CHILD | WS_CAPTION | WS_SYSMENU, 0, false, dpi);
    return {outer.cx + feature.cx, outer.cy + feature.cy};
}

void scrollTo(HWND main, int x, int y)
{
    RECT client;
    GetClientRect(main, &client);
    x = std::max(0, std::min(x, static_cast<int>(scrolling.needed.cx - client.right)));
    y = std::max(0, std::min(y, static_cast<int>(scrolling.needed.cy - client.bottom)));
    if (!scrolling.on)
        x = y = 0;
    const int dx = scrolling.offset.x - x, dy = scrolling.offset.y - y;
    if (dx == 0 && dy == 0)
        return;
    scrolling.offset = {x, y};
    ScrollWindowEx(main, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    if (scrolling.on) {
        SetScrollPos(main, SB_HORZ, x, TRUE);
        SetScrollPos(main, SB_VERT, y, TRUE);
    }
}

// Scroll bars for the part of the layout that is not on the screen. Showing
// one bar narrows the client area and may call for the other, hence twice.
void updateScrollBars(HWND main)
{
    if (scrolling.updating)
        return;
    scrolling.updating = true;
    for (int pass = 0; pass < 2; ++pass) {
        RECT client;
        GetClientRect(main, &client);
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = scrolling.needed.cx - 1;
        info.nPage = static_cast<UINT>(client.right);
        info.nPos = scrolling.offset.x;
        SetScrollInfo(main, SB_HORZ, &info, TRUE);
        info.nMax = scrolling.needed.cy - 1;
        info.nPage = static_cast<UINT>(client.bottom);
        info.nPos = scrolling.offset.y;
        SetScrollInfo(main, SB_VERT, &info, TRUE);
    }
    scrolling.updating = false;
    scrollTo(main, scrolling.offset.x, scrolling.offset.y);
}

void setScrolling(HWND main, bool on, SIZE outer)
{
    const bool was = scrolling.on;
    scrolling.on = on;
    if (on) {
        const SIZE frame = frameOf(main);
        scrolling.needed = {outer.cx - frame.cx, outer.cy - frame.cy};
    } else if (was) {
        ShowScrollBar(main, SB_BOTH, FALSE);
    }
}

void place(HWND main, int dpi, const RECT* suggested, bool repaint)
{
    const LayoutUnit before = {appState.charWidth, appState.lineHeight};
    const SIZE clientBefore = {appState.clientWidth, appState.clientHeight};
    scrollTo(main, 0, 0);

    const MonitorArea area = suggested ? monitorAreaAt(*suggested) : monitorAreaOf(main);
    const ScreenFit fit = chooseScreenScale(dpi, mainCells, fixedFrame(main, dpi), area.work);
    const SIZE outer = {fit.width, fit.height};
    SIZE size = outer;
    if (fit.scrolls) {
        // Cut to the work area; the bar for one direction takes room of its
        // own where there is some, so it does not call for the other.
        const LONG workWidth = area.work.width, workHeight = area.work.height;
        size = {std::min(outer.cx, workWidth), std::min(outer.cy, workHeight)};
        if (size.cy < outer.cy)
            size.cx = std::min(size.cx + GetSystemMetrics(SM_CXVSCROLL), workWidth);
        if (size.cx < outer.cx)
            size.cy = std::min(size.cy + GetSystemMetrics(SM_CYHSCROLL), workHeight);
    }
    const PixelRect r = suggested ? keepInWorkArea({suggested->left, suggested->top, size.cx, size.cy}, area.work)
                                  : placeInWorkArea(size.cx, size.cy, area.monitor, area.work);
    setScrolling(main, fit.scrolls, outer);
    MoveWindow(main, r.x, r.y, r.width, r.height, repaint ? TRUE : FALSE);

    // An open window follows a new unit, or a new client area (the work
    // area changed and the window now scrolls, or no longer does).
    if (!(fit.unit == before) || clientBefore.cx != appState.clientWidth || clientBefore.cy != appState.clientHeight)
        relayoutChild(main, clientBefore, before, fit.unit);
    releaseOldControlFont();
}

} // namespace

void fitMainWindow(HWND main, CellSize cells, bool repaint)
{
    mainCells = cells;
    place(main, windowDpi(main), nullptr, repaint);
}

void refitMainWindow(HWND main, int dpi, const RECT* suggested) { place(main, dpi, suggested, true); }

void mainWindowSized(HWND main, int width, int height)
{
    if (!scrolling.on) {
        appState.clientWidth = width;
        appState.clientHeight = height;
        return;
    }
    appState.clientWidth = scrolling.needed.cx;
    appState.clientHeight = scrolling.needed.cy;
    updateScrollBars(main);
}

bool scrollMainWindow(HWND main, UINT message, WPARAM wParam)
{
    if (!scrolling.on)
        return false;
    RECT client;
    GetClientRect(main, &client);
    const int line = appState.lineHeight;
    if (message == WM_MOUSEWHEEL) {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        scrollTo(main, scrolling.offset.x, scrolling.offset.y - 3 * line * notches);
        return true;
    }
    const bool vertical = message == WM_VSCROLL;
    const int page = vertical ? client.bottom : client.right;
    int position = vertical ? scrolling.offset.y : scrolling.offset.x;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        position -= line;
        break;
    case SB_LINEDOWN:
        position += line;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = HIWORD(wParam);
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = vertical ? scrolling.needed.cy : scrolling.needed.cx;
        break;
    default:
        return true;
    }
    if (vertical)
        scrollTo(main, scrolling.offset.x, position);
    else
        scrollTo(main, position, scrolling.offset.y);
    return true;
}

void scrollMainWindowHome(HWND main) { scrollTo(main, 0, 0); }

void scrollIntoView(HWND control)
{
    if (!scrolling.on || !control)
        return;
    HWND main = GetAncestor(control, GA_ROOT);
    RECT r, client;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(main, &client);
    int x = scrolling.offset.x, y = scrolling.offset.y;
    if (r.right > client.right)
        x += r.right - client.right;
    if (r.left - (x - scrolling.offset.x) < 0)
        x += r.left - (x - scrolling.offset.x);
    if (r.bottom > client.bottom)
        y += r.bottom - client.bottom;
    if (r.top - (y - scrolling.offset.y) < 0)
        y += r.top - (y - scrolling.offset.y);
    scrollTo(main, x, y);
}

POINT mainWindowScroll() { return scrolling.offset; }
