#include <gtest/gtest.h>

#include <string>

#include "monitor/monitor_format.h"
#include "monitor_test_support.h"

namespace {

TEST(MonitorFormat, FieldTexts)
{
    char out[monitorTextSize];
    const struct { std::int32_t tenths; const char* text; } tenths[] = {
        {-5, "-0.5"}, {-123, "-12.3"}, {235, "23.5"}, {-10, "-1.0"}, {-2147483647 - 1, "-214748364.8"}};
    for (const auto& c : tenths) {
        formatTenths(c.tenths, out);
        EXPECT_STREQ(out, c.text);
    }
    formatFirmware(0xF0AF, out);  // top nibble not shown; 10 ':' and 15 '?'
    EXPECT_STREQ(out, "0.:?");
    const struct { int mode; const char* k; const char* m; } modes[] = {
        {3, "F7", "F4"}, {4, "F5", "F5"}, {5, "F6", "F7"}, {6, "F7", "F?"}, {255, "F256", "F?"}};
    for (const auto& c : modes) {
        formatFunctionModeK(static_cast<std::uint8_t>(c.mode), out);
        EXPECT_STREQ(out, c.k) << c.mode;
        formatFunctionModeM(static_cast<std::uint8_t>(c.mode), out);
        EXPECT_STREQ(out, c.m) << c.mode;
    }
}

TEST(MonitorDisplay, KIndicatorsFieldsAndUnitLabels)
{
    Monitor m(Family::k);
    MonitorStatusK status{};
    status.inputs = 0x0C;  // low pressure switch and CAN bus
    status.errorWord = 0xFFEA;
    status.evaporatorF = 235;
    m.deliver(status);
    for (int id = 6; id < 24; ++id)
        EXPECT_EQ(m.marked(id), id == 8 || id == 9 || id == 19 || id == 21 || id == 23) << id;
    EXPECT_EQ(m.field(17), "FFEA");
    EXPECT_EQ(m.model.view.unitLabel[1], std::string("\xB0" "C"));

    // Again in °F: marks untouched, fields rewritten (a field may hold
    // what the user typed).
    clearViewChanges(m.model.view);
    status.flags = 1;
    m.deliver(status);
    EXPECT_FALSE(m.model.view.controls[8].changed);
    EXPECT_TRUE(m.model.view.controls[17].changed);
    EXPECT_EQ(m.field(11), "23.5");
    EXPECT_EQ(m.model.view.unitLabel[1], std::string("\xB0" "F"));
}

TEST(MonitorDisplay, MInputBitTwoHasNoIndicatorErrorsStopAtBit16)
{
    Monitor m(Family::m);
    MonitorStatusM status{};
    // Bits 1-4 (bit 2 not shown), low pressure of compressor 1, high of 1 and 6.
    status.inputs = 0x5Eu | (1u << 12) | (1u << 17);
    status.errorBits = 0x80030001u;
    status.roomF = -1;
    status.flags = 1;
    m.deliver(status);
    for (int id = 19; id <= 35; ++id)
        EXPECT_EQ(m.marked(id), id <= 21 || id == 24 || id == 30 || id == 35) << id;
    for (int k = 0; k < 17; ++k)
        EXPECT_EQ(m.marked(47 + k), k == 0 || k == 16) << k;
    EXPECT_EQ(m.field(46), "80030001");
    EXPECT_EQ(m.field(37), "-0.1");
}

// The title names the firmware on every 33rd answer and the progress bar
// steps every 8th, both counted over the program's lifetime: neither a new
// Start nor a new window restarts them.
TEST(MonitorDisplay, TitleAndProgressCountOverTheProgramsLifetime)
{
    Monitor m(Family::k, "CUK1 Unit ");
    MonitorStatusK status{};
    status.firmware = 0x0123;
    const struct { int answers; int progress; const char* firmware; } marks[] = {
        {7, 0, "?.?"}, {1, 1, "?.?"}, {24, 4, "?.?"}, {1, 4, "1.23"}, {222, 31, "1.23"}, {1, 0, "1.23"}};
    for (const auto& mark : marks) {
        for (int answer = 0; answer < mark.answers; ++answer)
            m.deliver(status);
        EXPECT_EQ(m.model.view.progress, mark.progress);
        EXPECT_EQ(m.model.view.title, std::string("Monitor: Connect to: CUK1 Unit Firmware ") + mark.firmware);
    }
    stopMonitor(m.model);  // 256 answers: 25 since the last title
    EXPECT_EQ(m.model.view.progress, 0);
    openMonitor(m.model, Family::k);
    startMonitor(m.model, m.app);
    monitorConnected(m.model, "CUK1 Unit ");
    monitorPolling(m.model);
    status.firmware = 0x0210;
    for (int answer = 0; answer < 7; ++answer)
        m.deliver(status);
    EXPECT_EQ(m.model.view.progress, 0);
    EXPECT_EQ(m.model.view.title, "Monitor: Connect to: CUK1 Unit Firmware ?.?");
    m.deliver(status);
    EXPECT_EQ(m.model.view.progress, 1);
    EXPECT_EQ(m.model.view.title, "Monitor: Connect to: CUK1 Unit Firmware 2.10");
}

} // namespace
