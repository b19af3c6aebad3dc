#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "protocol/field_format.h"

namespace {

template <typename Value>
std::string formatted(char* (*append)(char*, Value), Value value)
{
    char buffer[fieldTextMax];
    return std::string(buffer, append(buffer, value));
}

} // namespace

TEST(ProtocolFormat, HoursTruncateTenthsOverTheFull32BitRange)
{
    const struct {
        std::uint32_t seconds;
        const char* protocol;
        const char* counters;
    } cases[] = {{0, "0,0 h", "0.0"},          {3599, "0,9 h", "0.9"},
                 {3600, "1,0 h", "1.0"},       {5400, "1,5 h", "1.5"},
                 {35999, "9,9 h", "9.9"},      {0xFFFFFFFFu, "1193046,4 h", "1193046.4"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(appendProtocolHours, c.seconds), c.protocol) << c.seconds;
        EXPECT_EQ(formatted(appendTenthHours, c.seconds), c.counters) << c.seconds;
    }
}

// K-Series codes name single known bits only; M-Series codes are numbers.
TEST(ProtocolFormat, ErrorCodeNamesOfBothFamilies)
{
    const struct {
        std::uint16_t code;
        const char* k;
        const char* m;
    } cases[] = {{0, "0000", "_AAA"},   {1, "_AAA", "_A01"},  {2, "_A01", "_A02"},
                 {3, "0003", "_A03"},   {4, "_A02", "_A04"},  {8, "_A09", "_A08"},
                 {10, "000A", "_A10"},  {15, "000F", "_A15"}, {16, "_A10", "_Init"},
                 {17, "0011", "???"},   {32, "_Init", "???"}, {64, "_TA11", "???"},
                 {0x80, "0080", "???"}, {0xABCD, "ABCD", "???"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(appendErrorNameK, c.code), c.k) << c.code;
        EXPECT_EQ(formatted(appendErrorNameM, c.code), c.m) << c.code;
    }
}

TEST(ProtocolFormat, SignedDecimalsOverTheFullRange)
{
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{0}), "0");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{-1}), "-1");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{INT32_MAX}), "2147483647");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{INT32_MIN}), "-2147483648");
}
