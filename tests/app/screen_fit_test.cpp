#include "app/screen_fit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string str(LayoutUnit u) { return std::to_string(u.charWidth) + "x" + std::to_string(u.lineHeight); }
std::string str(const PixelRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

const CellSize kSeriesCells = windowCells(Family::k);   // 108 x 51
const CellSize mSeriesCells = windowCells(Family::m);   // 131 x 53

// The system fixed font under Wine at 96, 120 and 144 dpi.
constexpr LayoutUnit at96 = {8, 16};
constexpr LayoutUnit at120 = {11, 20};
constexpr LayoutUnit at144 = {13, 23};

// Caption, menu bar and borders of the main window and the caption of the
// window inside it, under Wine at 96 dpi.
constexpr FrameSize wineFrame96 = {12, 69};

struct FitCase {
    const char* screen;
    LayoutUnit normal;
    CellSize cells;
    FrameSize frame;
    int workWidth;
    int workHeight;
    const char* unit;
    bool scrolls;
};

} // namespace

TEST(ScreenFit, AWindowThatFitsKeepsItsUnitAndOneThatDoesNotShrinksInProportion)
{
    const FitCase cases[] = {
        {.screen = "1920x1080 at 100 %", .normal = at96, .cells = mSeriesCells, .frame = {}, .workWidth = 1920, .workHeight = 1040,
         .unit = "8x16", .scrolls = false},
        {.screen = "exactly the window", .normal = at96, .cells = kSeriesCells, .frame = {}, .workWidth = 864, .workHeight = 816,
         .unit = "8x16", .scrolls = false},
        {.screen = "1366x768 at 100 %, K", .normal = at96, .cells = kSeriesCells, .frame = {}, .workWidth = 1366, .workHeight = 728,
         .unit = "7x14", .scrolls = false},
        {.screen = "1366x768 at 100 %, M", .normal = at96, .cells = mSeriesCells, .frame = {}, .workWidth = 1366, .workHeight = 728,
         .unit = "7x13", .scrolls = false},
        {.screen = "1920x1080 at 125 %, M", .normal = at120, .cells = mSeriesCells, .frame = {}, .workWidth = 1920, .workHeight = 1030,
         .unit = "10x19", .scrolls = false},
        {.screen = "1920x1080 at 150 %, K", .normal = at144, .cells = kSeriesCells, .frame = {}, .workWidth = 1920, .workHeight = 1020,
         .unit = "11x20", .scrolls = false},
        {.screen = "1920x1080 at 150 %, M", .normal = at144, .cells = mSeriesCells, .frame = {}, .workWidth = 1920, .workHeight = 1020,
         .unit = "11x19", .scrolls = false},
        // A tall narrow screen: the width decides, the height follows.
        {.screen = "portrait", .normal = at96, .cells = mSeriesCells, .frame = {}, .workWidth = 1000, .workHeight = 2000,
         .unit = "7x14", .scrolls = false},
        // Below the floor: the floor itself, and the window scrolls.
        {.screen = "1366x768 at 125 %, M", .normal = at120, .cells = mSeriesCells, .frame = {}, .workWidth = 1366, .workHeight = 718,
         .unit = "9x16", .scrolls = true},
        {.screen = "1024x600 netbook, K", .normal = at96, .cells = kSeriesCells, .frame = {}, .workWidth = 1024, .workHeight = 570,
         .unit = "7x13", .scrolls = true},
    };
    for (const FitCase& c : cases) {
        const ScreenFit fit = fitLayoutUnit(c.normal, c.cells, c.frame, c.workWidth, c.workHeight);
        EXPECT_EQ(str(fit.unit), c.unit) << c.screen;
        EXPECT_EQ(fit.scrolls, c.scrolls) << c.screen;
    }
}

TEST(ScreenFit, FramesKeepTheirPixelsSoTheInsideShrinksExactlyWithTheUnit)
{
    // At the normal unit the window is its cells, frame or not.
    ScreenFit fit = fitLayoutUnit(at96, mSeriesCells, wineFrame96, 1920, 1040);
    EXPECT_EQ(str(fit.unit), "8x16");
    EXPECT_EQ(fit.width, 131 * 8);
    EXPECT_EQ(fit.height, 53 * 16);
    // 1366x768: the frame does not shrink, so the window is a little taller
    // than 53 lines of 13 and what lay inside at 16 lies inside at 13.
    fit = fitLayoutUnit(at96, mSeriesCells, wineFrame96, 1366, 728);
    EXPECT_EQ(str(fit.unit), "7x13");
    EXPECT_EQ(fit.height, 69 + 633);
    EXPECT_EQ(fit.width, 12 + 907);
    fit = fitLayoutUnit(at96, kSeriesCells, wineFrame96, 1366, 728);
    EXPECT_EQ(str(fit.unit), "7x14");
    EXPECT_EQ(fit.height, 69 + 654);
}

TEST(ScreenFit, EveryWorkAreaGetsAUnitBetweenTheFloorAndNormalThatFitsUnlessItScrolls)
{
    for (LayoutUnit normal : {at96, at120, at144, LayoutUnit{17, 31}})
        for (CellSize cells : {kSeriesCells, mSeriesCells})
            for (int width = 500; width <= 4000; width += 37)
                for (int height = 400; height <= 2200; height += 29) {
                    const ScreenFit fit = fitLayoutUnit(normal, cells, wineFrame96, width, height);
                    const LayoutUnit u = fit.unit;
                    SCOPED_TRACE(str(normal) + " on " + std::to_string(width) + "x" + std::to_string(height));
                    ASSERT_LE(u.charWidth, normal.charWidth);
                    ASSERT_LE(u.lineHeight, normal.lineHeight);
                    ASSERT_GE(100 * u.charWidth, smallestScalePercent * normal.charWidth);
                    ASSERT_GE(100 * u.lineHeight, smallestScalePercent * normal.lineHeight);
                    ASSERT_EQ(fit.width <= width && fit.height <= height, !fit.scrolls);
                    // Larger units do not fit: the unit is the largest one
                    // (up to rounding its proportion).
                    if (!fit.scrolls && u.lineHeight < normal.lineHeight && u.charWidth < normal.charWidth) {
                        const ScreenFit larger = outerWindowSize(
                            normal, {u.charWidth + 1, u.lineHeight + 1}, cells, wineFrame96);
                        ASSERT_TRUE(larger.width > width || larger.height > height);
                    }
                    // In proportion: the two ratios differ by less than one
                    // pixel of either dimension.
                    if (!fit.scrolls) {
                        ASSERT_LE(std::abs(u.charWidth * normal.lineHeight - u.lineHeight * normal.charWidth),
                                  std::max(normal.lineHeight, normal.charWidth));
                    }
                }
}

TEST(ScreenFit, FontsAndBitmapsShrinkWithTheUnitAndNeverVanish)
{
    const LayoutUnit unit = {7, 13};
    // The system font gives both a height and a width.
    EXPECT_EQ(scaledFontHeight(16, unit, at96), 13);
    EXPECT_EQ(scaledFontWidth(7, unit, at96), 6);
    // A character height (negative) keeps its sign; a font without a width
    // takes the smaller ratio (13/16 here, not 7/8).
    EXPECT_EQ(scaledProportionalFontHeight(-12, unit, at96), -9);
    EXPECT_EQ(scaledProportionalFontHeight(-12, {6, 16}, at96), -9);
    EXPECT_EQ(scaledFontWidth(0, unit, at96), 0);
    EXPECT_EQ(scaledFontHeight(1, {1, 1}, at96), 1);
    // Normal size: unchanged; bitmaps follow the screen's scaling.
    EXPECT_EQ(scaledFontHeight(16, at96, at96), 16);
    EXPECT_EQ(scaledPixels(248, 96, at96, at96), 248);
    EXPECT_EQ(scaledPixels(248, 144, at144, at144), 372);
    EXPECT_EQ(scaledPixels(79, 144, {11, 20}, at144), 99);
}

TEST(ScreenFit, WindowsOpenCentredButNeverLeaveTheWorkArea)
{
    const PixelRect screen = {0, 0, 1920, 1080};
    const PixelRect belowTaskbar = {0, 0, 1920, 1040};
    // Fits: exactly where the program has always put it.
    EXPECT_EQ(str(placeInWorkArea(864, 816, screen, belowTaskbar)), "528,132 864x816");
    // Would reach into the taskbar at the bottom, or go above a taskbar at
    // the top: moved just far enough.
    EXPECT_EQ(str(placeInWorkArea(1048, 1030, screen, belowTaskbar)), "436,10 1048x1030");
    EXPECT_EQ(str(placeInWorkArea(1048, 1030, screen, {0, 48, 1920, 1032})), "436,48 1048x1030");
    // Larger than the work area: its title bar stays on the screen.
    EXPECT_EQ(str(placeInWorkArea(1048, 900, {0, 0, 1366, 768}, {0, 0, 1366, 728})), "159,0 1048x900");
    // A second monitor left of the first.
    EXPECT_EQ(str(placeInWorkArea(864, 816, {-1920, 0, 1920, 1080}, {-1920, 0, 1920, 1040})), "-1392,132 864x816");
    // A suggested place that hangs over the edge is pulled back in.
    EXPECT_EQ(str(keepInWorkArea({1500, 600, 864, 816}, belowTaskbar)), "1056,224 864x816");
}
