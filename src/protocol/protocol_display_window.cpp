#include "app/window_procedures.h"

#include <cstdint>
#include <cstring>

#include "app/feature_frame.h"
#include "app/menus.h"
#include "app/screen_scale.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/window_table.h"
#include "protocol/display_navigation.h"
#include "protocol/protocol_display.h"
#include "protocol/protocol_entries.h"

// The portable scroll requests carry the Windows scroll-bar codes.
static_assert(scrollLineUp == SB_LINEUP);
static_assert(scrollLineDown == SB_LINEDOWN);
static_assert(scrollThumbTrack == SB_THUMBTRACK);
static_assert(colourBlue == RGB(0, 0, 255));
static_assert(colourNavy == RGB(0, 0, 128));
static_assert(colourMaroon == RGB(128, 0, 0));

namespace {

// Only one display window exists at a time (the feature-window frame sees
// to that), so its state is kept here.
struct DisplayWindow {
    HFONT font;
    HBRUSH headerBrush;
    HWND verticalBar;
    HWND horizontalBar;     // M-Series only
    std::int32_t topEntry;
    int columnOffset;
    WheelTurn wheel;
};

DisplayWindow display = {};

ProtocolData currentProtocol()
{
    return {protocolBuffer, protocolBuffer ? workBufferSize : 0, appState.protocolCount};
}

// Never more entries than the buffer holds, whatever protocolCount says.
std::int32_t entryCount(Family family)
{
    return readableEntries(currentProtocol(), family);
}

// The part of the window on the screen: all of it, unless the main window
// is too small for it and scrolls.
int shownHeight(HWND window)
{
    RECT own = {}, main = {};
    GetClientRect(window, &own);
    GetClientRect(GetParent(window), &main);
    POINT bottom = {0, main.bottom};
    MapWindowPoints(GetParent(window), window, &bottom, 1);
    return bottom.y < own.bottom ? bottom.y : own.bottom;
}

DisplayMetrics currentMetrics(HWND window)
{
    return {appState.clientWidth, appState.clientHeight, appState.charWidth, appState.lineHeight,
            appState.textCharWidth, appState.textLineHeight, shownHeight(window)};
}

RECT asRect(const DisplayRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

HWND createBar(HWND window, DWORD direction, const BarPlace& place)
{
    return CreateWindowExA(0, "scrollbar", nullptr, WS_CHILD | WS_VISIBLE | direction, place.x,
                           place.y, place.width, place.height, window, nullptr, appInstance,
                           nullptr);
}

void setBarRange(HWND bar, int maximum)
{
    SCROLLINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = 0;
    info.nMax = maximum;
    info.nPos = 0;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

// The position the user drags the thumb to, in the full 32-bit range (the
// message itself carries only 16 bits, too few for a large protocol).
std::int32_t trackPosition(HWND bar, std::int32_t current)
{
    SCROLLINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (!bar || !GetScrollInfo(bar, SB_CTL, &info))
        return current;
    return info.nTrackPos;
}

// Times New Roman of 12 pixels at 96 dpi and the normal size.
void createTextFont(HWND window)
{
    if (display.font)
        DeleteObject(display.font);
    display.font = createScaledFont("Times New Roman", 12, FW_NORMAL);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, display.font);
    TEXTMETRICA metrics;
    if (GetTextMetricsA(dc, &metrics)) {
        appState.textCharWidth = metrics.tmAveCharWidth;
        appState.textLineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

void create(HWND window, Family family)
{
    featureFrameCreate(window);
    // The shown protocol can be saved while it is on screen.
    setMenuItemEnabled(mainWindowHandle(), commandProtocolSave, true);

    display = {};
    createTextFont(window);
    display.headerBrush = CreateSolidBrush(colourBlue);

    const DisplayMetrics m = currentMetrics(window);
    display.verticalBar = createBar(window, SBS_VERT, verticalBar(family, m));
    setBarRange(display.verticalBar, entryCount(family));
    if (family == Family::m) {
        display.horizontalBar = createBar(window, SBS_HORZ, horizontalBar(m));
        setBarRange(display.horizontalBar, maxColumnOffset);
    }
}

// Another layout unit: the font again, and the bars where the metrics put them.
void layoutChanged(HWND window, Family family)
{
    createTextFont(window);
    const DisplayMetrics m = currentMetrics(window);
    const BarPlace v = verticalBar(family, m);
    MoveWindow(display.verticalBar, v.x, v.y, v.width, v.height, TRUE);
    if (display.horizontalBar) {
        const BarPlace h = horizontalBar(m);
        MoveWindow(display.horizontalBar, h.x, h.y, h.width, h.height, TRUE);
    }
}

void destroy()
{
    if (display.font)
        DeleteObject(display.font);
    if (display.headerBrush)
        DeleteObject(display.headerBrush);
    display = {};
}

void paintHeader(HDC dc, Family family, const DisplayMetrics& m)
{
    const RECT band = asRect(headerBand(m));
    FillRect(dc, &band, display.headerBrush);
    SetBkColor(dc, colourBlue);
    SetTextColor(dc, colourWhite);
    HeaderText header[1 + maxShownColumns];
    const int n = headerTexts(family, display.columnOffset, m, uiText, header);
    for (int k = 0; k < n; ++k)
        if (header[k].text)
            TextOutA(dc, header[k].x, header[k].y, header[k].text,
                     static_cast<int>(std::strlen(header[k].text)));
}

// Only the lines on screen are formatted, so a paint costs the same at the
// end of a full buffer as at its start.
void paintLines(HDC dc, Family family, const DisplayMetrics& m)
{
    const int lines = visibleLineCount(family, m);
    if (lines == 0)
        return;
    SetBkColor(dc, colourWhite);
    const ProtocolData protocol = currentProtocol();
    const VisibleEntries shown = visibleEntries(display.topEntry, lines, entryCount(family));
    for (std::int32_t i = shown.first; i < shown.end; ++i) {
        DisplayText texts[1 + maxShownColumns];
        const int n = displayLineTexts(family, protocol, i, static_cast<int>(i - shown.first),
                                       display.columnOffset, m, texts);
        for (int k = 0; k < n; ++k) {
            SetTextColor(dc, texts[k].colour);
            TextOutA(dc, texts[k].x, texts[k].y, texts[k].text, texts[k].length);
        }
    }
}

void paint(HWND window, Family family)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HGDIOBJ old = SelectObject(dc, display.font);
    SetBkMode(dc, OPAQUE);
    const DisplayMetrics m = currentMetrics(window);
    paintHeader(dc, family, m);
    paintLines(dc, family, m);
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

bool scrollVertically(HWND window, Family family, int request)
{
    const std::int32_t track =
        request == SB_THUMBTRACK ? trackPosition(display.verticalBar, display.topEntry)
                                 : display.topEntry;
    if (!scrollTopEntry(request, track, entryCount(family), display.topEntry))
        return false;
    // Also at a limit, so bar and list always agree.
    SetScrollPos(display.verticalBar, SB_CTL, display.topEntry, TRUE);
    const RECT list = asRect(listArea(currentMetrics(window)));
    InvalidateRect(window, &list, TRUE);
    return true;
}

bool scrollHorizontally(HWND window, int request);

// The list from another first entry, the bar with it.
void showFromEntry(HWND window, std::int32_t topEntry)
{
    if (topEntry == display.topEntry)
        return;
    display.topEntry = topEntry;
    SetScrollPos(display.verticalBar, SB_CTL, display.topEntry, TRUE);
    const RECT list = asRect(listArea(currentMetrics(window)));
    InvalidateRect(window, &list, TRUE);
}

bool keyPressed(HWND window, Family family, WPARAM key)
{
    DisplayKey move;
    switch (key) {
    case VK_UP: move = DisplayKey::lineUp; break;
    case VK_DOWN: move = DisplayKey::lineDown; break;
    case VK_PRIOR: move = DisplayKey::pageUp; break;
    case VK_NEXT: move = DisplayKey::pageDown; break;
    case VK_HOME: move = DisplayKey::first; break;
    case VK_END: move = DisplayKey::lastPage; break;
    case VK_LEFT:
    case VK_RIGHT:
        // The M-Series columns, as the horizontal bar's arrows move them.
        return family == Family::m && scrollHorizontally(window, key == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT);
    default:
        return false;
    }
    const int lines = visibleLineCount(family, currentMetrics(window));
    showFromEntry(window, topEntryAfterKey(move, display.topEntry, lines, entryCount(family)));
    return true;
}

void wheelTurned(HWND window, Family family, int delta)
{
    UINT linesPerNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    const int perNotch = linesPerNotch == WHEEL_PAGESCROLL ? wheelPageScroll : static_cast<int>(linesPerNotch);
    const int lines = visibleLineCount(family, currentMetrics(window));
    showFromEntry(window,
                  topEntryAfterWheel(display.wheel, delta, perNotch, display.topEntry, lines, entryCount(family)));
}

bool scrollHorizontally(HWND window, int request)
{
    const std::int32_t track =
        request == SB_THUMBTRACK ? trackPosition(display.horizontalBar, display.columnOffset)
                                 : display.columnOffset;
    if (!scrollColumnOffset(request, track, display.columnOffset))
        return false;
    SetScrollPos(display.horizontalBar, SB_CTL, display.columnOffset, TRUE);
    const DisplayMetrics m = currentMetrics(window);
    const RECT list = asRect(listArea(m));
    const RECT band = asRect(headerBand(m));
    InvalidateRect(window, &list, TRUE);
    InvalidateRect(window, &band, TRUE);
    return true;
}

LRESULT displayProc(Family family, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        create(window, family);
        return 0;
    case WM_PAINT:
        paint(window, family);
        return 0;
    case WM_LAYOUT_CHANGED:
        layoutChanged(window, family);
        return 0;
    case WM_VSCROLL:
        if (scrollVertically(window, family, LOWORD(wParam)))
            return 0;
        break;
    case WM_HSCROLL:
        if (family == Family::m && scrollHorizontally(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_KEYDOWN:
        if (keyPressed(window, family, wParam))
            return 0;
        break;
    case WM_MOUSEWHEEL:
        wheelTurned(window, family, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        // A click in the list brings the keys to it.
        SetFocus(window);
        return 0;
    case WM_CLOSE:
        featureFrameClose(window, false);
        return 0;
    case WM_DESTROY:
        destroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK protocolDisplayProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return displayProc(Family::k, window, message, wParam, lParam);
}

LRESULT CALLBACK protocolDisplayProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return displayProc(Family::m, window, message, wParam, lParam);
}
