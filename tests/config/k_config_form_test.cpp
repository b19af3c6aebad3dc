#include "config/k_config_form.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/texts.h"
#include "config/k_parameter_check.h"

namespace {

class KConfigFormTest : public ::testing::Test {
protected:
    KConfigForm form;

    void SetUp() override
    {
        selectLanguageTexts(1);
        kFormCreate(form);
    }

    FormRow& row(int r) { return form.row[r]; }

    void chooseUnit(int unit)
    {
        row(rowTemperatureUnit).value = unit;
        kFormUnitChanged(form);
    }
    void chooseType(int type)
    {
        row(rowBlowerType).value = type;
        kFormBlowerTypeChanged(form);
    }
    void choosePowerAt(int entry)
    {
        row(rowBlowerPowerAt).value = entry;
        kFormPowerAtChanged(form);
    }
    void expectLevels(const int (&levels)[5])
    {
        for (int l = 0; l < 5; ++l)
            EXPECT_EQ(row(rowBlowerLevel1 + l).value, levels[l]) << "level " << l + 1;
    }
    void expectArrows(int r, int value, int min, int max)
    {
        EXPECT_EQ(row(r).value, value) << "row " << r;
        EXPECT_EQ(row(r).min, min) << "row " << r;
        EXPECT_EQ(row(r).max, max) << "row " << r;
    }
};

} // namespace

TEST_F(KConfigFormTest, CreationStateShowsArrowDefaultsAndFirstListItems)
{
    EXPECT_EQ(std::memcmp(&form.block, &kDefaultParameters, sizeof form.block), 0);
    // Lists start on their first item, so "Device" shows "Off" beside its default "On".
    EXPECT_EQ(row(rowDevice).value, 0);
    EXPECT_STREQ(row(rowDevice).defaultText, "On");
    EXPECT_EQ(row(rowBlowerSet).value, 0);
    EXPECT_EQ(row(rowOperatingMode).value, 2);
    EXPECT_STREQ(listItemText(kRowInfo(rowOperatingMode), row(rowOperatingMode).value), "F3");

    expectArrows(rowSetTemp, 20, 15, 29);
    expectArrows(rowCalibration, 0, -55, 55);
    expectArrows(kRowCoolOffMin, -2, -4, 15);
    expectArrows(kRowHeatOff, 52, 30, 55);
    expectArrows(kRowHysteresis, 8, 1, 8);
    expectArrows(kRowTimeBelowOff, 300, 0, 999);
    expectArrows(rowAccessCode, 83, 0, 99);
    expectArrows(rowLowVolt230, 195, 180, 210);
    expectArrows(rowCanAddress, 1, 0, 239);
    expectLevels({35, 41, 49, 58, 100});
    EXPECT_STREQ(row(rowSetTemp).unit, "\xB0" "C");
    EXPECT_STREQ(row(kRowHysteresis).unit, "x 0,1\xB0" "C");
    EXPECT_STREQ(row(kRowTimeBelowOff).unit, "x 1s");
    EXPECT_EQ(form.view.unitShown, 0);
    EXPECT_EQ(form.view.groupShown, 0);

    // Saving the untouched creation state takes the lists as they stand.
    kFormGatherAll(form);
    EXPECT_EQ(form.block.Flags_Device & flagDeviceOn, 0);
    EXPECT_EQ(form.block.BlowerSet, 1);
}

TEST_F(KConfigFormTest, DefaultsFillEveryRowAndTheDefaultsColumn)
{
    kFormLoadDefaults(form);
    EXPECT_EQ(row(rowDevice).value, 1);
    EXPECT_EQ(row(rowBlowerSet).value, 5);
    EXPECT_STREQ(listItemText(kRowInfo(rowBlowerSet), 5), "Auto");
    EXPECT_EQ(row(rowDehumCycles).value, 0);
    EXPECT_EQ(blowerEntryCount(form.view.typeShown), 2);
    EXPECT_STREQ(blowerEntryName(form.view.typeShown, 1), "AC 60Hz");
    EXPECT_EQ(row(rowBlowerPowerAt).value, 0);
    EXPECT_TRUE(row(rowBlowerPowerAt).enabled);

    const char* expected[][2] = {
        {"On", "Ein"}, {"\xB0" "C", "\xB0" "C"}, {"Off", "Aus"}, {"20", "20"}, {"F3", "F3"},
    };
    for (int language = 1; language >= 0; --language) {
        selectLanguageTexts(language);
        kFormRefreshDefaults(form);
        for (int r = 0; r < 5; ++r)
            EXPECT_STREQ(row(r).defaultText, expected[r][language == 1 ? 0 : 1]) << r;
        EXPECT_STREQ(row(rowBlowerPermanent).defaultText, language ? "Off" : "Aus");
    }
    selectLanguageTexts(1);
    EXPECT_STREQ(row(rowBlowerType).defaultText, "AC");
    EXPECT_STREQ(row(rowBlowerSet).defaultText, "Auto");
    EXPECT_STREQ(row(rowBlowerPowerAt).defaultText, "");
    EXPECT_STREQ(row(kRowCoolOffMin).defaultText, "-2");
    EXPECT_STREQ(row(kRowHeatOn).defaultText, "48");
    EXPECT_STREQ(row(kRowTimeBelowOff).defaultText, "300");
    EXPECT_STREQ(row(rowBlowerLevel1).defaultText, "35");
}

TEST_F(KConfigFormTest, SwitchingUnitsRederivesTheOtherCopies)
{
    kFormLoadDefaults(form);
    row(rowCalibration).value = 3;
    chooseUnit(1);

    EXPECT_EQ(form.view.unitShown, 1);
    EXPECT_TRUE(form.block.Flags_Options & flagUnitFahrenheit);
    expectArrows(rowSetTemp, 68, 59, 85);
    expectArrows(rowCalibration, 5, -99, 99);
    expectArrows(kRowCoolOffMin, 28, 25, 59);
    expectArrows(kRowCoolOn, 39, 35, 65);
    expectArrows(kRowHeatOff, 126, 86, 131);
    expectArrows(kRowHeatOn, 118, 81, 122);
    expectArrows(kRowHysteresis, 14, 2, 15);
    EXPECT_STREQ(row(rowSetTemp).unit, "\xB0" "F");
    EXPECT_STREQ(row(kRowHeatOn).unit, "\xB0" "F");
    EXPECT_STREQ(row(rowCalibration).unit, "x 0,1\xB0" "F");
    EXPECT_STREQ(row(rowSetTemp).defaultText, "68");
    EXPECT_STREQ(row(kRowCoolOffMin).defaultText, "28");
    EXPECT_STREQ(row(kRowHysteresis).defaultText, "14");

    kFormGatherAll(form);
    EXPECT_EQ(checkKParameters(form.block).failureNumber, 0);

    chooseUnit(0);
    EXPECT_EQ(row(rowSetTemp).value, 20);
    EXPECT_EQ(row(rowCalibration).value, 2);   // 3 -> 5 -> 2
    EXPECT_EQ(row(kRowCoolOffMin).value, -2);
    EXPECT_EQ(row(kRowHysteresis).value, 8);
    EXPECT_EQ(form.block.RoomCal_C, 2);
    EXPECT_EQ(form.block.RoomCal_F, 5);
}

TEST_F(KConfigFormTest, ChoosingTheUnitShownChangesNothing)
{
    kFormLoadDefaults(form);
    row(kRowHeatOn).value = 30;
    chooseUnit(0);
    EXPECT_EQ(row(kRowHeatOn).value, 30);
    EXPECT_EQ(form.block.HeatOn_C, 48);
}

TEST_F(KConfigFormTest, BlowerTypesShowTheirGroup)
{
    kFormLoadDefaults(form);
    chooseType(blowerTypeEcm);
    expectLevels({30, 40, 50, 60, 100});
    EXPECT_EQ(form.view.groupShown, 2);
    EXPECT_EQ(blowerEntryCount(form.view.typeShown), 1);
    EXPECT_STREQ(blowerEntryName(form.view.typeShown, 0), "ECM");
    EXPECT_EQ(row(rowBlowerPowerAt).value, 0);
    EXPECT_TRUE(row(rowBlowerLevel1).enabled);
    EXPECT_STREQ(row(rowBlowerLevel1 + 2).defaultText, "50");

    chooseType(blowerTypeSilencer);
    expectLevels({30, 40, 60, 80, 100});
    EXPECT_STREQ(blowerEntryName(form.view.typeShown, 0), "Silencer");
    EXPECT_FALSE(row(rowBlowerPowerAt).enabled);
    for (int l = 0; l < 5; ++l)
        EXPECT_FALSE(row(rowBlowerLevel1 + l).enabled);
    EXPECT_STREQ(row(rowBlowerLevel1 + 3).defaultText, "80");

    // Back to AC starts at "AC 50Hz".
    chooseType(blowerTypeAc);
    EXPECT_EQ(form.view.groupShown, 0);
    EXPECT_EQ(row(rowBlowerPowerAt).value, 0);
    EXPECT_TRUE(row(rowBlowerLevel5).enabled);
    EXPECT_EQ(form.block.BlowerType, blowerTypeAc);
}

TEST_F(KConfigFormTest, EditedLevelsSurviveGroupAndTypeChanges)
{
    kFormLoadDefaults(form);
    choosePowerAt(1);
    expectLevels({45, 53, 60, 69, 100});
    EXPECT_STREQ(row(rowBlowerLevel1).defaultText, "45");
    row(rowBlowerLevel1).value = 77;
    choosePowerAt(0);
    expectLevels({35, 41, 49, 58, 100});
    EXPECT_EQ(form.block.BlowerLevel[1][0], 77);
    choosePowerAt(1);
    EXPECT_EQ(row(rowBlowerLevel1).value, 77);

    // A unit switch keeps "AC 60Hz" and its edited level.
    row(rowBlowerLevel1 + 1).value = 66;
    chooseUnit(1);
    EXPECT_EQ(row(rowBlowerPowerAt).value, 1);
    EXPECT_EQ(row(rowBlowerLevel1 + 1).value, 66);

    // A type change stores the group it leaves.
    row(rowBlowerLevel5).value = 90;
    chooseType(blowerTypeEcm);
    EXPECT_EQ(form.block.BlowerLevel[1][4], 90);
    EXPECT_EQ(form.block.BlowerLevel[1][1], 66);
}

TEST_F(KConfigFormTest, PowerAtChangesAreIgnoredWhileFilling)
{
    kFormLoadDefaults(form);
    form.view.filling = true;
    choosePowerAt(1);
    EXPECT_EQ(form.view.groupShown, 0);
    expectLevels({35, 41, 49, 58, 100});
    form.view.filling = false;
    row(rowBlowerLevel1).value = 50;
    choosePowerAt(0);   // the group shown: nothing happens
    EXPECT_EQ(form.block.BlowerLevel[0][0], 35);
}

TEST_F(KConfigFormTest, UnknownFlagBitsSurviveFillAndGather)
{
    KParameterBlock b = kDefaultParameters;
    b.Flags_Device = 0xA5A4;    // Device_On clear
    b.Flags_Options = 0x5A5B;   // °F, IR remote, not permanent
    kFormTakeBlock(form, b);
    EXPECT_EQ(row(rowDevice).value, 0);
    EXPECT_EQ(row(rowIrRemote).value, 1);
    EXPECT_EQ(row(rowBlowerPermanent).value, 0);
    kFormGatherAll(form);
    EXPECT_EQ(form.block.Flags_Device, 0xA5A4);
    EXPECT_EQ(form.block.Flags_Options, 0x5A5B);

    row(rowDevice).value = 1;
    row(rowIrRemote).value = 0;
    row(rowBlowerPermanent).value = 1;
    kFormGatherAll(form);
    EXPECT_EQ(form.block.Flags_Device, 0xA5A5);
    EXPECT_EQ(form.block.Flags_Options, 0x5A5D);
}

TEST_F(KConfigFormTest, ValuesFromAFileAreShownAsTheyAre)
{
    KParameterBlock b = kDefaultParameters;
    b.AccessCode = 100;       // only a file or a unit can hold this
    b.SetTemp_C = 40;         // the arrows hold the set temperature in range
    b.OperatingMode = 7;      // no item: the list shows nothing
    b.BlowerSet = 0;          // shows the first item
    kFormTakeBlock(form, b);
    expectArrows(rowAccessCode, 100, 0, 99);
    EXPECT_EQ(row(rowSetTemp).value, 29);
    EXPECT_EQ(row(rowOperatingMode).value, noSelection);
    EXPECT_EQ(row(rowBlowerSet).value, 0);

    kFormGatherAll(form);
    EXPECT_EQ(form.block.OperatingMode, 7);
    EXPECT_EQ(form.block.BlowerSet, 1);
    EXPECT_EQ(form.block.SetTemp_C, 29);
    EXPECT_EQ(form.block.SetTemp_F, 84);
    const CheckResult r = checkKParameters(form.block);
    EXPECT_EQ(kCheckFailureText(r), "Failure 'Access-Code' !  Limits: 0 to 99");
}

TEST_F(KConfigFormTest, UnknownBlowerTypeShowsGroupZeroReadOnlyAndKeepsTheType)
{
    KParameterBlock b = kDefaultParameters;
    b.BlowerType = 5;
    kFormTakeBlock(form, b);
    EXPECT_EQ(row(rowBlowerType).value, noSelection);
    EXPECT_EQ(blowerEntryCount(form.view.typeShown), 0);
    EXPECT_EQ(row(rowBlowerPowerAt).value, noSelection);
    EXPECT_FALSE(row(rowBlowerLevel1).enabled);
    expectLevels({35, 41, 49, 58, 100});
    kFormGatherAll(form);
    EXPECT_EQ(std::memcmp(&form.block, &b, sizeof b), 0);
}
