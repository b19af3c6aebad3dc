#include "config/k_parameter_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/texts.h"

namespace {

KParameterBlock fahrenheitDefaults()
{
    KParameterBlock b = kDefaultParameters;
    b.Flags_Options |= flagUnitFahrenheit;
    return b;
}

struct Case {
    const char* name;
    std::function<void(KParameterBlock&)> change;
    int number;
    bool hasLimits;
    int lower;
    int upper;
};

void expectFailure(const KParameterBlock& start, const Case& c)
{
    KParameterBlock b = start;
    c.change(b);
    const CheckResult r = checkKParameters(b);
    EXPECT_EQ(r.failureNumber, c.number) << c.name;
    EXPECT_EQ(r.hasLimits, c.hasLimits) << c.name;
    if (c.hasLimits) {
        EXPECT_EQ(r.lower, c.lower) << c.name;
        EXPECT_EQ(r.upper, c.upper) << c.name;
    }
}

} // namespace

TEST(KParameterCheck, DefaultsPassInBothUnits)
{
    EXPECT_EQ(checkKParameters(kDefaultParameters).failureNumber, 0);
    EXPECT_EQ(checkKParameters(fahrenheitDefaults()).failureNumber, 0);
}

TEST(KParameterCheck, EachCheckFailsJustOutsideItsLimits)
{
    const std::vector<Case> celsius = {
        {"access 100", [](auto& b) { b.AccessCode = 100; }, 1, true, 0, 99},
        {"115V low", [](auto& b) { b.LowVolt_115 = 89; }, 2, true, 90, 105},
        {"115V high", [](auto& b) { b.LowVolt_115 = 106; }, 2, true, 90, 105},
        {"230V low", [](auto& b) { b.LowVolt_230 = 179; }, 3, true, 180, 210},
        {"230V high", [](auto& b) { b.LowVolt_230 = 211; }, 3, true, 180, 210},
        {"level 29 in group 3", [](auto& b) { b.BlowerLevel[3][0] = 29; }, 4, true, 30, 100},
        {"level 101 in group 1", [](auto& b) { b.BlowerLevel[1][4] = 101; }, 4, true, 30, 100},
        {"heat time 0", [](auto& b) { b.Dehum_HeatTime = 0; }, 5, true, 1, 99},
        {"heat time 100", [](auto& b) { b.Dehum_HeatTime = 100; }, 5, true, 1, 99},
        {"cool time 0", [](auto& b) { b.Dehum_CoolTime = 0; }, 6, true, 1, 99},
        {"cool off min -5", [](auto& b) { b.CoolOffMin_C = -5; }, 7, true, -4, 15},
        {"cool off 16", [](auto& b) { b.CoolOff_C = 16; b.CoolOn_C = 17; }, 8, true, -4, 15},
        {"cool on 1", [](auto& b) { b.CoolOn_C = 1; }, 9, true, 2, 18},
        {"heat off 56", [](auto& b) { b.HeatOff_C = 56; }, 10, true, 30, 55},
        {"heat on 26", [](auto& b) { b.HeatOn_C = 26; }, 11, true, 27, 50},
        {"heat on 51", [](auto& b) { b.HeatOn_C = 51; }, 11, true, 27, 50},
        {"cool off above cool on", [](auto& b) { b.CoolOff_C = 5; }, 12, false, 0, 0},
        {"cool off min above cool off", [](auto& b) { b.CoolOffMin_C = 1; }, 12, false, 0, 0},
        {"heat on equals heat off", [](auto& b) { b.HeatOn_C = 50; b.HeatOff_C = 50; }, 13, false, 0, 0},
        {"hysteresis 0", [](auto& b) { b.Hyst_C = 0; }, 14, true, 1, 8},
        {"hysteresis 9", [](auto& b) { b.Hyst_C = 9; }, 14, true, 1, 8},
        {"time 1000", [](auto& b) { b.Time_BelowOff = 1000; }, 15, true, 0, 999},
        {"CAN 240", [](auto& b) { b.CanAddress = 240; }, 16, true, 0, 239},
    };
    for (const Case& c : celsius)
        expectFailure(kDefaultParameters, c);

    const std::vector<Case> fahrenheit = {
        {"cool off min 24 F", [](auto& b) { b.CoolOffMin_F = 24; }, 7, true, 25, 59},
        {"heat off 132 F", [](auto& b) { b.HeatOff_F = 132; }, 10, true, 86, 131},
        {"heat on 80 F", [](auto& b) { b.HeatOn_F = 80; }, 11, true, 81, 122},
        {"hysteresis 1 F", [](auto& b) { b.Hyst_F = 1; }, 14, true, 2, 15},
        {"hysteresis 16 F", [](auto& b) { b.Hyst_F = 16; }, 14, true, 2, 15},
    };
    for (const Case& c : fahrenheit)
        expectFailure(fahrenheitDefaults(), c);
}

TEST(KParameterCheck, ValuesOnTheLimitsPass)
{
    KParameterBlock b = kDefaultParameters;
    b.AccessCode = 99;
    b.LowVolt_115 = 90;
    b.LowVolt_230 = 210;
    std::memset(b.BlowerLevel, 30, sizeof b.BlowerLevel);
    b.BlowerLevel[2][4] = 100;
    b.Dehum_HeatTime = 99;
    b.Dehum_CoolTime = 1;
    b.CoolOffMin_C = -4;
    b.CoolOff_C = -4;
    b.CoolOn_C = -4 + 6;
    b.HeatOff_C = 55;
    b.HeatOn_C = 27;
    b.Hyst_C = 1;
    b.Time_BelowOff = 999;
    b.CanAddress = 239;
    EXPECT_EQ(checkKParameters(b).failureNumber, 0);

    // Equal cooling temperatures keep the relation.
    b.CoolOffMin_C = 5;
    b.CoolOff_C = 5;
    b.CoolOn_C = 5;
    EXPECT_EQ(checkKParameters(b).failureNumber, 0);
}

TEST(KParameterCheck, FirstFailingCheckWins)
{
    KParameterBlock b = kDefaultParameters;
    b.CanAddress = 250;
    b.Hyst_C = 0;
    b.Dehum_CoolTime = 0;
    EXPECT_EQ(checkKParameters(b).failureNumber, 6);
    b.AccessCode = 200;
    EXPECT_EQ(checkKParameters(b).failureNumber, 1);
    // Range failures come before the relation they would also break.
    KParameterBlock c = kDefaultParameters;
    c.CoolOn_C = -10;
    EXPECT_EQ(checkKParameters(c).failureNumber, 9);
}

TEST(KParameterCheck, OnlyTheUnitShownIsChecked)
{
    // °C copies out of range, °F copies in range: passes while °F is shown.
    KParameterBlock b = fahrenheitDefaults();
    b.CoolOffMin_C = -40;
    b.HeatOff_C = 100;
    b.Hyst_C = 0;
    EXPECT_EQ(checkKParameters(b).failureNumber, 0);
    b.Flags_Options &= static_cast<std::uint16_t>(~flagUnitFahrenheit);
    EXPECT_EQ(checkKParameters(b).failureNumber, 7);

    // And the reverse: broken °F copies do not matter while °C is shown.
    KParameterBlock c = kDefaultParameters;
    c.Hyst_F = 1;
    c.HeatOn_F = 200;
    EXPECT_EQ(checkKParameters(c).failureNumber, 0);
}

TEST(KParameterCheck, FailureTextsCarryLimitsExceptForRelations)
{
    selectLanguageTexts(1);
    EXPECT_EQ(kCheckFailureText(checkFailed(16, 0, 239)), "Failure 'CAN Address' !  Limits: 0 to 239");
    EXPECT_EQ(kCheckFailureText(checkFailed(11, 81, 122)),
              "Failure 'Switch on temperature heating ' !  Limits: 81 to 122");
    EXPECT_EQ(kCheckFailureText(checkFailed(7, -4, 15)),
              "Failure 'Switch off temperature cooling min' !  Limits: -4 to 15");
    EXPECT_EQ(kCheckFailureText(checkFailed(13)),
              "Failure 'Relation Switch off temperature heating >= Switch on temperature heating' !");

    // The real check result feeds the text, in the language chosen now.
    KParameterBlock b = kDefaultParameters;
    b.AccessCode = 100;
    selectLanguageTexts(0);
    EXPECT_EQ(kCheckFailureText(checkKParameters(b)), "Fehler 'Zugangscode' !  Limits: 0 to 99");
    b = kDefaultParameters;
    b.CoolOff_C = 10;
    EXPECT_EQ(kCheckFailureText(checkKParameters(b)),
              "Fehler 'Relation Abschalttemperatur K\xFChlen Min. <= Abschalttemperatur K\xFChlen <= "
              "Einschalttemperatur K\xFChlen' !");
    selectLanguageTexts(1);
}
