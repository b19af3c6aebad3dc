#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>

#include "app/texts.h"
#include "config/k_config_form.h"
#include "config/k_parameter_check.h"
#include "config/m_config_form.h"
#include "config/m_parameter_check.h"

namespace {

class ConfigFormTest : public ::testing::Test {
protected:
    KConfigForm k;
    MConfigForm m;

    void SetUp() override
    {
        selectLanguageTexts(1);
        kFormCreate(k);
        mFormCreate(m);
    }

    // The user's choice in a list, then the window's call for it.
    template <class Form>
    static void choose(Form& form, int r, int value, void (*changed)(Form&))
    {
        form.row[r].value = value;
        changed(form);
    }
    // A number row as "value min..max unit".
    template <class Form>
    static std::string arrows(const Form& form, int r)
    {
        const FormRow& row = form.row[r];
        return std::to_string(row.value) + " " + std::to_string(row.min) + ".." + std::to_string(row.max) + " " +
               (row.unit ? row.unit : "");
    }
    // Values of some rows, space-separated.
    template <class Form>
    static std::string values(const Form& form, std::initializer_list<int> rows)
    {
        std::string shown;
        for (int r : rows)
            shown += (shown.empty() ? "" : " ") + std::to_string(form.row[r].value);
        return shown;
    }
    // The five level rows of the K form, "!" after each read-only one.
    std::string levels() const
    {
        std::string shown;
        for (int l = 0; l < blowerLevelCount; ++l)
            shown += std::to_string(k.row[rowBlowerLevel1 + l].value) + (k.row[rowBlowerLevel1 + l].enabled ? " " : "! ");
        return shown;
    }
};

} // namespace

TEST_F(ConfigFormTest, KCreationStateAndItsGather)
{
    EXPECT_EQ(std::memcmp(&k.block, &kDefaultParameters, sizeof k.block), 0);
    EXPECT_EQ(arrows(k, kRowHysteresis), "8 1..8 x 0,1\xB0" "C");
    EXPECT_EQ(arrows(k, kRowTimeBelowOff), "300 0..999 x 1s");
    EXPECT_EQ(levels(), "35 41 49 58 100 ");
    // Saving the untouched creation state takes the lists as they stand.
    kFormGatherAll(k);
    EXPECT_EQ(k.block.Flags_Device & flagDeviceOn, 0);
    EXPECT_EQ(k.block.BlowerSet, 1);
}

TEST_F(ConfigFormTest, KUnitSwitchRederivesTheOtherCopies)
{
    kFormLoadDefaults(k);
    k.row[kRowHeatOn].value = 30;
    choose(k, rowTemperatureUnit, 0, kFormUnitChanged);   // the unit shown: nothing happens
    EXPECT_EQ(k.block.HeatOn_C, 48);
    k.row[kRowHeatOn].value = 48;

    choose(k, rowTemperatureUnit, 1, kFormUnitChanged);
    EXPECT_TRUE(k.block.Flags_Options & flagUnitFahrenheit);
    EXPECT_EQ(arrows(k, kRowCoolOffMin), "28 25..59 \xB0" "F");
    EXPECT_EQ(arrows(k, kRowHeatOff), "126 86..131 \xB0" "F");
    EXPECT_EQ(arrows(k, kRowHysteresis), "14 2..15 x 0,1\xB0" "F");
    EXPECT_STREQ(k.row[kRowCoolOffMin].defaultText, "28");
    kFormGatherAll(k);
    EXPECT_EQ(checkKParameters(k.block).failureNumber, 0);

    choose(k, rowTemperatureUnit, 0, kFormUnitChanged);
    EXPECT_EQ(arrows(k, kRowCoolOffMin), "-2 -4..15 \xB0" "C");
    EXPECT_EQ(arrows(k, kRowHysteresis), "8 1..8 x 0,1\xB0" "C");
    EXPECT_STREQ(k.row[kRowHysteresis].defaultText, "8");
}

TEST_F(ConfigFormTest, KBlowerGroupsSurviveUnitAndTypeChangesAndIgnoreFilling)
{
    kFormLoadDefaults(k);
    k.view.filling = true;
    choose(k, rowBlowerPowerAt, 1, kFormPowerAtChanged);
    EXPECT_EQ(k.view.groupShown, 0);
    k.view.filling = false;

    // A unit switch keeps "AC 60Hz" and its edits; the defaults column
    // follows the group shown.
    choose(k, rowBlowerPowerAt, 1, kFormPowerAtChanged);
    k.row[rowBlowerLevel1].value = 77;
    choose(k, rowTemperatureUnit, 1, kFormUnitChanged);
    EXPECT_EQ(k.row[rowBlowerPowerAt].value, 1);
    EXPECT_EQ(levels(), "77 53 60 69 100 ");
    EXPECT_STREQ(k.row[rowBlowerLevel1 + 1].defaultText, "53");
    // A type change stores the group it leaves.
    k.row[rowBlowerLevel5].value = 90;
    choose(k, rowBlowerType, blowerTypeSilencer, kFormBlowerTypeChanged);
    EXPECT_EQ(k.block.BlowerLevel[1][4], 90);
    EXPECT_EQ(levels(), "30! 40! 60! 80! 100! ");
    EXPECT_STREQ(k.row[rowBlowerLevel1 + 3].defaultText, "80");
}

TEST_F(ConfigFormTest, KBlockValuesWithoutItemsOrOutOfRangeSurviveFillAndGather)
{
    KParameterBlock b = kDefaultParameters;
    b.Flags_Device = 0xA5A4;    // Device_On clear, unknown bits set
    b.Flags_Options = 0x5A5B;   // °F, IR remote, not permanent
    b.AccessCode = 100;         // shown as it is
    b.SetTemp_F = 90;           // the arrows hold the set temperature in range
    b.OperatingMode = 7;        // no item: the list shows nothing
    b.BlowerSet = 0;            // shows the first item
    kFormTakeBlock(k, b);
    EXPECT_EQ(values(k, {rowDevice, rowIrRemote, rowSetTemp, rowOperatingMode, rowBlowerSet}), "0 1 85 -1 0");
    EXPECT_EQ(arrows(k, rowAccessCode), "100 0..99 ");
    kFormGatherAll(k);
    const KParameterBlock& g = k.block;
    EXPECT_EQ(std::tuple(g.Flags_Device, g.Flags_Options, g.AccessCode, g.OperatingMode, g.BlowerSet, g.SetTemp_C),
              std::tuple(0xA5A4, 0x5A5B, 100, 7, 1, 29));

    k.row[rowDevice].value = 1;
    k.row[rowIrRemote].value = 0;
    k.row[rowBlowerPermanent].value = 1;
    kFormGatherAll(k);
    EXPECT_EQ(std::tuple(g.Flags_Device, g.Flags_Options), std::tuple(0xA5A5, 0x5A5D));

    // An unknown blower type shows group 0 read-only and is kept.
    b = kDefaultParameters;
    b.BlowerType = 5;
    kFormTakeBlock(k, b);
    EXPECT_EQ(k.row[rowBlowerPowerAt].value, noSelection);
    EXPECT_EQ(levels(), "35! 41! 49! 58! 100! ");
    kFormGatherAll(k);
    EXPECT_EQ(std::memcmp(&k.block, &b, sizeof b), 0);
}

TEST_F(ConfigFormTest, MCreationStateAndFahrenheitDifferences)
{
    EXPECT_EQ(std::memcmp(&m.block, &mDefaultParameters, sizeof m.block), 0);
    EXPECT_STREQ(m.row[mRowRelay3].defaultText, "4");
    EXPECT_STREQ(listItemText(mRowInfo(rowBlowerSet), m.row[rowBlowerSet].value), "Off");
    EXPECT_STREQ(m.row[rowBlowerSet].defaultText, "Auto");
    EXPECT_STREQ(listItemText(mRowInfo(rowOperatingMode), m.row[rowOperatingMode].value), "F3");

    mFormLoadDefaults(m);
    m.row[mRowOffset1 + 2].value = 8;
    choose(m, rowTemperatureUnit, 1, mFormUnitChanged);
    EXPECT_EQ(arrows(m, mRowHysteresis), "27 0..178 x 0,1\xB0" "F");
    EXPECT_EQ(arrows(m, mRowOffset1 + 2), "14 0..99 x 0,1\xB0" "F");
    EXPECT_EQ(arrows(m, mRowHeatWaterOn), "113 81..120 \xB0" "F");
    EXPECT_STREQ(m.row[mRowHeatWaterOff].defaultText, "122");
    mFormGatherAll(m);
    EXPECT_EQ(checkMParameters(m.block).failureNumber, 0);
    choose(m, rowTemperatureUnit, 0, mFormUnitChanged);
    EXPECT_EQ(arrows(m, mRowHysteresis), "15 0..99 x 0,1\xB0" "C");
    EXPECT_EQ(m.row[mRowOffset1 + 2].value, 8);
}

TEST_F(ConfigFormTest, MListsFlowSwitchAndCompressorsGatherIntoTheBlock)
{
    MParameterBlock b = mDefaultParameters;
    b.CompressorEnable = 0xC0 | 0x2D;
    b.Flags_Options = 0xFF00 | flagFlowSwitchNo | flagFlowSwitchNc | flagIrRemote;   // both: no valid setting
    b.BlowerSet = 0;
    b.Relay[1] = 9;    // no such item: shown as nothing, kept
    b.Dehum_Cycles = 3;
    mFormTakeBlock(m, b);
    EXPECT_EQ(values(m, {mRowCompressor1, mRowCompressor1 + 1, mRowCompressor1 + 2, mRowCompressor1 + 3,
                         mRowCompressor1 + 4, mRowCompressor1 + 5}), "1 0 1 1 0 1");
    EXPECT_EQ(values(m, {mRowFlowSwitch, rowBlowerSet, mRowRelay1 + 1, rowDehumCycles}), "-1 0 -1 2");

    mFormGatherAll(m);   // bits 6 and 7 of the compressors cleared
    const MParameterBlock& g = m.block;
    EXPECT_EQ(std::tuple(g.CompressorEnable, g.Flags_Options, g.Relay[1], g.Dehum_Cycles),
              std::tuple(0x2D, 0xFF00 | flagIrRemote, 9, 3));

    m.row[mRowCompressor1 + 2].value = 0;
    m.row[mRowFlowSwitch].value = 2;   // "NC"
    m.row[rowBlowerSet].value = 6;
    m.row[mRowFirstStart].value = 201;
    mFormGatherAll(m);
    EXPECT_EQ(std::tuple(g.CompressorEnable, g.Flags_Options & 0x18, g.BlowerSet, g.Time_FirstStart),
              std::tuple(0x29, 0x10, 6, 201));
    m.row[mRowFlowSwitch].value = 1;   // "NO"
    mFormGatherGeneral(m);
    EXPECT_EQ(g.Flags_Options & 0x18, 0x08);
}
