#include "app/layout.h"
#include "app/texts.h"
#include "app/window_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ShellLayout, MainWindowCellsAndCentring)
{
    EXPECT_EQ(windowCells(0).columns, 108);
    EXPECT_EQ(windowCells(0).rows, 51);
    EXPECT_EQ(windowCells(1).columns, 131);
    EXPECT_EQ(windowCells(1).rows, 53);

    // System fixed font of 8 x 16 on a 1280 x 1024 screen.
    const PixelRect k = centredWindow(1280, 1024, windowCells(0), 8, 16);
    EXPECT_EQ(k.width, 864);
    EXPECT_EQ(k.height, 816);
    EXPECT_EQ(k.x, 208);
    EXPECT_EQ(k.y, 104);
    // Odd remainders truncate; a window larger than the screen goes negative.
    const PixelRect m = centredWindow(1025, 768, windowCells(1), 8, 16);
    EXPECT_EQ(m.x, (1025 - 1048) / 2);
    EXPECT_EQ(m.y, (768 - 848) / 2);
    EXPECT_EQ(logoX(850), 850 - 310);
    EXPECT_EQ(logoY(), 39);
}

TEST(ShellLayout, SelectionControlsUseIntegerCells)
{
    SelectionControl c[selectionControlCount];
    selectionControls(7, 13, c);
    // Group boxes, radios, OK in creation order.
    EXPECT_EQ(c[0].id, -1);
    EXPECT_EQ(c[0].rect.x, 7);
    EXPECT_EQ(c[0].rect.y, 6);      // 13 / 2
    EXPECT_EQ(c[0].rect.width, 126);
    EXPECT_EQ(c[0].rect.height, 78);
    EXPECT_STREQ(c[1].label, "Deutsch");
    EXPECT_EQ(c[1].rect.x, 17);     // 5 * 7 / 2
    EXPECT_EQ(c[1].rect.height, 19); // 6 * 13 / 4
    EXPECT_EQ(c[2].rect.y, 52);
    EXPECT_EQ(c[3].rect.x, 147);
    EXPECT_STREQ(c[4].label, "K-Series");
    EXPECT_EQ(c[4].rect.x, 157);    // 45 * 7 / 2
    EXPECT_EQ(c[5].id, selectionIdM);
    EXPECT_EQ(c[6].kind, SelectionControlKind::DefaultButton);
    EXPECT_EQ(c[6].rect.y, 130);
    EXPECT_EQ(c[6].rect.height, 22); // 7 * 13 / 4

    const WarningFrame f = warningFrame(7, 13);
    EXPECT_EQ(f.left, 140);
    EXPECT_EQ(f.top, 195);
    EXPECT_EQ(f.right, 735);
    EXPECT_EQ(f.bottom, 520);
    EXPECT_EQ(warningLineY(21, 13, 15), 16 * 13 + 21 * 15);
}

TEST(ShellLayout, TickCounters)
{
    AppState state;
    std::memset(&state, 0, sizeof state);
    resetRestartTicks(state);
    state.runTicks[3] = 0x7FFFFFFF;
    state.restartTicks[4] = 0xFFFE;
    state.restartTicks[5] = 10;
    advanceTicks(state);
    advanceTicks(state);
    EXPECT_EQ(state.runTicks[0], 2);
    EXPECT_EQ(state.runTicks[3], static_cast<std::int32_t>(0x80000001u));
    EXPECT_EQ(state.restartTicks[0], 0xFFFF);
    EXPECT_EQ(state.restartTicks[4], 0xFFFF);
    EXPECT_EQ(state.restartTicks[5], 12);
    EXPECT_EQ(state.stepTicks, 2);
}

TEST(ShellLayout, FeatureWindowsByCommandAndFamily)
{
    FeatureWindowChoice choice{};
    ASSERT_TRUE(featureWindowFor(commandConfiguration, 0, choice));
    EXPECT_STREQ(choice.className, "Configuration_CU0");
    EXPECT_EQ(choice.captionText, 6);
    ASSERT_TRUE(featureWindowFor(commandRunCounter, 1, choice));
    EXPECT_STREQ(choice.className, "RunCounter_CU1");
    EXPECT_EQ(choice.captionText, 84);
    ASSERT_TRUE(featureWindowFor(commandMonitor, 0, choice));
    EXPECT_STREQ(choice.className, "Monitor_CU0");
    ASSERT_TRUE(featureWindowFor(commandProtocolRead, 1, choice));
    EXPECT_STREQ(choice.className, "Upload_CU1");
    EXPECT_EQ(choice.captionText, 95);
    ASSERT_TRUE(featureWindowFor(commandProtocolDisplay, 0, choice));
    EXPECT_EQ(choice.captionText, 109);
    ASSERT_TRUE(featureWindowFor(commandProtocolDisplay, 1, choice));
    EXPECT_STREQ(choice.className, "ProtDisplay_CU1");
    EXPECT_EQ(choice.captionText, 287);
    for (int command : {int(commandProtocolSave), int(commandSelection), int(commandInfo), 0, 11})
        EXPECT_FALSE(featureWindowFor(command, 0, choice)) << command;

    // Every feature class is registered.
    for (int command : {10, 20, 30, 40, 41})
        for (int family : {0, 1}) {
            ASSERT_TRUE(featureWindowFor(command, family, choice));
            bool found = false;
            for (const auto& entry : windowClassTable)
                found = found || std::strcmp(entry.name, choice.className) == 0;
            EXPECT_TRUE(found) << choice.className;
        }
}

TEST(ShellLayout, TitleAndCaptions)
{
    selectLanguageTexts(0);
    EXPECT_EQ(mainWindowTitle(0), "Quarnel Polarund Expert Tool / K-Serie");
    selectLanguageTexts(1);
    EXPECT_EQ(mainWindowTitle(1), "Quarnel Polarund Expert Tool / M-Series");
    EXPECT_EQ(mainWindowTitle(7), "Quarnel Polarund Expert Tool / K-Series");
    EXPECT_STREQ(familyCaption(0), "K-Series");
    EXPECT_STREQ(familyCaption(1), "M-Series");
    EXPECT_EQ(std::string(infoBoxText).rfind("V1.14\n", 0), 0u);
}
