#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "protocol/field_format.h"

namespace {

std::string hours(std::uint32_t seconds)
{
    char buffer[fieldTextMax];
    return std::string(buffer, appendProtocolHours(buffer, seconds));
}

std::string tenths(std::uint32_t seconds)
{
    char buffer[fieldTextMax];
    return std::string(buffer, appendTenthHours(buffer, seconds));
}

std::string nameK(std::uint16_t code)
{
    char buffer[fieldTextMax];
    return std::string(buffer, appendErrorNameK(buffer, code));
}

std::string nameM(std::uint16_t code)
{
    char buffer[fieldTextMax];
    return std::string(buffer, appendErrorNameM(buffer, code));
}

std::string decimal(std::int32_t value)
{
    char buffer[fieldTextMax];
    return std::string(buffer, appendDecimal(buffer, value));
}

} // namespace

TEST(ProtocolFormat, HoursTruncateTenthsAndCoverTheFullRange)
{
    EXPECT_EQ(hours(0), "0,0 h");
    EXPECT_EQ(hours(3599), "0,9 h");
    EXPECT_EQ(hours(3600), "1,0 h");
    EXPECT_EQ(hours(5400), "1,5 h");
    EXPECT_EQ(hours(35999), "9,9 h");
    EXPECT_EQ(hours(0xFFFFFFFFu), "1193046,4 h");
    EXPECT_EQ(hours(0x80000000u), "596523,2 h");
}

TEST(ProtocolFormat, CounterTimesUseAPointAndNoUnit)
{
    EXPECT_EQ(tenths(0), "0.0");
    EXPECT_EQ(tenths(3599), "0.9");
    EXPECT_EQ(tenths(5400), "1.5");
    EXPECT_EQ(tenths(35999), "9.9");
    EXPECT_EQ(tenths(0xFFFFFFFFu), "1193046.4");
}

TEST(ProtocolFormat, KSeriesNamesOnlySingleKnownBits)
{
    EXPECT_EQ(nameK(0x0001), "_AAA");
    EXPECT_EQ(nameK(0x0002), "_A01");
    EXPECT_EQ(nameK(0x0004), "_A02");
    EXPECT_EQ(nameK(0x0008), "_A09");
    EXPECT_EQ(nameK(0x0010), "_A10");
    EXPECT_EQ(nameK(0x0020), "_Init");
    EXPECT_EQ(nameK(0x0040), "_TA11");
    // No bit, two bits, an unknown bit: the value itself, four hex digits.
    EXPECT_EQ(nameK(0x0000), "0000");
    EXPECT_EQ(nameK(0x0003), "0003");
    EXPECT_EQ(nameK(0x0080), "0080");
    EXPECT_EQ(nameK(0xABCD), "ABCD");
}

TEST(ProtocolFormat, MSeriesNamesNumbersUpTo16)
{
    EXPECT_EQ(nameM(0), "_AAA");
    EXPECT_EQ(nameM(1), "_A01");
    EXPECT_EQ(nameM(9), "_A09");
    EXPECT_EQ(nameM(10), "_A10");
    EXPECT_EQ(nameM(15), "_A15");
    EXPECT_EQ(nameM(16), "_Init");
    EXPECT_EQ(nameM(17), "???");
    EXPECT_EQ(nameM(0xFFFF), "???");
}

TEST(ProtocolFormat, DecimalIsSigned32Bit)
{
    EXPECT_EQ(decimal(0), "0");
    EXPECT_EQ(decimal(-1), "-1");
    EXPECT_EQ(decimal(INT32_MAX), "2147483647");
    EXPECT_EQ(decimal(INT32_MIN), "-2147483648");
}
