#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "app/texts.h"
#include "config/k_parameter_check.h"
#include "config/m_parameter_check.h"

namespace {

// "N" or "N lower..upper"; "0" when every check passes.
std::string outcome(const CheckResult& r)
{
    char shown[32];
    if (r.hasLimits)
        std::snprintf(shown, sizeof shown, "%d %d..%d", r.failureNumber, r.lower, r.upper);
    else
        std::snprintf(shown, sizeof shown, "%d", r.failureNumber);
    return shown;
}

template <class Block>
struct Case {
    const char* name;
    void (*change)(Block&);
    const char* outcome;
};

template <class Block>
void expectOutcomes(const Block& start, std::initializer_list<Case<Block>> cases, CheckResult (*check)(const Block&))
{
    for (const Case<Block>& c : cases) {
        Block b = start;
        c.change(b);
        EXPECT_EQ(outcome(check(b)), c.outcome) << c.name;
    }
}

template <class Block>
void showFahrenheit(Block& b)
{
    b.Flags_Options |= flagUnitFahrenheit;
}

using K = KParameterBlock;
using M = MParameterBlock;

} // namespace

TEST(ParameterCheck, KChecksInOrderWithTheirLimits)
{
    expectOutcomes<K>(kDefaultParameters, {
        {"defaults", [](K&) {}, "0"},
        {"all on their limits", [](K& b) {
             b.AccessCode = 99; b.LowVolt_115 = 90; b.LowVolt_230 = 210;
             std::memset(b.BlowerLevel, 30, sizeof b.BlowerLevel); b.BlowerLevel[2][4] = 100;
             b.Dehum_HeatTime = 99; b.Dehum_CoolTime = 1; b.CoolOffMin_C = -4; b.CoolOff_C = -4; b.CoolOn_C = -4 + 6;
             b.HeatOff_C = 55; b.HeatOn_C = 27; b.Hyst_C = 1; b.Time_BelowOff = 999; b.CanAddress = 239; }, "0"},
        {"equal cooling temperatures", [](K& b) { b.CoolOffMin_C = b.CoolOff_C = b.CoolOn_C = 5; }, "0"},
        {"broken F copies, C shown", [](K& b) { b.Hyst_F = 1; b.HeatOn_F = 200; }, "0"},
        {"access 100", [](K& b) { b.AccessCode = 100; }, "1 0..99"},
        {"115V 89", [](K& b) { b.LowVolt_115 = 89; }, "2 90..105"},
        {"230V 211", [](K& b) { b.LowVolt_230 = 211; }, "3 180..210"},
        {"level 29 in a group not shown", [](K& b) { b.BlowerLevel[3][0] = 29; }, "4 30..100"},
        {"level 101", [](K& b) { b.BlowerLevel[1][4] = 101; }, "4 30..100"},
        {"heat time 0", [](K& b) { b.Dehum_HeatTime = 0; }, "5 1..99"},
        {"cool time 100", [](K& b) { b.Dehum_CoolTime = 100; }, "6 1..99"},
        {"cool off min -5", [](K& b) { b.CoolOffMin_C = -5; }, "7 -4..15"},
        {"cool off 16", [](K& b) { b.CoolOff_C = 16; b.CoolOn_C = 17; }, "8 -4..15"},
        {"cool on 1", [](K& b) { b.CoolOn_C = 1; }, "9 2..18"},
        {"heat off 56", [](K& b) { b.HeatOff_C = 56; }, "10 30..55"},
        {"heat on 26", [](K& b) { b.HeatOn_C = 26; }, "11 27..50"},
        {"cool off above cool on", [](K& b) { b.CoolOff_C = 5; }, "12"},
        {"cool off min above cool off", [](K& b) { b.CoolOffMin_C = 1; }, "12"},
        {"heat on equals heat off", [](K& b) { b.HeatOn_C = b.HeatOff_C = 50; }, "13"},
        {"hysteresis 0", [](K& b) { b.Hyst_C = 0; }, "14 1..8"},
        {"hysteresis 9", [](K& b) { b.Hyst_C = 9; }, "14 1..8"},
        {"time 1000", [](K& b) { b.Time_BelowOff = 1000; }, "15 0..999"},
        {"CAN 240", [](K& b) { b.CanAddress = 240; }, "16 0..239"},
        {"first of 6, 14, 16", [](K& b) { b.CanAddress = 250; b.Hyst_C = 0; b.Dehum_CoolTime = 0; }, "6 1..99"},
        {"range before relation", [](K& b) { b.CoolOn_C = -10; }, "9 2..18"},
        {"broken C copies, F shown", [](K& b) {
             showFahrenheit(b); b.CoolOffMin_C = -40; b.HeatOff_C = 100; b.Hyst_C = 0; }, "0"},
        {"cool off min 24 F", [](K& b) { showFahrenheit(b); b.CoolOffMin_F = 24; }, "7 25..59"},
        {"hysteresis 16 F", [](K& b) { showFahrenheit(b); b.Hyst_F = 16; }, "14 2..15"},
    }, checkKParameters);
}

TEST(ParameterCheck, MChecksInOrderWithTheirLimits)
{
    expectOutcomes<M>(mDefaultParameters, {
        {"defaults", [](M&) {}, "0"},
        {"on their limits", [](M& b) {
             b.Hyst_C = 99; b.CompOffset[2][0] = 55; b.Time_FirstStart = 200; b.Time_ComprStart = 1;
             b.CoolWaterOff_C = 0; b.HeatWaterOff_C = 52; }, "0"},
        {"access 100", [](M& b) { b.AccessCode = 100; }, "1 0..99"},
        {"115V 106", [](M& b) { b.LowVolt_115 = 106; }, "2 90..105"},
        {"230V 179", [](M& b) { b.LowVolt_230 = 179; }, "3 180..210"},
        {"CAN 240", [](M& b) { b.CanAddress = 240; }, "4 0..239"},
        {"cool water off -1", [](M& b) { b.CoolWaterOff_C = -1; }, "5 0..15"},
        {"cool water on 19", [](M& b) { b.CoolWaterOn_C = 19; }, "6 2..18"},
        {"heat water on 50", [](M& b) { b.HeatWaterOn_C = 50; }, "7 27..49"},
        {"heat water off 29", [](M& b) { b.HeatWaterOff_C = 29; }, "8 30..52"},
        {"cool water off equals on", [](M& b) { b.CoolWaterOff_C = 7; }, "9"},
        {"heat water on equals off", [](M& b) { b.HeatWaterOn_C = b.HeatWaterOff_C = 48; }, "10"},
        {"hysteresis 100", [](M& b) { b.Hyst_C = 100; }, "11 0..99"},
        {"offset 56", [](M& b) { b.CompOffset[5][0] = 56; }, "12 0..55"},
        {"first start 0", [](M& b) { b.Time_FirstStart = 0; }, "13 1..200"},
        {"compressor start 61", [](M& b) { b.Time_ComprStart = 61; }, "14 1..60"},
        {"heat time 0", [](M& b) { b.Dehum_HeatTime = 0; }, "15 1..99"},
        {"cool time 100", [](M& b) { b.Dehum_CoolTime = 100; }, "16 1..99"},
        {"level 101 in a group not shown", [](M& b) { b.BlowerLevel[3][2] = 101; }, "17 30..100"},
        {"first of 11, 14, 17", [](M& b) { b.BlowerLevel[1][1] = 0; b.Time_ComprStart = 0; b.Hyst_C = 200; }, "11 0..99"},
        {"first of 4, 17", [](M& b) { b.BlowerLevel[1][1] = 0; b.CanAddress = 255; }, "4 0..239"},
        {"C offset 56 while F shown", [](M& b) { showFahrenheit(b); b.CompOffset[2][0] = 56; }, "0"},
        {"cool water off 31 F", [](M& b) { showFahrenheit(b); b.CoolWaterOff_F = 31; }, "5 32..59"},
        {"hysteresis 179 F", [](M& b) { showFahrenheit(b); b.Hyst_F = 179; }, "11 0..178"},
    }, checkMParameters);
}

TEST(ParameterCheck, FailureTextsCarryLimitsExceptForRelations)
{
    selectLanguageTexts(1);
    EXPECT_EQ(kCheckFailureText(checkFailed(11, 81, 122)),
              "Failure 'Switch on temperature heating ' !  Limits: 81 to 122");
    EXPECT_EQ(kCheckFailureText(checkFailed(13)),
              "Failure 'Relation Switch off temperature heating >= Switch on temperature heating' !");
    EXPECT_EQ(mCheckFailureText(checkFailed(17, 30, 100)), "Fehler 'Blower Level\t' !  Limits: 30 to 100");
    EXPECT_EQ(mCheckFailureText(checkFailed(9)),
              "Fehler 'Relation Switch off temperature cooling water < Switch on temperature cooling water' !");

    // The language chosen now, for the result of a real check.
    selectLanguageTexts(0);
    K k = kDefaultParameters;
    k.CoolOff_C = 10;
    EXPECT_EQ(kCheckFailureText(checkKParameters(k)),
              "Fehler 'Relation Abschalttemperatur K\xFChlen Min. <= Abschalttemperatur K\xFChlen <= "
              "Einschalttemperatur K\xFChlen' !");
    M m = mDefaultParameters;
    m.HeatWaterOn_C = m.HeatWaterOff_C = 48;
    EXPECT_EQ(mCheckFailureText(checkMParameters(m)),
              "Fehler 'Relation Einschalttemperatur Heizwassert < Abschalttemperatur Heizwasser' !");
    EXPECT_EQ(mCheckFailureText(checkFailed(1, 0, 99)), "Fehler 'Zugangscode' !  Limits: 0 to 99");
    selectLanguageTexts(1);
}
