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
    } cases[] = {{0, "0,0 h", "0.0"},
                 {3599, "0,9 h", "0.9"},
                 {3600, "1,0 h", "1.0"},
                 {5400, "1,5 h", "1.5"},
                 {35999, "9,9 h", "9.9"},
                 {0x80000000u, "596523,2 h", "596523.2"},
                 {0xFFFFFFFFu, "1193046,4 h", "1193046.4"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(appendProtocolHours, c.seconds), c.protocol) << c.seconds;
        EXPECT_EQ(formatted(appendTenthHours, c.seconds), c.counters) << c.seconds;
    }
}

TEST(ProtocolFormat, KSeriesNamesOnlySingleKnownBits)
{
    const char* names[7] = {"_AAA", "_A01", "_A02", "_A09", "_A10", "_Init", "_TA11"};
    for (int bit = 0; bit < 7; ++bit)
        EXPECT_EQ(formatted(appendErrorNameK, static_cast<std::uint16_t>(1u << bit)), names[bit]);
    // No bit, two bits, an unknown bit: the value itself, four hex digits.
    EXPECT_EQ(formatted(appendErrorNameK, std::uint16_t{0x0000}), "0000");
    EXPECT_EQ(formatted(appendErrorNameK, std::uint16_t{0x0003}), "0003");
    EXPECT_EQ(formatted(appendErrorNameK, std::uint16_t{0x0080}), "0080");
    EXPECT_EQ(formatted(appendErrorNameK, std::uint16_t{0xABCD}), "ABCD");
}

TEST(ProtocolFormat, MSeriesNamesAndSignedDecimals)
{
    const struct {
        std::uint16_t code;
        const char* name;
    } names[] = {{0, "_AAA"}, {1, "_A01"},  {9, "_A09"},  {10, "_A10"},
                 {15, "_A15"}, {16, "_Init"}, {17, "???"}, {0xFFFF, "???"}};
    for (const auto& n : names)
        EXPECT_EQ(formatted(appendErrorNameM, n.code), n.name) << n.code;

    EXPECT_EQ(formatted(appendDecimal, std::int32_t{0}), "0");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{-1}), "-1");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{INT32_MAX}), "2147483647");
    EXPECT_EQ(formatted(appendDecimal, std::int32_t{INT32_MIN}), "-2147483648");
}
