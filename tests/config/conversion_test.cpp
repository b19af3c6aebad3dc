#include "config/temperature_conversion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "config/k_parameters.h"
#include "config/m_parameters.h"

TEST(TemperatureConversion, AbsoluteTemperaturesRoundBothWays)
{
    EXPECT_EQ(temperatureToFahrenheit(-2), 28);   // rem -6 steps down
    EXPECT_EQ(temperatureToFahrenheit(4), 39);
    EXPECT_EQ(temperatureToFahrenheit(52), 126);
    EXPECT_EQ(temperatureToFahrenheit(21), 70);
    EXPECT_EQ(temperatureToFahrenheit(0), 32);

    EXPECT_EQ(temperatureToCelsius(28), -2);
    EXPECT_EQ(temperatureToCelsius(33), 0);       // 0.55: only the first tenth counts
    EXPECT_EQ(temperatureToCelsius(71), 22);
    EXPECT_EQ(temperatureToCelsius(32), 0);
    EXPECT_EQ(temperatureToCelsius(25), -4);      // -3.88
    EXPECT_EQ(temperatureToCelsius(30), -1);      // -1.11
}

TEST(TemperatureConversion, CelsiusToFahrenheitIsNearestWholeDegree)
{
    // 1.8 * C never ends in .5, so the rule is plain rounding over every
    // value a block can hold.
    for (int c = -200; c <= 200; ++c)
        EXPECT_EQ(temperatureToFahrenheit(c), 32 + static_cast<int>(std::lround(1.8 * c))) << c;
}

TEST(TemperatureConversion, WholeCelsiusSurvivesARoundTrip)
{
    for (int c = -60; c <= 100; ++c)
        EXPECT_EQ(temperatureToCelsius(temperatureToFahrenheit(c)), c) << c;
    for (int c = 0; c <= 100; ++c)
        EXPECT_EQ(setTemperatureToCelsius(setTemperatureToFahrenheit(c)), c) << c;
}

TEST(TemperatureConversion, SetTemperatureStepsUpOnly)
{
    EXPECT_EQ(setTemperatureToFahrenheit(20), 68);
    EXPECT_EQ(setTemperatureToCelsius(68), 20);
    EXPECT_EQ(setTemperatureToFahrenheit(21), 70);
    EXPECT_EQ(setTemperatureToCelsius(71), 22);
    // Below zero the downward step is missing: -2 °C gives 29 °F, not 28.
    EXPECT_EQ(setTemperatureToFahrenheit(-2), 29);
    EXPECT_EQ(setTemperatureToCelsius(28), -2);
    EXPECT_EQ(setTemperatureToCelsius(20), -6);   // -6.66 would step down to -7
    EXPECT_EQ(temperatureToCelsius(20), -7);
    // The whole set-temperature ranges map into each other.
    EXPECT_EQ(setTemperatureToFahrenheit(15), 59);
    EXPECT_EQ(setTemperatureToFahrenheit(29), 84);
    EXPECT_EQ(setTemperatureToCelsius(85), 29);
}

TEST(TemperatureConversion, DifferencesHaveNoOffset)
{
    EXPECT_EQ(differenceToFahrenheit(8), 14);
    EXPECT_EQ(differenceToFahrenheit(15), 27);
    EXPECT_EQ(differenceToFahrenheit(1), 2);      // 1.8 rounds up
    EXPECT_EQ(differenceToFahrenheit(99), 178);
    EXPECT_EQ(differenceToFahrenheit(55), 99);
    EXPECT_EQ(differenceToCelsius(14), 8);
    EXPECT_EQ(differenceToCelsius(27), 15);
    EXPECT_EQ(differenceToCelsius(2), 1);
    EXPECT_EQ(differenceToCelsius(1), 0);         // 0.55: the first tenth, 5, does not step
    EXPECT_EQ(differenceToCelsius(178), 99);
}

TEST(TemperatureConversion, CalibrationIsTruncatedWithoutRounding)
{
    EXPECT_EQ(calibrationToFahrenheit(3), 5);
    EXPECT_EQ(calibrationToCelsius(5), 2);        // 3 -> 5 -> 2: a round trip may move it
    EXPECT_EQ(calibrationToFahrenheit(55), 99);
    EXPECT_EQ(calibrationToFahrenheit(-55), -99);
    EXPECT_EQ(calibrationToCelsius(-99), -55);
    EXPECT_EQ(calibrationToFahrenheit(-3), -5);   // toward zero, not floor
    EXPECT_EQ(calibrationToCelsius(-5), -2);
}

TEST(TemperatureConversion, DefaultRecordsHoldConsistentCopies)
{
    const KParameterBlock& k = kDefaultParameters;
    for (int i = 0; i < kSwitchTempCount; ++i)
        EXPECT_EQ(kSwitchTemp(k, i, 1), temperatureToFahrenheit(kSwitchTemp(k, i, 0))) << i;
    EXPECT_EQ(k.SetTemp_F, setTemperatureToFahrenheit(k.SetTemp_C));
    EXPECT_EQ(k.Hyst_F, differenceToFahrenheit(k.Hyst_C));

    const MParameterBlock& m = mDefaultParameters;
    for (int i = 0; i < mWaterTempCount; ++i)
        EXPECT_EQ(mWaterTemp(m, i, 1), temperatureToFahrenheit(mWaterTemp(m, i, 0))) << i;
    EXPECT_EQ(m.Hyst_F, differenceToFahrenheit(m.Hyst_C));
}
