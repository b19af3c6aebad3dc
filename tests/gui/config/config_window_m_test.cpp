#include "config_window_fixture.h"

#include <cstring>

#include "app/layout.h"
#include "app/window_table.h"
#include "config/config_file.h"
#include "config/m_config_form.h"
#include "config/m_parameters.h"

namespace {

void writeMFile(const std::filesystem::path& path, const MParameterBlock& block)
{
    std::vector<unsigned char> image(configFileSize(mConfigFile));
    buildConfigImage(mConfigFile, &block, image.data());
    writeBytes(path, image);
}

MParameterBlock savedMBlock(const std::filesystem::path& path)
{
    MParameterBlock block;
    std::memset(&block, 0, sizeof block);
    const auto bytes = readBytes(path);
    if (bytes.size() == 100)
        std::memcpy(&block, bytes.data() + 24, sizeof block);
    return block;
}

} // namespace

TEST_F(ConfigWindowTest, MOpensWithoutUnitInCreationState)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    screenshot("m-english-created");
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Control Unit found");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(windowText(window()), "Configuration:");

    EXPECT_EQ(listText(rowOperatingMode), "F3");
    EXPECT_EQ(listCount(rowOperatingMode), 6);
    EXPECT_EQ(listText(rowBlowerSet), "Off");
    EXPECT_EQ(rowText(rowBlowerSet, partDefault), "Auto");
    EXPECT_EQ(numberValue(mRowHysteresis), 15);
    int min = -1, max = -1;
    arrowRange(mRowHysteresis, min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 99);
    // Both compressor times start at 10, beside their defaults 10 and 9.
    EXPECT_EQ(numberValue(mRowFirstStart), 10);
    EXPECT_EQ(rowText(mRowFirstStart, partDefault), "10");
    EXPECT_EQ(numberValue(mRowComprStart), 10);
    EXPECT_EQ(rowText(mRowComprStart, partDefault), "9");
    EXPECT_EQ(rowText(mRowComprStart, partUnit), "s");
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(listText(mRowCompressor1 + i), "On") << i;
        EXPECT_EQ(rowText(mRowCompressor1 + i, partDefault), "On") << i;
    }
    const char* relayDefaults[3] = {"0", "3", "4"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(listText(mRowRelay1 + i), "0");
        EXPECT_EQ(rowText(mRowRelay1 + i, partDefault), relayDefaults[i]);
    }
    EXPECT_EQ(rowText(mRowRelay1, partLabel), "Relay 1");
    EXPECT_EQ(listText(mRowFlowSwitch), "Off");
    EXPECT_EQ(rowText(mRowFlowSwitch, partDefault), "Off");
    EXPECT_EQ(control(mRowFlowSwitch, partLabel), nullptr);
    EXPECT_EQ(rowText(mRowOffsetHeading, partLabel), "Switch-on/off offset:");
    EXPECT_EQ(numberValue(mRowCoolWaterOff), 4);
    EXPECT_EQ(rowText(mRowHeatWaterOff, partDefault), "50");

    RECT close;
    GetWindowRect(GetDlgItem(window(), configButtonClose), &close);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(close.left, 213 * appState.charWidth / 2);
    EXPECT_EQ(close.top, 33 * appState.lineHeight);
    RECT legend;
    GetWindowRect(GetDlgItem(window(), configLegendId), &legend);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&legend), 2);
    EXPECT_EQ(legend.top, 46 * appState.lineHeight);
}

TEST_F(ConfigWindowTest, MGermanTexts)
{
    ASSERT_NE(openAs(selectionIdGerman, selectionIdM), nullptr);
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Keine Steuerung gefunden");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(listText(mRowFlowSwitch), "Aus");
    EXPECT_EQ(rowText(mRowCompressor1, partDefault), "Ein");
    EXPECT_EQ(rowText(mRowRelay1, partLabel), "Relais 1");
    EXPECT_EQ(windowText(GetDlgItem(window(), configLegendId)), "Werkseinstellungen");
    screenshot("21-configuration-m");
}

TEST_F(ConfigWindowTest, MTemperatureUnitSwitchConvertsDifferencesAndWater)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    clickButton(configButtonDefaults);
    clickArrow(mRowOffset1 + 2, true, 10);   // 1.0 °C
    clickArrow(mRowOffset1 + 5, true, 60);
    EXPECT_EQ(numberValue(mRowOffset1 + 5), 55);

    chooseItem(rowTemperatureUnit, 1);
    EXPECT_EQ(numberValue(mRowHysteresis), 27);
    int min = -1, max = -1;
    arrowRange(mRowHysteresis, min, max);
    EXPECT_EQ(max, 178);
    EXPECT_EQ(numberValue(mRowOffset1 + 2), 18);
    EXPECT_EQ(numberValue(mRowOffset1 + 5), 99);
    arrowRange(mRowOffset1, min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 99);
    EXPECT_EQ(rowText(mRowOffset1, partUnit), "x 0,1\xB0" "F");
    const int water[4] = {39, 45, 113, 122};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(numberValue(mRowCoolWaterOff + i), water[i]) << i;
        EXPECT_EQ(rowText(mRowCoolWaterOff + i, partDefault), std::to_string(water[i])) << i;
    }
    EXPECT_EQ(rowText(mRowHysteresis, partDefault), "27");
    arrowRange(mRowHeatWaterOn, min, max);
    EXPECT_EQ(min, 81);
    EXPECT_EQ(max, 120);

    chooseItem(rowTemperatureUnit, 0);
    EXPECT_EQ(numberValue(mRowHysteresis), 15);
    EXPECT_EQ(numberValue(mRowOffset1 + 2), 10);
    EXPECT_EQ(numberValue(mRowCoolWaterOn), 7);
    arrowRange(mRowOffset1, min, max);
    EXPECT_EQ(max, 55);
}

TEST_F(ConfigWindowTest, MCompressorsRelaysAndFlowSwitchReachTheFile)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    takeMessageBoxes();
    clickButton(configButtonDefaults);
    chooseItem(mRowFlowSwitch, 2);      // NC
    chooseItem(mRowCompressor1 + 2, 0); // compressor 3 off
    chooseItem(mRowRelay1 + 1, 5);
    chooseItem(rowBlowerType, 1);       // ECM
    clickArrow(rowBlowerLevel1, true, 2);
    clickArrow(mRowComprStart, true, 1);

    const auto path = dir_.path() / "chiller.cbf";
    answerFileDialogs(path.string());
    clickButton(configButtonSaveFile);
    EXPECT_TRUE(takeMessageBoxes().empty());
    const auto bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 100u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 24), "CUM1-Configurationfile");
    const MParameterBlock saved = savedMBlock(path);
    EXPECT_EQ(saved.Flags_Options & (flagFlowSwitchNo | flagFlowSwitchNc), flagFlowSwitchNc);
    EXPECT_EQ(saved.CompressorEnable, 0x3B);
    EXPECT_EQ(saved.Relay[0], 0);
    EXPECT_EQ(saved.Relay[1], 5);
    EXPECT_EQ(saved.Relay[2], 4);
    EXPECT_EQ(saved.BlowerType, 1);
    EXPECT_EQ(saved.BlowerLevel[2][0], 32);
    EXPECT_EQ(saved.Time_ComprStart, 10);
    EXPECT_EQ(saved.BlowerSet, 6);

    // A block with both flow-switch bits shows no choice and saves as "Off";
    // bits 6 and 7 of the compressor byte do not survive either.
    MParameterBlock odd = saved;
    odd.Flags_Options = static_cast<std::uint16_t>(odd.Flags_Options | flagFlowSwitchNo | flagFlowSwitchNc | 0x8000);
    odd.CompressorEnable = 0xC1;
    writeMFile(path, odd);
    clickButton(configButtonLoadFile);
    EXPECT_TRUE(takeMessageBoxes().empty());
    EXPECT_EQ(listIndex(mRowFlowSwitch), -1);
    EXPECT_EQ(listText(mRowCompressor1), "On");
    EXPECT_EQ(listText(mRowCompressor1 + 1), "Off");
    EXPECT_EQ(listText(rowBlowerType), "ECM");
    EXPECT_EQ(numberValue(rowBlowerLevel1), 32);
    const auto second = dir_.path() / "again.cbf";
    answerFileDialogs(second.string());
    clickButton(configButtonSaveFile);
    const MParameterBlock again = savedMBlock(second);
    EXPECT_EQ(again.Flags_Options, 0x8000);
    EXPECT_EQ(again.CompressorEnable, 0x01);
}

TEST_F(ConfigWindowTest, MCheckFailuresAndFamilyFileBuffers)
{
    MParameterBlock block = mDefaultParameters;
    block.CoolWaterOn_C = block.CoolWaterOff_C;
    const auto relation = dir_.path() / "relation.cbf";
    writeMFile(relation, block);
    block = mDefaultParameters;
    block.BlowerLevel[3][4] = 20;
    const auto level = dir_.path() / "level.cbf";
    writeMFile(level, block);

    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    takeMessageBoxes();
    answerFileDialogs(relation.string());
    clickButton(configButtonLoadFile);
    clickButton(configButtonProgram);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(boxes[1].text, "Fehler 'Relation Switch off temperature cooling water < Switch on temperature "
                             "cooling water' !");
    EXPECT_EQ(boxes[1].caption, "Configuration:");

    answerFileDialogs(level.string());
    clickButton(configButtonLoadFile);
    clickButton(configButtonSaveFile);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Fehler 'Blower Level\t' !  Limits: 30 to 100");
    const char* mBuffer = recordedDialogs().back().fileBuffer;

    // The K window has a file name of its own.
    clickButton(configButtonClose);
    pumpUntil([this] { return appState.featureOpen == 0; });
    menuCommand(commandSelection);
    confirmSelection(selectionIdEnglish, selectionIdK);
    menuCommand(commandConfiguration);
    window_ = childOfClass(main(), "Configuration_CU0");
    ASSERT_NE(window_, nullptr);
    answerFileDialogs("");
    clickButton(configButtonLoadFile);
    EXPECT_NE(recordedDialogs().back().fileBuffer, mBuffer);
    EXPECT_NE(recordedDialogs().back().offered, level.string());
}
