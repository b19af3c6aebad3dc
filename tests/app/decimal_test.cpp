#include "app/decimal.h"

#include <gtest/gtest.h>

TEST(ParseDecimal, DigitsAndSigns)
{
    EXPECT_EQ(parseDecimal(""), 0);
    EXPECT_EQ(parseDecimal("-"), 0);
    EXPECT_EQ(parseDecimal("+"), 0);
    EXPECT_EQ(parseDecimal("0"), 0);
    EXPECT_EQ(parseDecimal("007"), 7);
    EXPECT_EQ(parseDecimal("+7"), 7);
    EXPECT_EQ(parseDecimal("-12"), -12);
    EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
    EXPECT_EQ(parseDecimal("-2147483648"), INT32_MIN);
}

TEST(ParseDecimal, OnlyTheDigitsRightOfTheFirstNonDigitCount)
{
    EXPECT_EQ(parseDecimal("1-2"), -2);
    EXPECT_EQ(parseDecimal("99+5"), 5);
    EXPECT_EQ(parseDecimal("x-3"), -3);
    EXPECT_EQ(parseDecimal("--4"), -4);
}

TEST(ParseDecimal, AnyOtherCharacterGives65535)
{
    EXPECT_EQ(parseDecimal("12 "), 65535);
    EXPECT_EQ(parseDecimal(" 12"), 65535);
    EXPECT_EQ(parseDecimal("1.5"), 65535);
    EXPECT_EQ(parseDecimal("abc"), 65535);
    EXPECT_EQ(parseDecimal("\xE4"), 65535);
    EXPECT_EQ(parseDecimal("65535"), 65535);
}

TEST(ParseDecimal, WrapsModulo2To32)
{
    EXPECT_EQ(parseDecimal("4294967295"), -1);
    EXPECT_EQ(parseDecimal("4294967296"), 0);
    EXPECT_EQ(parseDecimal("2147483648"), INT32_MIN);
    EXPECT_EQ(parseDecimal("-4294967297"), -1);
    // Eleven digits: the leading digit's factor itself has wrapped.
    EXPECT_EQ(parseDecimal("10000000000"), 1410065408);
}
