// The display windows: header band, bars and their limits, menu state.
#include "protocol_fixture.h"

namespace {

struct BarState {
    int minimum, maximum, position;
    bool operator==(const BarState&) const = default;
};

BarState barState(HWND bar)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(bar, SB_CTL, &info);
    return {info.nMin, info.nMax, info.nPos};
}

bool isVertical(HWND bar) { return (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0; }

HWND displayBar(HWND display, bool vertical)
{
    for (HWND bar = FindWindowExA(display, nullptr, "ScrollBar", nullptr); bar;
         bar = FindWindowExA(display, bar, "ScrollBar", nullptr))
        if (isVertical(bar) == vertical)
            return bar;
    return nullptr;
}

// A request as the bar sends it; the bar's position afterwards.
int scroll(HWND display, HWND bar, int request, int times = 1)
{
    for (int i = 0; i < times; ++i)
        SendMessageA(display, isVertical(bar) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, 0),
                     reinterpret_cast<LPARAM>(bar));
    return barState(bar).position;
}

// Drags the bar's thumb with the mouse to the far end (toEnd) or the start;
// the bar's position afterwards.
int dragThumb(HWND bar, bool toEnd)
{
    SCROLLBARINFO info = {};
    info.cbSize = sizeof info;
    GetScrollBarInfo(bar, OBJID_CLIENT, &info);
    const RECT& r = info.rcScrollBar;
    const bool vertical = isVertical(bar);
    const int across = (vertical ? r.right - r.left : r.bottom - r.top) / 2;
    const int target = toEnd ? (vertical ? r.bottom - r.top : r.right - r.left) - 1 : 0;
    auto at = [&](int along) { return vertical ? MAKELPARAM(across, along) : MAKELPARAM(along, across); };
    // The bar's tracking loop takes the move and the release from the queue.
    PostMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, at(target));
    PostMessageA(bar, WM_LBUTTONUP, 0, at(target));
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at((info.xyThumbTop + info.xyThumbBottom) / 2));
    pumpFor(20);
    return barState(bar).position;
}

} // namespace

TEST_F(ProtocolTest, KDisplayMenuBandAndScrollingLimits)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocol(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "K-Series Event-Protocol");
    // Everything is grey but Info and, while the protocol is shown, Save.
    for (int id : menuItemIds)
        EXPECT_EQ(menuItemGrey(id), id != commandProtocolSave) << id;
    EXPECT_FALSE(menuItemGrey(commandInfo));

    UpdateWindow(display);
    HDC dc = GetDC(display);
    EXPECT_EQ(GetPixel(dc, 2, 3 * appState.lineHeight - 2), RGB(0, 0, 255)) << "the header band";
    ReleaseDC(display, dc);

    // One bar over all entries, down to an empty list; pages do nothing.
    EXPECT_EQ(displayBar(display, false), nullptr);
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(barState(bar), (BarState{0, 60, 0}));
    EXPECT_EQ(scroll(display, bar, SB_LINEDOWN, 70), 60);
    for (int request : {SB_PAGEUP, SB_TOP, SB_THUMBPOSITION})
        EXPECT_EQ(scroll(display, bar, request), 60) << request;
    EXPECT_EQ(scroll(display, bar, SB_LINEUP), 59);
}

TEST_F(ProtocolTest, ThumbTrackingReachesTheEndOfAFullBufferWhateverTheCount)
{
    startAs(selectionIdEnglish, selectionIdK);
    // More entries than a 16-bit scroll message can carry, and a count
    // beyond what the buffer holds.
    loadProtocol(87381);
    appState.protocolCount = 90000;
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    HWND bar = displayBar(display, true);
    EXPECT_EQ(barState(bar).maximum, 87381);
    EXPECT_EQ(dragThumb(bar, true), 87381);
    EXPECT_EQ(scroll(display, bar, SB_LINEDOWN), 87381);
    EXPECT_EQ(dragThumb(bar, false), 0);
}

TEST_F(ProtocolTest, MDisplayScrollsColumnsAndRowsApartAndReopensAtTheStart)
{
    startAs(selectionIdGerman, selectionIdM);
    loadProtocol(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "M-Series Ereignis-Protokoll");
    HWND rows = displayBar(display, true);
    HWND columns = displayBar(display, false);
    ASSERT_TRUE(rows && columns);
    EXPECT_EQ(barState(columns), (BarState{0, 15, 0}));
    EXPECT_EQ(scroll(display, rows, SB_LINEDOWN), 1);
    EXPECT_EQ(dragThumb(columns, true), 15);
    EXPECT_EQ(barState(rows).position, 1) << "columns move, entries do not";

    closeWindow(display);
    display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(barState(displayBar(display, true)).position, 0);
    EXPECT_EQ(barState(displayBar(display, false)).position, 0);
}
