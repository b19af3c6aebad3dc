#include "config/m_parameter_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "app/texts.h"

namespace {

MParameterBlock fahrenheitDefaults()
{
    MParameterBlock b = mDefaultParameters;
    b.Flags_Options |= flagUnitFahrenheit;
    return b;
}

struct Case {
    const char* name;
    std::function<void(MParameterBlock&)> change;
    int number;
    bool hasLimits;
    int lower;
    int upper;
};

void expectFailure(const MParameterBlock& start, const Case& c)
{
    MParameterBlock b = start;
    c.change(b);
    const CheckResult r = checkMParameters(b);
    EXPECT_EQ(r.failureNumber, c.number) << c.name;
    EXPECT_EQ(r.hasLimits, c.hasLimits) << c.name;
    if (c.hasLimits) {
        EXPECT_EQ(r.lower, c.lower) << c.name;
        EXPECT_EQ(r.upper, c.upper) << c.name;
    }
}

} // namespace

TEST(MParameterCheck, DefaultsPassInBothUnits)
{
    EXPECT_EQ(checkMParameters(mDefaultParameters).failureNumber, 0);
    EXPECT_EQ(checkMParameters(fahrenheitDefaults()).failureNumber, 0);
}

TEST(MParameterCheck, EachCheckFailsJustOutsideItsLimits)
{
    const std::vector<Case> celsius = {
        {"access 100", [](auto& b) { b.AccessCode = 100; }, 1, true, 0, 99},
        {"115V 106", [](auto& b) { b.LowVolt_115 = 106; }, 2, true, 90, 105},
        {"230V 179", [](auto& b) { b.LowVolt_230 = 179; }, 3, true, 180, 210},
        {"CAN 240", [](auto& b) { b.CanAddress = 240; }, 4, true, 0, 239},
        {"cool water off -1", [](auto& b) { b.CoolWaterOff_C = -1; }, 5, true, 0, 15},
        {"cool water on 19", [](auto& b) { b.CoolWaterOn_C = 19; }, 6, true, 2, 18},
        {"heat water on 50", [](auto& b) { b.HeatWaterOn_C = 50; }, 7, true, 27, 49},
        {"heat water off 29", [](auto& b) { b.HeatWaterOff_C = 29; }, 8, true, 30, 52},
        {"cool water off equals on", [](auto& b) { b.CoolWaterOff_C = 7; }, 9, false, 0, 0},
        {"heat water on equals off", [](auto& b) { b.HeatWaterOn_C = 48; b.HeatWaterOff_C = 48; }, 10, false, 0, 0},
        {"hysteresis 100", [](auto& b) { b.Hyst_C = 100; }, 11, true, 0, 99},
        {"offset 56", [](auto& b) { b.CompOffset[5][0] = 56; }, 12, true, 0, 55},
        {"first start 201", [](auto& b) { b.Time_FirstStart = 201; }, 13, true, 1, 200},
        {"first start 0", [](auto& b) { b.Time_FirstStart = 0; }, 13, true, 1, 200},
        {"compressor start 0", [](auto& b) { b.Time_ComprStart = 0; }, 14, true, 1, 60},
        {"compressor start 61", [](auto& b) { b.Time_ComprStart = 61; }, 14, true, 1, 60},
        {"heat time 0", [](auto& b) { b.Dehum_HeatTime = 0; }, 15, true, 1, 99},
        {"cool time 100", [](auto& b) { b.Dehum_CoolTime = 100; }, 16, true, 1, 99},
        {"level 20", [](auto& b) { b.BlowerLevel[0][0] = 20; }, 17, true, 30, 100},
        {"level 101 in group 3", [](auto& b) { b.BlowerLevel[3][2] = 101; }, 17, true, 30, 100},
    };
    for (const Case& c : celsius)
        expectFailure(mDefaultParameters, c);

    const std::vector<Case> fahrenheit = {
        {"cool water off 31 F", [](auto& b) { b.CoolWaterOff_F = 31; }, 5, true, 32, 59},
        {"heat water off 127 F", [](auto& b) { b.HeatWaterOff_F = 127; }, 8, true, 86, 126},
        {"hysteresis 179 F", [](auto& b) { b.Hyst_F = 179; }, 11, true, 0, 178},
        {"offset 100 F", [](auto& b) { b.CompOffset[0][1] = 100; }, 12, true, 0, 99},
    };
    for (const Case& c : fahrenheit)
        expectFailure(fahrenheitDefaults(), c);
}

TEST(MParameterCheck, LimitsAndTheUnitNotShown)
{
    MParameterBlock b = mDefaultParameters;
    b.Hyst_C = 99;
    b.CompOffset[2][0] = 55;
    b.Time_FirstStart = 200;
    b.Time_ComprStart = 1;
    b.CoolWaterOff_C = 0;
    b.HeatWaterOff_C = 52;
    EXPECT_EQ(checkMParameters(b).failureNumber, 0);

    // 56 fails with °C shown and passes with °F shown.
    b.CompOffset[2][0] = 56;
    EXPECT_EQ(checkMParameters(b).failureNumber, 12);
    b.Flags_Options |= flagUnitFahrenheit;
    EXPECT_EQ(checkMParameters(b).failureNumber, 0);

    // Not checked at all: lists, compressors, relays, flow switch, set temperature.
    MParameterBlock c = mDefaultParameters;
    c.OperatingMode = 200;
    c.CompressorEnable = 0xFF;
    c.Relay[0] = 99;
    c.Flags_Options |= flagFlowSwitchNo | flagFlowSwitchNc;
    c.SetTemp_C = 0;
    c.RoomCal_C = -128;
    EXPECT_EQ(checkMParameters(c).failureNumber, 0);
}

TEST(MParameterCheck, FirstFailingCheckWins)
{
    MParameterBlock b = mDefaultParameters;
    b.BlowerLevel[1][1] = 0;
    b.Time_ComprStart = 0;
    b.Hyst_C = 200;
    EXPECT_EQ(checkMParameters(b).failureNumber, 11);
    b.CanAddress = 255;
    EXPECT_EQ(checkMParameters(b).failureNumber, 4);
}

TEST(MParameterCheck, FailureTexts)
{
    selectLanguageTexts(1);
    MParameterBlock b = mDefaultParameters;
    b.BlowerLevel[2][0] = 20;
    EXPECT_EQ(mCheckFailureText(checkMParameters(b)), "Fehler 'Blower Level\t' !  Limits: 30 to 100");
    b = mDefaultParameters;
    b.Time_ComprStart = 0;
    EXPECT_EQ(mCheckFailureText(checkMParameters(b)), "Fehler 'Time_ComprStart' !  Limits: 1 to 60");
    b = mDefaultParameters;
    b.CoolWaterOff_C = 8;
    EXPECT_EQ(mCheckFailureText(checkMParameters(b)),
              "Fehler 'Relation Switch off temperature cooling water < Switch on temperature cooling water' !");
    b = mDefaultParameters;
    b.AccessCode = 100;
    EXPECT_EQ(mCheckFailureText(checkMParameters(b)), "Failure 'Access-Code' !  Limits: 0 to 99");

    selectLanguageTexts(0);
    b = mDefaultParameters;
    b.HeatWaterOn_C = 48;
    b.HeatWaterOff_C = 48;
    EXPECT_EQ(mCheckFailureText(checkMParameters(b)),
              "Fehler 'Relation Einschalttemperatur Heizwassert < Abschalttemperatur Heizwasser' !");
    selectLanguageTexts(1);
}
