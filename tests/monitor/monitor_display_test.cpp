#include <gtest/gtest.h>

#include <string>

#include "monitor_test_support.h"

namespace {

const std::string celsius = "\xB0" "C";
const std::string fahrenheit = "\xB0" "F";

TEST(MonitorDisplayK, TemperaturesVoltageAndUnitLabels)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyK);
    MonitorStatusK status = statusK();
    status.evaporatorC = -5;
    status.roomC = -123;
    status.evaporatorF = 235;
    status.roomF = 777;
    status.mainsVoltage = 230;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_STREQ(fieldText(model, 11), "-0.5");
    EXPECT_STREQ(fieldText(model, 12), "-12.3");
    EXPECT_STREQ(fieldText(model, 13), "230");
    EXPECT_EQ(model.view.unitLabel[0], celsius);
    EXPECT_EQ(model.view.unitLabel[1], celsius);

    clearViewChanges(model.view);
    status.flags = 0x0001;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_STREQ(fieldText(model, 11), "23.5");
    EXPECT_STREQ(fieldText(model, 12), "77.7");
    EXPECT_TRUE(model.view.unitLabelsChanged);
    EXPECT_EQ(model.view.unitLabel[0], fahrenheit);
    EXPECT_EQ(model.view.unitLabel[1], fahrenheit);
}

TEST(MonitorDisplayK, IndicatorsFollowTheirBits)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyK);
    MonitorStatusK status = statusK(0x0A);
    status.inputs = 0x0C;  // low pressure switch and CAN bus
    status.errorWord = 0xFFEA;
    status.blowerPower = 65;
    status.functionMode = 3;
    ASSERT_TRUE(deliver(model, app, status));

    const bool outputs[4] = {false, true, false, true};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(marked(model, i), outputs[i]) << i;
    EXPECT_FALSE(marked(model, 7));
    EXPECT_TRUE(marked(model, 8));
    EXPECT_TRUE(marked(model, 9));
    EXPECT_EQ(model.view.controls[4].position, 65);
    EXPECT_STREQ(fieldText(model, 5), "65");
    EXPECT_STREQ(fieldText(model, 17), "FFEA");
    const bool errors[6] = {false, true, false, true, false, true};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(marked(model, 18 + k), errors[k]) << k;
    EXPECT_STREQ(fieldText(model, 24), "F7");
    // Only the controls of the record were touched.
    EXPECT_FALSE(model.view.controls[6].changed);
    EXPECT_FALSE(model.view.controls[10].changed);

    // The same answer again: marks unchanged, fields rewritten (a field may
    // hold what the user typed).
    clearViewChanges(model.view);
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_FALSE(model.view.controls[1].changed);
    EXPECT_FALSE(model.view.controls[19].changed);
    EXPECT_FALSE(model.view.controls[4].changed);
    EXPECT_FALSE(model.view.unitLabelsChanged);
    EXPECT_TRUE(model.view.controls[5].changed);
    EXPECT_TRUE(model.view.controls[11].changed);
    EXPECT_TRUE(model.view.controls[17].changed);
}

TEST(MonitorDisplayM, InputsPressureSwitchesErrorsAndMains)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyM);
    MonitorStatusM status = statusM();
    status.inputs = 0x4;  // bit 2 has no indicator
    ASSERT_TRUE(deliver(model, app, status));
    for (int id = 19; id <= 35; ++id)
        EXPECT_FALSE(marked(model, id)) << id;

    // Boards and flow switch, low pressure of compressor 1, high of 1 and 6.
    status.inputs = (1u << 1) | (1u << 3) | (1u << 4) | (1u << 5) | (1u << 6) | (1u << 12) | (1u << 17);
    status.errorBits = 0x80010001u;
    status.mainsVoltage = 400;
    status.mainsFrequency = 50;
    status.waterC = -5;
    status.roomC = 235;
    status.functionMode = 5;
    ASSERT_TRUE(deliver(model, app, status));
    for (int id = 19; id <= 22; ++id)
        EXPECT_TRUE(marked(model, id)) << id;
    EXPECT_FALSE(marked(model, 23));
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(marked(model, 24 + c), c == 0) << c;
        EXPECT_EQ(marked(model, 30 + c), c == 0 || c == 5) << c;
    }
    EXPECT_STREQ(fieldText(model, 46), "80010001");
    for (int k = 0; k < 17; ++k)
        EXPECT_EQ(marked(model, 47 + k), k == 0 || k == 16) << k;
    EXPECT_STREQ(fieldText(model, 36), "-0.5");
    EXPECT_STREQ(fieldText(model, 37), "23.5");
    EXPECT_STREQ(fieldText(model, 38), "400");
    EXPECT_STREQ(fieldText(model, 39), "50");
    EXPECT_STREQ(fieldText(model, 64), "F7");

    status.functionMode = 6;
    status.flags = 1;
    status.waterF = 1234;
    status.roomF = -1;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_STREQ(fieldText(model, 64), "F?");
    EXPECT_STREQ(fieldText(model, 36), "123.4");
    EXPECT_STREQ(fieldText(model, 37), "-0.1");
    EXPECT_EQ(model.view.unitLabel[1], fahrenheit);
}

// The title names the firmware on every 33rd answer, counted over the
// program's lifetime: neither Stop/Start nor a new window restarts the count.
TEST(MonitorTitle, RefreshOnEvery33rdAnswerAcrossStartsAndWindows)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyK, "CUK1 Unit ");
    EXPECT_EQ(model.view.title, "Monitor: Connect to: CUK1 Unit Firmware ?.?");
    MonitorStatusK status = statusK();
    status.firmware = 0x0123;

    for (int answer = 1; answer <= 32; ++answer) {
        ASSERT_TRUE(deliver(model, app, status));
        ASSERT_FALSE(model.view.titleChanged) << answer;
    }
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_TRUE(model.view.titleChanged);
    EXPECT_EQ(model.view.title, "Monitor: Connect to: CUK1 Unit Firmware 1.23");

    clearViewChanges(model.view);
    for (int answer = 1; answer <= 10; ++answer)
        ASSERT_TRUE(deliver(model, app, status));
    stopMonitor(model);
    openAndPoll(model, app, familyK, "CUK1 Unit ");  // closed and opened again
    EXPECT_EQ(model.view.title, "Monitor: Connect to: CUK1 Unit Firmware ?.?");
    for (int answer = 11; answer <= 32; ++answer) {
        ASSERT_TRUE(deliver(model, app, status));
        ASSERT_FALSE(model.view.titleChanged) << answer;
    }
    status.firmware = 0x0210;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_EQ(model.view.title, "Monitor: Connect to: CUK1 Unit Firmware 2.10");
}

TEST(MonitorProgress, OneStepEvery8AnswersRoundAfter256)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyM);
    for (int answer = 1; answer <= 7; ++answer)
        ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 0);
    ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 1);
    for (int answer = 9; answer <= 255; ++answer)
        ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 31);
    ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 0);

    // Stop puts the bar back to 0, the count goes on from where it was.
    for (int answer = 1; answer <= 20; ++answer)
        ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 2);
    stopMonitor(model);
    EXPECT_EQ(model.view.progress, 0);
    startMonitor(model, app);
    monitorPolling(model);
    for (int answer = 21; answer <= 24; ++answer)
        ASSERT_TRUE(deliver(model, app, statusM()));
    EXPECT_EQ(model.view.progress, 3);
}

} // namespace
