#include <gtest/gtest.h>

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
    const std::string number = std::to_string(r.failureNumber);
    return r.hasLimits ? number + " " + std::to_string(r.lower) + ".." + std::to_string(r.upper) : number;
}

template <class Block> struct Case { const char* name; void (*change)(Block&); const char* outcome; };

// The defaults with one change each, checked in turn.
template <class Block>
void expectOutcomes(const Block& start, std::initializer_list<Case<Block>> cases, CheckResult (*check)(const Block&))
{
    for (const Case<Block>& c : cases) {
        Block b = start;
        c.change(b);
        EXPECT_EQ(outcome(check(b)), c.outcome) << c.name;
    }
}

// One field set (in °C, or with the unit switched to °F).
#define SET(field, value, expected) {#field " " #value, [](auto& b) { b.field = value; }, expected}
#define SET_F(field, value, expected) \
    {#field " " #value " F", [](auto& b) { b.Flags_Options |= flagUnitFahrenheit; b.field = value; }, expected}

using K = KParameterBlock;
using M = MParameterBlock;

// The failure texts follow the language chosen now.
struct ParameterCheck : ::testing::Test { void TearDown() override { selectLanguageTexts(1); } };

} // namespace

TEST_F(ParameterCheck, ChecksRunInOrderWithTheirLimits)
{
    expectOutcomes<K>(kSeriesDefaultParameters, {
        {"defaults", [](K&) {}, "0"},
        {"all on their limits", [](K& b) {
             b.AccessCode = 99; b.LowVolt_115 = 90; b.LowVolt_230 = 210;
             std::memset(b.BlowerLevel, 30, sizeof b.BlowerLevel); b.BlowerLevel[2][4] = 100;
             b.Dehum_HeatTime = 99; b.Dehum_CoolTime = 1; b.CoolOffMin_C = -4; b.CoolOff_C = -4; b.CoolOn_C = -4 + 6;
             b.HeatOff_C = 55; b.HeatOn_C = 27; b.Hyst_C = 1; b.Time_BelowOff = 999; b.CanAddress = 239; }, "0"},
        {"equal cooling temperatures", [](K& b) { b.CoolOffMin_C = b.CoolOff_C = b.CoolOn_C = 5; }, "0"},
        {"broken F copies, C shown", [](K& b) { b.Hyst_F = 1; b.HeatOn_F = 200; }, "0"},
        SET(AccessCode, 100, "1 0..99"), SET(LowVolt_115, 89, "2 90..105"), SET(LowVolt_230, 211, "3 180..210"),
        SET(BlowerLevel[3][0], 29, "4 30..100"), SET(Dehum_HeatTime, 0, "5 1..99"),   // 4: in a group not shown
        SET(Dehum_CoolTime, 100, "6 1..99"), SET(CoolOffMin_C, -5, "7 -4..15"),
        {"cool off 16", [](K& b) { b.CoolOff_C = 16; b.CoolOn_C = 17; }, "8 -4..15"},
        SET(CoolOn_C, 1, "9 2..18"), SET(HeatOff_C, 56, "10 30..55"), SET(HeatOn_C, 26, "11 27..50"),
        SET(CoolOff_C, 5, "12"), SET(CoolOffMin_C, 1, "12"),   // above cool on, above cool off
        {"heat on equals heat off", [](K& b) { b.HeatOn_C = b.HeatOff_C = 50; }, "13"},
        SET(Hyst_C, 9, "14 1..8"), SET(Time_BelowOff, 1000, "15 0..999"), SET(CanAddress, 240, "16 0..239"),
        {"first of 6, 14, 16", [](K& b) { b.CanAddress = 250; b.Hyst_C = 0; b.Dehum_CoolTime = 0; }, "6 1..99"},
        SET(CoolOn_C, -10, "9 2..18"),   // the range before the relation
        {"broken C copies, F shown", [](K& b) {
             b.Flags_Options |= flagUnitFahrenheit; b.CoolOffMin_C = -40; b.HeatOff_C = 100; b.Hyst_C = 0; }, "0"},
        SET_F(CoolOffMin_F, 24, "7 25..59"), SET_F(Hyst_F, 16, "14 2..15"),
    }, checkKParameters);
    expectOutcomes<M>(mSeriesDefaultParameters, {
        {"defaults", [](M&) {}, "0"},
        {"on their limits", [](M& b) {
             b.Hyst_C = 99; b.CompOffset[2][0] = 55; b.Time_FirstStart = 200; b.Time_ComprStart = 1;
             b.CoolWaterOff_C = 0; b.HeatWaterOff_C = 52; }, "0"},
        SET(AccessCode, 100, "1 0..99"), SET(LowVolt_115, 106, "2 90..105"), SET(LowVolt_230, 179, "3 180..210"),
        SET(CanAddress, 240, "4 0..239"), SET(CoolWaterOff_C, -1, "5 0..15"), SET(CoolWaterOn_C, 19, "6 2..18"),
        SET(HeatWaterOn_C, 50, "7 27..49"), SET(HeatWaterOff_C, 29, "8 30..52"),
        SET(CoolWaterOff_C, 7, "9"),   // equals on
        {"heat water on equals off", [](M& b) { b.HeatWaterOn_C = b.HeatWaterOff_C = 48; }, "10"},
        SET(Hyst_C, 100, "11 0..99"), SET(CompOffset[5][0], 56, "12 0..55"), SET(Time_FirstStart, 0, "13 1..200"),
        SET(Time_ComprStart, 61, "14 1..60"), SET(Dehum_HeatTime, 0, "15 1..99"), SET(Dehum_CoolTime, 100, "16 1..99"),
        SET(BlowerLevel[3][2], 101, "17 30..100"),   // in a group not shown
        {"first of 11, 14, 17", [](M& b) { b.BlowerLevel[1][1] = 0; b.Time_ComprStart = 0; b.Hyst_C = 200; }, "11 0..99"},
        {"first of 4, 17", [](M& b) { b.BlowerLevel[1][1] = 0; b.CanAddress = 255; }, "4 0..239"},
        SET_F(CompOffset[2][0], 56, "0"),   // the °C copy is not checked
        SET_F(CoolWaterOff_F, 31, "5 32..59"), SET_F(Hyst_F, 179, "11 0..178"),
    }, checkMParameters);
}

TEST_F(ParameterCheck, FailureTextsCarryLimitsExceptForRelations)
{
    selectLanguageTexts(1);
    EXPECT_EQ(kSeriesCheckFailureText(checkFailed(11, 81, 122)), "Failure 'Switch on temperature heating ' !  Limits: 81 to 122");
    EXPECT_EQ(mSeriesCheckFailureText(checkFailed(17, 30, 100)), "Fehler 'Blower Level\t' !  Limits: 30 to 100");
    EXPECT_EQ(mSeriesCheckFailureText(checkFailed(9)),
              "Fehler 'Relation Switch off temperature cooling water < Switch on temperature cooling water' !");

    // The language chosen now, for the result of a real check.
    selectLanguageTexts(0);
    K k = kSeriesDefaultParameters;
    k.CoolOff_C = 10;
    EXPECT_EQ(kSeriesCheckFailureText(checkKParameters(k)), "Fehler 'Relation Abschalttemperatur K\xFChlen Min. <= "
                                                      "Abschalttemperatur K\xFChlen <= Einschalttemperatur K\xFChlen' !");
    EXPECT_EQ(mSeriesCheckFailureText(checkFailed(1, 0, 99)), "Fehler 'Zugangscode' !  Limits: 0 to 99");
}
