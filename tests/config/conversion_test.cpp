#include "config/temperature_conversion.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TemperatureConversion, WorkedExamplesOfEachRule)
{
    // Absolute F->C: 33 is 0.55, only the first tenth counts. Set point
    // C->F: no downward step (-2 -> 29). Differences: no 32 offset.
    // Calibration: 3 -> 5 -> 2, no rounding at all, and toward zero, not floor.
    const struct { int (*convert)(int); int in, out; } cases[] = {
        {temperatureToCelsius, 28, -2}, {temperatureToCelsius, 71, 22}, {temperatureToCelsius, 33, 0},
        {temperatureToCelsius, 20, -7}, {setTemperatureToFahrenheit, 21, 70}, {setTemperatureToFahrenheit, -2, 29},
        {setTemperatureToCelsius, 71, 22}, {setTemperatureToCelsius, 20, -6}, {differenceToFahrenheit, 8, 14},
        {differenceToFahrenheit, 15, 27}, {differenceToFahrenheit, 99, 178}, {differenceToCelsius, 14, 8},
        {differenceToCelsius, 1, 0}, {calibrationToFahrenheit, 3, 5}, {calibrationToFahrenheit, -3, -5},
        {calibrationToCelsius, 5, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.convert(c.in), c.out) << "case " << &c - cases << ", " << c.in;
}

TEST(TemperatureConversion, AbsoluteRuleIsNearestDegreeAndWholeCelsiusRoundTrips)
{
    // 1.8 * C never ends in .5, so the rule is plain rounding (-2 -> 28, 21 -> 70).
    for (int c = -200; c <= 200; ++c)
        EXPECT_EQ(temperatureToFahrenheit(c), 32 + static_cast<int>(std::lround(1.8 * c))) << c;
    for (int c = -60; c <= 100; ++c)
        EXPECT_EQ(temperatureToCelsius(temperatureToFahrenheit(c)), c) << c;
    for (int c = 0; c <= 100; ++c)
        EXPECT_EQ(setTemperatureToCelsius(setTemperatureToFahrenheit(c)), c) << c;
}
