#include <gtest/gtest.h>

#include <string>

#include "monitor/monitor_format.h"

namespace {

std::string tenths(std::int32_t value)
{
    char out[monitorTextSize];
    formatTenths(value, out);
    return out;
}

TEST(MonitorFormat, TenthsKeepTheSignBelowOneDegree)
{
    EXPECT_EQ(tenths(-5), "-0.5");
    EXPECT_EQ(tenths(-123), "-12.3");
    EXPECT_EQ(tenths(235), "23.5");
    EXPECT_EQ(tenths(0), "0.0");
    EXPECT_EQ(tenths(-10), "-1.0");
    EXPECT_EQ(tenths(-32768), "-3276.8");
    EXPECT_EQ(tenths(32767), "3276.7");
    EXPECT_EQ(tenths(-2147483647 - 1), "-214748364.8");
}

TEST(MonitorFormat, HexadecimalHasFixedWidthUpperCase)
{
    char out[monitorTextSize];
    formatHex4(0x000F, out);
    EXPECT_STREQ(out, "000F");
    formatHex4(0xABCD, out);
    EXPECT_STREQ(out, "ABCD");
    formatHex8(0x1, out);
    EXPECT_STREQ(out, "00000001");
    formatHex8(0xFEDCBA98u, out);
    EXPECT_STREQ(out, "FEDCBA98");
}

TEST(MonitorFormat, FunctionModes)
{
    const struct { int mode; const char* k; const char* m; } cases[] = {
        {0, "F1", "F1"}, {1, "F2", "F2"}, {2, "F3", "F3"}, {3, "F7", "F4"},
        {4, "F5", "F5"}, {5, "F6", "F7"}, {6, "F7", "F?"}, {255, "F256", "F?"},
    };
    char out[monitorTextSize];
    for (const auto& c : cases) {
        formatFunctionModeK(static_cast<std::uint8_t>(c.mode), out);
        EXPECT_STREQ(out, c.k) << c.mode;
        formatFunctionModeM(static_cast<std::uint8_t>(c.mode), out);
        EXPECT_STREQ(out, c.m) << c.mode;
    }
}

TEST(MonitorFormat, FirmwareNibblesPastNineFollowTheDigits)
{
    char out[monitorTextSize];
    formatFirmware(0x0123, out);
    EXPECT_STREQ(out, "1.23");
    formatFirmware(0xF0AF, out);  // top nibble not shown; 10 ':' and 15 '?'
    EXPECT_STREQ(out, "0.:?");
    formatFirmware(0x0BCD, out);
    EXPECT_STREQ(out, ";.<=");
}

} // namespace
