#include "config/temperature_conversion.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TemperatureConversion, WorkedExamplesOfEachRule)
{
    const struct { const char* rule; int (*convert)(int); int in, out; } cases[] = {
        {"abs F->C", temperatureToCelsius, 28, -2}, {"abs F->C", temperatureToCelsius, 71, 22},
        {"abs F->C", temperatureToCelsius, 33, 0},        // 0.55: only the first tenth counts
        {"abs F->C", temperatureToCelsius, 20, -7}, {"set C->F", setTemperatureToFahrenheit, 21, 70},
        {"set C->F", setTemperatureToFahrenheit, -2, 29}, // no downward step
        {"set F->C", setTemperatureToCelsius, 71, 22}, {"set F->C", setTemperatureToCelsius, 20, -6},
        {"diff C->F", differenceToFahrenheit, 8, 14},     // no 32 offset
        {"diff C->F", differenceToFahrenheit, 15, 27}, {"diff C->F", differenceToFahrenheit, 99, 178},
        {"diff F->C", differenceToCelsius, 14, 8}, {"diff F->C", differenceToCelsius, 1, 0},
        {"cal C->F", calibrationToFahrenheit, 3, 5},      // 3 -> 5 -> 2: no rounding at all
        {"cal F->C", calibrationToCelsius, 5, 2},
        {"cal C->F", calibrationToFahrenheit, -3, -5},    // toward zero, not floor
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.convert(c.in), c.out) << c.rule << " " << c.in;
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
