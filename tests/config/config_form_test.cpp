#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>

#include "app/texts.h"
#include "config/k_config_form.h"
#include "config/m_config_form.h"

namespace {

// A number row as "value min..max unit".
std::string arrows(const FormRow& row)
{
    return std::to_string(row.value) + " " + std::to_string(row.min) + ".." + std::to_string(row.max) + " " +
           (row.unit ? row.unit : "");
}
// Values of some rows, space-separated, "!" after each read-only one.
std::string values(const FormRow* rows, std::initializer_list<int> which)
{
    std::string shown;
    for (int r : which) {
        if (!shown.empty())
            shown += ' ';
        shown += std::to_string(rows[r].value);
        if (!rows[r].enabled)
            shown += '!';
    }
    return shown;
}
// The five level rows.
std::string levels(const FormRow* rows)
{
    return values(rows, {rowBlowerLevel1, rowBlowerLevel1 + 1, rowBlowerLevel1 + 2, rowBlowerLevel1 + 3, rowBlowerLevel5});
}
// A block as a completed read or a loaded file hands it over.
template <class Block>
const unsigned char* bytesOf(const Block& block) { return reinterpret_cast<const unsigned char*>(&block); }
// The user's choice in a list, then the window's call for it.
void choose(ConfigForm& f, int r, int value, void (ConfigForm::*changed)()) { f.rows()[r].value = value; (f.*changed)(); }

class ConfigFormTest : public ::testing::Test {
protected:
    KSeriesConfigForm k;
    MSeriesConfigForm m;

    void SetUp() override { selectLanguageTexts(1); k.create(); m.create(); }
};

} // namespace

// Both families run the same rules; each shows a switching temperature and
// its hysteresis, in °C and then in °F.
TEST_F(ConfigFormTest, CreationHoldsTheDefaultsAndAUnitSwitchRederivesTheCopiesAndFlipsBack)
{
    const struct { ConfigForm& form; const void* defaults; int rows[2]; const char* shown[2][2]; } families[] = {
        {k, &kSeriesDefaultParameters, {kSeriesRowCoolOffMin, kSeriesRowHysteresis},
         {{"-2 -4..15 \xB0" "C -2", "8 1..8 x 0,1\xB0" "C 8"}, {"28 25..59 \xB0" "F 28", "14 2..15 x 0,1\xB0" "F 14"}}},
        {m, &mSeriesDefaultParameters, {mSeriesRowHeatWaterOn, mSeriesRowHysteresis},
         {{"45 27..49 \xB0" "C 45", "15 0..99 x 0,1\xB0" "C 15"},
          {"113 81..120 \xB0" "F 113", "27 0..178 x 0,1\xB0" "F 27"}}},
    };
    for (const auto& f : families) {
        FormRow* row = f.form.rows();
        const auto intact = [&] { return std::memcmp(f.form.blockBytes(), f.defaults, f.form.blockSize()) == 0; };
        const auto expectShown = [&](int unit) {   // the defaults column follows the unit too
            for (int i : {0, 1})
                EXPECT_EQ(arrows(row[f.rows[i]]) + " " + row[f.rows[i]].defaultText, f.shown[unit][i]);
        };
        EXPECT_TRUE(intact());
        EXPECT_EQ(levels(row), "35 41 49 58 100");
        EXPECT_STREQ(listItemText(f.form.rowInfo(rowOperatingMode), row[rowOperatingMode].value), "F3");
        expectShown(0);

        f.form.loadDefaults();
        row[f.rows[0]].value += 3;   // choosing the unit already shown gathers nothing
        choose(f.form, rowTemperatureUnit, 0, &ConfigForm::unitChanged);
        EXPECT_TRUE(intact());
        row[f.rows[0]].value -= 3;
        choose(f.form, rowTemperatureUnit, 1, &ConfigForm::unitChanged);
        expectShown(1);
        f.form.gatherAll();
        EXPECT_EQ(f.form.checkFailure(), "");
        choose(f.form, rowTemperatureUnit, 0, &ConfigForm::unitChanged);
        expectShown(0);
    }
}

TEST_F(ConfigFormTest, KBlowerGroupsSurviveUnitAndTypeChangesAndIgnoreFilling)
{
    k.loadDefaults();
    k.formView().filling = true;
    choose(k, rowBlowerPowerAt, 1, &ConfigForm::powerAtChanged);
    EXPECT_EQ(k.formView().groupShown, 0);
    k.formView().filling = false;

    // Leaving a group stores its edits. A unit switch keeps "AC 60Hz" and
    // its edits; the defaults column follows the group shown.
    k.rows()[rowBlowerLevel1 + 2].value = 66;
    choose(k, rowBlowerPowerAt, 1, &ConfigForm::powerAtChanged);
    EXPECT_EQ(k.block.BlowerLevel[0][2], 66);
    k.rows()[rowBlowerLevel1].value = 77;
    choose(k, rowTemperatureUnit, 1, &ConfigForm::unitChanged);
    EXPECT_EQ(k.rows()[rowBlowerPowerAt].value, 1);
    EXPECT_EQ(levels(k.rows()), "77 53 60 69 100");
    EXPECT_STREQ(k.rows()[rowBlowerLevel1 + 1].defaultText, "53");
    // A type change stores the group it leaves.
    k.rows()[rowBlowerLevel5].value = 90;
    choose(k, rowBlowerType, blowerTypeSilencer, &ConfigForm::blowerTypeChanged);
    EXPECT_EQ(k.block.BlowerLevel[1][4], 90);
    EXPECT_EQ(levels(k.rows()), "30! 40! 60! 80! 100!");
    EXPECT_STREQ(k.rows()[rowBlowerLevel1 + 3].defaultText, "80");
}

TEST_F(ConfigFormTest, KBlockValuesWithoutItemsOrOutOfRangeSurviveFillAndGather)
{
    // Saving the untouched creation state takes the lists as they stand.
    k.gatherAll();
    EXPECT_EQ(std::tuple(k.block.Flags_Device & flagDeviceOn, int{k.block.BlowerSet}), std::tuple(0, 1));

    // Device_On clear and unknown bits; °F, IR remote, not permanent; an
    // access code shown as it is; a set temperature the arrows hold in range;
    // a mode with no item (the list shows nothing); set 0 shows the first item.
    KParameterBlock b = kSeriesDefaultParameters;
    b.Flags_Device = 0xA5A4, b.Flags_Options = 0x5A5B, b.AccessCode = 100, b.SetTemp_F = 90;
    b.OperatingMode = 7, b.BlowerSet = 0;
    k.takeBlock(bytesOf(b));
    EXPECT_EQ(values(k.rows(), {rowDevice, rowIrRemote, rowSetTemp, rowOperatingMode, rowBlowerSet}), "0 1 85 -1 0");
    EXPECT_EQ(arrows(k.rows()[rowAccessCode]), "100 0..99 ");
    k.gatherAll();
    const KParameterBlock& g = k.block;
    EXPECT_EQ(std::tuple(g.Flags_Device, g.Flags_Options, g.AccessCode, g.OperatingMode, g.BlowerSet, g.SetTemp_C),
              std::tuple(0xA5A4, 0x5A5B, 100, 7, 1, 29));
    k.rows()[rowDevice].value = k.rows()[rowBlowerPermanent].value = 1;
    k.rows()[rowIrRemote].value = 0;
    k.gatherAll();
    EXPECT_EQ(std::tuple(g.Flags_Device, g.Flags_Options), std::tuple(0xA5A5, 0x5A5D));

    // An unknown blower type shows group 0 read-only and is kept, as is
    // every other byte of the block.
    b = kSeriesDefaultParameters;
    b.BlowerType = 5, b.CanAddress = 200;
    k.takeBlock(bytesOf(b));
    EXPECT_EQ(k.rows()[rowBlowerPowerAt].value, noSelection);
    EXPECT_EQ(levels(k.rows()), "35! 41! 49! 58! 100!");
    k.gatherAll();
    EXPECT_EQ(std::memcmp(&k.block, &b, sizeof b), 0);
}

TEST_F(ConfigFormTest, MListsFlowSwitchCompressorsAndOffsetsGatherIntoTheBlock)
{
    EXPECT_EQ(std::string(m.rows()[mSeriesRowRelay3].defaultText) + m.rows()[rowBlowerSet].defaultText, "4Auto");
    EXPECT_STREQ(listItemText(m.rowInfo(rowBlowerSet), m.rows()[rowBlowerSet].value), "Off");
    // An offset is a difference: no 32 on the way to °F and back.
    m.loadDefaults();
    m.rows()[mSeriesRowOffset1 + 2].value = 8;
    choose(m, rowTemperatureUnit, 1, &ConfigForm::unitChanged);
    EXPECT_EQ(arrows(m.rows()[mSeriesRowOffset1 + 2]), "14 0..99 x 0,1\xB0" "F");
    choose(m, rowTemperatureUnit, 0, &ConfigForm::unitChanged);
    EXPECT_EQ(arrows(m.rows()[mSeriesRowOffset1 + 2]), "8 0..55 x 0,1\xB0" "C");

    // Flow switch both NO and NC: no valid setting; relay item 9: none, kept.
    MParameterBlock b = mSeriesDefaultParameters;
    b.CompressorEnable = 0xC0 | 0x2D, b.BlowerSet = 0, b.Relay[1] = 9, b.Dehum_Cycles = 3;
    b.Flags_Options = 0xFF00 | flagFlowSwitchNo | flagFlowSwitchNc | flagIrRemote;
    m.takeBlock(bytesOf(b));
    EXPECT_EQ(values(m.rows(), {mSeriesRowCompressor1, mSeriesRowCompressor1 + 1, mSeriesRowCompressor1 + 5,
                                mSeriesRowFlowSwitch, rowBlowerSet, mSeriesRowRelay1 + 1, rowDehumCycles}),
              "1 0 1 -1 0 -1 2");
    m.gatherAll();   // bits 6 and 7 of the compressors cleared
    const MParameterBlock& g = m.block;
    EXPECT_EQ(std::tuple(g.CompressorEnable, g.Flags_Options, g.Relay[1], g.Dehum_Cycles),
              std::tuple(0x2D, 0xFF00 | flagIrRemote, 9, 3));

    m.rows()[mSeriesRowCompressor1 + 2].value = 0;
    m.rows()[mSeriesRowFlowSwitch].value = 2;   // "NC"
    m.rows()[rowBlowerSet].value = 6;
    m.gatherAll();
    EXPECT_EQ(std::tuple(g.CompressorEnable, g.Flags_Options & 0x18, g.BlowerSet), std::tuple(0x29, 0x10, 6));
    m.rows()[mSeriesRowFlowSwitch].value = 1;   // "NO"
    m.gatherAll();
    EXPECT_EQ(g.Flags_Options & 0x18, 0x08);
}
