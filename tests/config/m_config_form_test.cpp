#include "config/m_config_form.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/texts.h"
#include "config/config_file.h"
#include "config/m_parameter_check.h"
#include "temp_dir.h"

namespace {

class MConfigFormTest : public ::testing::Test {
protected:
    MConfigForm form;

    void SetUp() override
    {
        selectLanguageTexts(1);
        mFormCreate(form);
    }

    FormRow& row(int r) { return form.row[r]; }

    void chooseUnit(int unit)
    {
        row(rowTemperatureUnit).value = unit;
        mFormUnitChanged(form);
    }
};

} // namespace

TEST_F(MConfigFormTest, CreationState)
{
    EXPECT_EQ(std::memcmp(&form.block, &mDefaultParameters, sizeof form.block), 0);
    EXPECT_EQ(row(mRowHysteresis).value, 15);
    EXPECT_EQ(row(mRowHysteresis).max, 99);
    EXPECT_EQ(row(mRowOffset1).max, 55);
    EXPECT_EQ(row(mRowFirstStart).value, 10);
    EXPECT_EQ(row(mRowFirstStart).max, 200);
    // Starts at 10 beside its default 9.
    EXPECT_EQ(row(mRowComprStart).value, 10);
    EXPECT_EQ(row(mRowComprStart).max, 60);
    EXPECT_STREQ(row(mRowComprStart).defaultText, "9");
    EXPECT_STREQ(row(mRowComprStart).unit, "s");
    for (int i = 0; i < compressorCount; ++i) {
        EXPECT_EQ(row(mRowCompressor1 + i).value, 1);
        EXPECT_STREQ(row(mRowCompressor1 + i).defaultText, "On");
    }
    EXPECT_EQ(row(mRowRelay1).value, 0);
    EXPECT_EQ(row(mRowRelay3).value, 0);
    EXPECT_STREQ(row(mRowRelay1 + 1).defaultText, "3");
    EXPECT_STREQ(row(mRowRelay3).defaultText, "4");
    EXPECT_EQ(row(mRowFlowSwitch).value, 0);
    EXPECT_STREQ(row(mRowFlowSwitch).defaultText, "Off");
    EXPECT_EQ(row(rowBlowerSet).value, 0);
    EXPECT_STREQ(listItemText(mRowInfo(rowBlowerSet), 0), "Off");
    EXPECT_STREQ(row(rowBlowerSet).defaultText, "Auto");
    EXPECT_STREQ(listItemText(mRowInfo(rowOperatingMode), row(rowOperatingMode).value), "F3");
    EXPECT_EQ(mRowInfo(mRowOffsetHeading).kind, RowKind::heading);

    selectLanguageTexts(0);
    mFormRefreshDefaults(form);
    EXPECT_STREQ(row(mRowFlowSwitch).defaultText, "Aus");
    EXPECT_STREQ(row(mRowCompressor6).defaultText, "Ein");
    // "Blower Set" items are the same in both languages.
    EXPECT_STREQ(listItemText(mRowInfo(rowBlowerSet), 0), "Off");
    selectLanguageTexts(1);
}

TEST_F(MConfigFormTest, FahrenheitShowsDerivedDifferencesAndWiderArrows)
{
    mFormLoadDefaults(form);
    row(mRowOffset1 + 2).value = 8;
    chooseUnit(1);
    EXPECT_EQ(row(mRowHysteresis).value, 27);
    EXPECT_EQ(row(mRowHysteresis).max, 178);
    EXPECT_EQ(row(mRowOffset1 + 2).value, 14);
    for (int i = 0; i < compressorCount; ++i)
        EXPECT_EQ(row(mRowOffset1 + i).max, 99);
    EXPECT_STREQ(row(mRowOffset1).unit, "x 0,1\xB0" "F");
    const int water[] = {39, 45, 113, 122};
    const char* waterDefaults[] = {"39", "45", "113", "122"};
    for (int i = 0; i < mWaterTempCount; ++i) {
        EXPECT_EQ(row(mRowCoolWaterOff + i).value, water[i]);
        EXPECT_STREQ(row(mRowCoolWaterOff + i).defaultText, waterDefaults[i]);
        EXPECT_STREQ(row(mRowCoolWaterOff + i).unit, "\xB0" "F");
    }
    EXPECT_EQ(row(mRowHeatWaterOn).min, 81);
    EXPECT_EQ(row(mRowHeatWaterOn).max, 120);
    EXPECT_STREQ(row(mRowHysteresis).defaultText, "27");
    EXPECT_EQ(form.block.CompOffset[2][0], 8);
    EXPECT_EQ(form.block.CompOffset[2][1], 14);

    mFormGatherAll(form);
    EXPECT_EQ(checkMParameters(form.block).failureNumber, 0);

    chooseUnit(0);
    EXPECT_EQ(row(mRowHysteresis).value, 15);
    EXPECT_EQ(row(mRowOffset1 + 2).value, 8);
    EXPECT_EQ(row(mRowHysteresis).max, 99);
}

TEST_F(MConfigFormTest, FlowSwitchIsOneSettingInTwoBits)
{
    TempDir dir;
    mFormLoadDefaults(form);
    row(mRowFlowSwitch).value = 2;   // "NC"
    mFormGatherAll(form);
    ASSERT_EQ(checkMParameters(form.block).failureNumber, 0);
    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mConfigFile, &form.block), 0);
    const auto bytes = readBytes(dir / "m.cbf");
    ASSERT_EQ(bytes.size(), 100u);
    EXPECT_EQ(bytes[24 + 4] & 0x18, 0x10);

    row(mRowFlowSwitch).value = 1;   // "NO"
    mFormGatherGeneral(form);
    EXPECT_EQ(form.block.Flags_Options & 0x18, 0x08);

    // Both bits: no selection, and "Off" at the next gather; other bits stay.
    MParameterBlock b = mDefaultParameters;
    b.Flags_Options = 0xFF00 | flagFlowSwitchNo | flagFlowSwitchNc | flagIrRemote;
    mFormTakeBlock(form, b);
    EXPECT_EQ(row(mRowFlowSwitch).value, noSelection);
    mFormGatherAll(form);
    EXPECT_EQ(form.block.Flags_Options, 0xFF00 | flagIrRemote);
}

TEST_F(MConfigFormTest, CompressorListsRebuildTheEnableByte)
{
    MParameterBlock b = mDefaultParameters;
    b.CompressorEnable = 0xC0 | 0x2D;
    mFormTakeBlock(form, b);
    const int shown[] = {1, 0, 1, 1, 0, 1};
    for (int i = 0; i < compressorCount; ++i)
        EXPECT_EQ(row(mRowCompressor1 + i).value, shown[i]) << i;
    mFormGatherAll(form);
    EXPECT_EQ(form.block.CompressorEnable, 0x2D);   // bits 6 and 7 cleared

    row(mRowCompressor1 + 2).value = 0;
    mFormGatherGeneral(form);
    EXPECT_EQ(form.block.CompressorEnable, 0x29);
}

TEST_F(MConfigFormTest, ListsStoreTheirIndex)
{
    MParameterBlock b = mDefaultParameters;
    b.BlowerSet = 0;
    b.OperatingMode = 5;
    b.Relay[0] = 5;
    b.Relay[1] = 9;    // no such item: shown as nothing, kept
    b.Dehum_Cycles = 3;
    mFormTakeBlock(form, b);
    EXPECT_EQ(row(rowBlowerSet).value, 0);
    EXPECT_STREQ(listItemText(mRowInfo(rowOperatingMode), row(rowOperatingMode).value), "F7");
    EXPECT_EQ(row(mRowRelay1).value, 5);
    EXPECT_EQ(row(mRowRelay1 + 1).value, noSelection);
    EXPECT_EQ(row(rowDehumCycles).value, 2);

    row(rowBlowerSet).value = 6;
    row(mRowRelay3).value = 1;
    mFormGatherAll(form);
    EXPECT_EQ(form.block.BlowerSet, 6);
    EXPECT_EQ(form.block.Relay[0], 5);
    EXPECT_EQ(form.block.Relay[1], 9);
    EXPECT_EQ(form.block.Relay[2], 1);
    EXPECT_EQ(form.block.Dehum_Cycles, 3);
}

TEST_F(MConfigFormTest, TimesAndOffsetsFromTheBoxes)
{
    mFormLoadDefaults(form);
    row(mRowFirstStart).value = 201;
    row(mRowComprStart).value = 30;
    row(mRowOffset6).value = 56;
    mFormGatherAll(form);
    EXPECT_EQ(form.block.Time_FirstStart, 201);
    EXPECT_EQ(form.block.Time_ComprStart, 30);
    EXPECT_EQ(form.block.CompOffset[5][1], 101);
    EXPECT_EQ(checkMParameters(form.block).failureNumber, 12);
    EXPECT_EQ(mCheckFailureText(checkMParameters(form.block)),
              "Fehler 'Temperature offset compressor' !  Limits: 0 to 55");
}
