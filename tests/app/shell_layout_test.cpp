#include "app/layout.h"
#include "app/tick_counters.h"
#include "app/texts.h"
#include "app/window_table.h"
#include "kavix_version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string str(const PixelRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

} // namespace

TEST(ShellLayout, SelectionAndLogoOnIntegerCells)
{
    // The logo a quarter of its width from the right edge, half its height
    // down, at any size it is drawn.
    EXPECT_EQ(logoX(1042, 248), 732);
    EXPECT_EQ(logoY(79), 39);
    EXPECT_EQ(logoX(1042, 372), 577);

    // The OK button, the last control, on whole cells of a 7 x 13 font.
    const ControlPlace& ok = selectionControls[selectionControlCount - 1];
    EXPECT_EQ(str(pixelsOf(ok.rect, 7, 13)), "17,130 98x22");
    EXPECT_EQ(ok.kind, ControlKind::defaultButton);
    const WarningFrame f = warningFrame(7, 13);
    EXPECT_EQ(str({f.left, f.top, f.right, f.bottom}), "140,195 735x520");
    EXPECT_EQ(warningLineY(21, 13, 15), 16 * 13 + 21 * 15);
}

TEST(TickCounters, RunCountersWrapRestartCountersStopAt0xFFFF)
{
    AppState state{};
    resetRestartTicks(state);
    state.runTicks[3] = 0x7FFFFFFF;
    state.restartTicks[4] = 0xFFFE;
    state.restartTicks[5] = 10;
    advanceTicks(state);
    advanceTicks(state);
    EXPECT_EQ(state.runTicks[3], static_cast<std::int32_t>(0x80000001u));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(state.restartTicks[i], i < 5 ? 0xFFFF : 12) << i;
    EXPECT_EQ(state.stepTicks + state.runTicks[0], 4);
}

TEST(ShellLayout, FeatureWindowsTitleAndInfo)
{
    FeatureWindowChoice choice{};
    for (int command : {10, 20, 30, 40, 41})
        for (Family family : {Family::k, Family::m}) {
            ASSERT_TRUE(featureWindowFor(command, family, choice));
            EXPECT_EQ(std::string(choice.className).back(), family == Family::m ? '1' : '0') << choice.className;
        }
    EXPECT_EQ(choice.captionText, 287);
    ASSERT_TRUE(featureWindowFor(commandProtocolDisplay, Family::k, choice));
    EXPECT_EQ(choice.captionText, 109);
    for (int command : {42, 50, 60, 0, 11})
        EXPECT_FALSE(featureWindowFor(command, Family::k, choice)) << command;

    selectLanguageTexts(0);
    EXPECT_EQ(mainWindowTitle(Family::k), "Quarnel Polarund Expert Tool / K-Serie");
    selectLanguageTexts(1);
    EXPECT_EQ(mainWindowTitle(Family::m), "Quarnel Polarund Expert Tool / M-Series");
    EXPECT_EQ(mainWindowTitle(familyFromState(7)), "Quarnel Polarund Expert Tool / K-Series");
    EXPECT_EQ(std::string(infoBoxText).rfind("V" KAVIX_VERSION "\n", 0), 0u);
}
