#include "protocol_window_fixture.h"

#include "app/layout.h"
#include "app/window_table.h"

namespace {

struct Cells {
    int cw, lh, width, height;
};

Cells cells()
{
    return {appState.charWidth, appState.lineHeight, appState.clientWidth, appState.clientHeight};
}

void expectPlace(HWND bar, int x, int y, int width, int height)
{
    const RECT r = placeInParent(bar);
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.bottom - r.top, height);
}

// List line r of the display, across the list area.
RECT listLine(int row)
{
    const Cells c = cells();
    const int top = 3 * c.lh + row * appState.textLineHeight;
    return {0, top, c.width - 3 * c.cw, top + appState.textLineHeight};
}

} // namespace

TEST_F(ProtocolWindowTest, KSeriesDisplayFrameFontAndScrollBar)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocolK(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "K-Series Event-Protocol");
    EXPECT_EQ(appState.featureOpen, 1);
    EXPECT_EQ(handleFromState(appState.featureWindow), display);

    // Everything is grey but Info and, while the protocol is shown, Save.
    for (int id : menuItemIds)
        EXPECT_EQ(menuItemGrey(id), id != commandProtocolSave) << id;
    EXPECT_FALSE(menuItemGrey(commandInfo));

    // The text font is Times New Roman with 12-pixel characters.
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICA tm;
    GetTextMetricsA(screen, &tm);
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(appState.textCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(appState.textLineHeight, tm.tmHeight + tm.tmExternalLeading);

    // One vertical bar, beside the list, over all entries.
    const Cells c = cells();
    EXPECT_EQ(displayBar(display, false), nullptr);
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);
    expectPlace(bar, c.width - 3 * c.cw, 3 * c.lh, 2 * c.cw, c.height - 5 * c.lh);
    const BarState state = barState(bar);
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(state.maximum, 60);
    EXPECT_EQ(state.position, 0);

    // Blue header band; the first line shows an entry.
    EXPECT_EQ(pixelAt(display, 2, 2), RGB(0, 0, 255));
    EXPECT_EQ(pixelAt(display, c.width / 2, 3 * c.lh - 2), RGB(0, 0, 255));
    EXPECT_GT(nonWhitePixels(display, listLine(0)), 0);
    screenshot("10-protocol-display-k");

    // Closing gives the menu back, Display and Save included.
    closeDisplay(display);
    EXPECT_EQ(appState.featureOpen, 0);
    for (int id : menuItemIds)
        EXPECT_FALSE(menuItemGrey(id)) << id;
}

TEST_F(ProtocolWindowTest, GermanTitleAndAnEmptyProtocol)
{
    startAs(selectionIdGerman, selectionIdK);
    loadProtocolK(0);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "K-Series Ereignis-Protokoll");
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);
    sendScroll(display, bar, SB_LINEDOWN);
    const BarState state = barState(bar);
    EXPECT_EQ(state.maximum, 0);
    EXPECT_EQ(state.position, 0);
    // Only the header band is drawn.
    EXPECT_EQ(nonWhitePixels(display, listLine(0)), 0);
}

TEST_F(ProtocolWindowTest, VerticalScrollingByLinesStopsAtTheLimitsAndIgnoresPages)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocolK(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);

    sendScroll(display, bar, SB_LINEUP);
    EXPECT_EQ(barState(bar).position, 0);
    for (int n = 0; n < 3; ++n)
        sendScroll(display, bar, SB_LINEDOWN);
    EXPECT_EQ(barState(bar).position, 3);
    for (int request : {SB_PAGEDOWN, SB_PAGEUP, SB_TOP, SB_BOTTOM, SB_THUMBPOSITION, SB_ENDSCROLL})
        sendScroll(display, bar, request);
    EXPECT_EQ(barState(bar).position, 3);
    // A K-Series display has no columns to scroll.
    SendMessageA(display, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(barState(bar).position, 3);

    // Down to one past the last entry: the list is empty.
    for (int n = 0; n < 70; ++n)
        sendScroll(display, bar, SB_LINEDOWN);
    EXPECT_EQ(barState(bar).position, 60);
    EXPECT_EQ(nonWhitePixels(display, listLine(0)), 0);
    // One line up shows the last entry again, and nothing below it.
    sendScroll(display, bar, SB_LINEUP);
    EXPECT_EQ(barState(bar).position, 59);
    EXPECT_GT(nonWhitePixels(display, listLine(0)), 0);
    EXPECT_EQ(nonWhitePixels(display, listLine(1)), 0);
}

TEST_F(ProtocolWindowTest, ThumbTrackingReachesTheEndOfAFullBuffer)
{
    startAs(selectionIdEnglish, selectionIdK);
    // More than a 16-bit scroll message can carry.
    loadProtocolK(87381);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(barState(bar).maximum, 87381);

    dragThumb(bar, true);
    EXPECT_EQ(barState(bar).position, 87381);
    EXPECT_EQ(nonWhitePixels(display, listLine(0)), 0);
    sendScroll(display, bar, SB_LINEUP);
    EXPECT_EQ(barState(bar).position, 87380);
    EXPECT_GT(nonWhitePixels(display, listLine(0)), 0);

    dragThumb(bar, false);
    EXPECT_EQ(barState(bar).position, 0);
    EXPECT_GT(nonWhitePixels(display, listLine(1)), 0);
}

TEST_F(ProtocolWindowTest, CountBeyondTheBufferScrollsOnlyOverWhatItHolds)
{
    startAs(selectionIdEnglish, selectionIdM);
    loadProtocolM(3);
    appState.protocolCount = 40000;
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    HWND bar = displayBar(display, true);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(barState(bar).maximum, 30840);
    dragThumb(bar, true);
    EXPECT_EQ(barState(bar).position, 30840);
    sendScroll(display, bar, SB_LINEUP);
    // The last entry the buffer holds is shown; nothing past it.
    EXPECT_GT(nonWhitePixels(display, listLine(0)), 0);
    EXPECT_EQ(nonWhitePixels(display, listLine(1)), 0);
}

TEST_F(ProtocolWindowTest, MSeriesBarsAndColumnScrolling)
{
    startAs(selectionIdEnglish, selectionIdM);
    loadProtocolM(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "M-Series Event-Protocol");
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));

    const Cells c = cells();
    HWND vertical = displayBar(display, true);
    HWND horizontal = displayBar(display, false);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    expectPlace(vertical, c.width - 3 * c.cw, 3 * c.lh, 2 * c.cw, c.height - 6 * c.lh);
    expectPlace(horizontal, 0, c.height - 3 * c.lh, c.width - 3 * c.cw, 2 * c.cw);
    EXPECT_EQ(barState(vertical).maximum, 60);
    const BarState columns = barState(horizontal);
    EXPECT_EQ(columns.minimum, 0);
    EXPECT_EQ(columns.maximum, 15);
    EXPECT_EQ(columns.position, 0);
    screenshot("11-protocol-display-m");

    sendScroll(display, horizontal, SB_LINELEFT);
    EXPECT_EQ(barState(horizontal).position, 0);
    for (int n = 0; n < 20; ++n)
        sendScroll(display, horizontal, SB_LINERIGHT);
    EXPECT_EQ(barState(horizontal).position, 15);
    for (int request : {SB_PAGELEFT, SB_PAGERIGHT, SB_LEFT, SB_ENDSCROLL})
        sendScroll(display, horizontal, request);
    EXPECT_EQ(barState(horizontal).position, 15);
    sendScroll(display, horizontal, SB_LINELEFT);
    EXPECT_EQ(barState(horizontal).position, 14);
    // Columns move, entries do not.
    EXPECT_EQ(barState(vertical).position, 0);

    dragThumb(horizontal, false);
    EXPECT_EQ(barState(horizontal).position, 0);
    dragThumb(horizontal, true);
    EXPECT_EQ(barState(horizontal).position, 15);

    // Rows scroll the same way as in the K-Series.
    sendScroll(display, vertical, SB_LINEDOWN);
    sendScroll(display, vertical, SB_PAGEDOWN);
    EXPECT_EQ(barState(vertical).position, 1);
    EXPECT_EQ(barState(horizontal).position, 15);

    // A new opening starts at the first entry and the first columns.
    closeDisplay(display);
    EXPECT_FALSE(menuItemGrey(commandProtocolDisplay));
    display = openDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(barState(displayBar(display, true)).position, 0);
    EXPECT_EQ(barState(displayBar(display, false)).position, 0);
}
