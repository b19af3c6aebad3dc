#include "config_window_fixture.h"

#include <cstring>

#include "app/layout.h"
#include "app/window_table.h"
#include "config/config_file.h"
#include "config/k_config_form.h"
#include "config/k_parameters.h"

namespace {

constexpr UINT iconMask = MB_ICONMASK;

void writeKFile(const std::filesystem::path& path, const KParameterBlock& block)
{
    std::vector<unsigned char> image(configFileSize(kConfigFile));
    buildConfigImage(kConfigFile, &block, image.data());
    writeBytes(path, image);
}

} // namespace

TEST_F(ConfigWindowTest, KOpensWithoutUnitInCreationStateAndCloseRestoresTheMenu)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    screenshot("20-configuration-k");

    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Control Unit found");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(windowText(window()), "Configuration:");

    // Lists on their first item, "Operating mode" on "F3"; arrows at their
    // °C defaults; the defaults column beside them.
    EXPECT_EQ(listText(rowDevice), "Off");
    EXPECT_EQ(rowText(rowDevice, partDefault), "On");
    EXPECT_EQ(listText(rowTemperatureUnit), "\xB0" "C");
    EXPECT_EQ(listText(rowOperatingMode), "F3");
    EXPECT_EQ(listCount(rowOperatingMode), 4);
    EXPECT_EQ(listText(rowBlowerSet), "1");
    EXPECT_EQ(rowText(rowBlowerSet, partDefault), "Auto");
    EXPECT_EQ(listText(rowBlowerPowerAt), "AC 50Hz");
    EXPECT_EQ(control(rowBlowerPowerAt, partDefault), nullptr);
    EXPECT_EQ(numberValue(rowSetTemp), 20);
    EXPECT_EQ(rowText(rowSetTemp, partUnit), "\xB0" "C");
    int min = 0, max = 0;
    arrowRange(rowSetTemp, min, max);
    EXPECT_EQ(min, 15);
    EXPECT_EQ(max, 29);
    EXPECT_EQ(numberValue(kRowCoolOffMin), -2);
    EXPECT_EQ(rowText(kRowCoolOffMin, partDefault), "-2");
    EXPECT_EQ(numberValue(kRowTimeBelowOff), 300);
    EXPECT_EQ(rowText(kRowTimeBelowOff, partUnit), "x 1s");
    EXPECT_EQ(rowText(kRowHysteresis, partUnit), "x 0,1\xB0" "C");
    const int levels[5] = {35, 41, 49, 58, 100};
    for (int l = 0; l < 5; ++l) {
        EXPECT_EQ(numberValue(rowBlowerLevel1 + l), levels[l]);
        EXPECT_EQ(rowText(rowBlowerLevel1 + l, partDefault), std::to_string(levels[l]));
    }
    EXPECT_EQ(rowText(rowCalibration, partLabel), "Calibration room temperatur sensor");
    EXPECT_EQ(windowText(GetDlgItem(window(), configLegendId)), "Default Settings");
    EXPECT_EQ(windowText(GetDlgItem(window(), configButtonProgram)), "Save Changes");
    // The value boxes are static texts: no typing into them.
    char className[32] = {};
    GetClassNameA(control(rowAccessCode, partValue), className, sizeof className);
    EXPECT_STREQ(className, "Static");

    // Cells: the Close button at x 82, y 39; the defaults column green.
    RECT close;
    GetWindowRect(GetDlgItem(window(), configButtonClose), &close);
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&close), 2);
    EXPECT_EQ(close.left, 82 * appState.charWidth);
    EXPECT_EQ(close.top, 39 * appState.lineHeight);
    EXPECT_EQ(close.bottom - close.top, 7 * appState.lineHeight / 4);
    HDC dc = GetDC(window());
    const LRESULT brush = SendMessageA(window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control(rowAccessCode, partDefault)));
    EXPECT_EQ(GetTextColor(dc), RGB(70, 140, 70));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(WHITE_BRUSH));
    ReleaseDC(window(), dc);

    for (int id : menuItemIds)
        EXPECT_TRUE(menuItemGrey(id)) << id;
    for (int id = configButtonRead; id <= configButtonClose; ++id)
        EXPECT_TRUE(buttonEnabled(id)) << id;

    clickButton(configButtonClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_FALSE(IsWindow(window()));
    EXPECT_EQ(appState.featureOpen, 0);
    EXPECT_FALSE(menuItemGrey(commandConfiguration));
    EXPECT_FALSE(menuItemGrey(commandSelection));
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(ConfigWindowTest, KGermanTextsAndDefaultsLoad)
{
    ASSERT_NE(openAs(selectionIdGerman, selectionIdK), nullptr);
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Keine Steuerung gefunden");
    EXPECT_EQ(windowText(window()), "Konfiguration:");
    EXPECT_EQ(listText(rowDevice), "Aus");
    EXPECT_EQ(rowText(rowDevice, partDefault), "Ein");
    EXPECT_EQ(rowText(rowBlowerPermanent, partLabel), "Gebl\xE4se l\xE4uft permanent");
    EXPECT_EQ(windowText(GetDlgItem(window(), configButtonProgram)), "\xC4nderungen sichern");
    screenshot("k-german-created");

    // Load Defaults fills the lists from the default record; nothing is sent.
    clickButton(configButtonDefaults);
    EXPECT_EQ(listText(rowDevice), "Ein");
    EXPECT_EQ(listText(rowBlowerSet), "Auto");
    EXPECT_EQ(listText(rowDehumCycles), "1");
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(ConfigWindowTest, KArrowsMoveValuesOnlyWithinTheirLimits)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    clickArrow(rowAccessCode, true, 20);
    EXPECT_EQ(numberValue(rowAccessCode), 99);
    clickArrow(rowAccessCode, false, 2);
    EXPECT_EQ(numberValue(rowAccessCode), 97);
    clickArrow(rowSetTemp, false, 10);
    EXPECT_EQ(numberValue(rowSetTemp), 15);
    clickArrow(rowCalibration, false, 60);
    EXPECT_EQ(numberValue(rowCalibration), -55);
    clickArrow(kRowHeatOn, true, 5);
    EXPECT_EQ(numberValue(kRowHeatOn), 50);
    clickArrow(kRowTimeBelowOff, true, 3);
    EXPECT_EQ(numberValue(kRowTimeBelowOff), 303);
    clickArrow(rowLowVolt230, false, 40);
    EXPECT_EQ(numberValue(rowLowVolt230), 180);
    // The defaults column does not follow the edits.
    EXPECT_EQ(rowText(rowAccessCode, partDefault), "83");
}

TEST_F(ConfigWindowTest, KTemperatureUnitSwitchConvertsBothWays)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    clickButton(configButtonDefaults);
    clickArrow(rowCalibration, true, 3);
    clickArrow(kRowCoolOff, true, 1);   // 1 °C

    chooseItem(rowTemperatureUnit, 1);
    EXPECT_EQ(numberValue(rowSetTemp), 68);
    EXPECT_EQ(rowText(rowSetTemp, partUnit), "\xB0" "F");
    EXPECT_EQ(rowText(rowSetTemp, partDefault), "68");
    int min = 0, max = 0;
    arrowRange(rowSetTemp, min, max);
    EXPECT_EQ(min, 59);
    EXPECT_EQ(max, 85);
    EXPECT_EQ(numberValue(rowCalibration), 5);
    EXPECT_EQ(rowText(rowCalibration, partUnit), "x 0,1\xB0" "F");
    EXPECT_EQ(numberValue(kRowCoolOffMin), 28);
    EXPECT_EQ(numberValue(kRowCoolOff), 34);
    EXPECT_EQ(rowText(kRowCoolOffMin, partDefault), "28");
    arrowRange(kRowHeatOff, min, max);
    EXPECT_EQ(min, 86);
    EXPECT_EQ(max, 131);
    EXPECT_EQ(numberValue(kRowHysteresis), 14);
    arrowRange(kRowHysteresis, min, max);
    EXPECT_EQ(min, 2);
    EXPECT_EQ(max, 15);

    // Choosing the unit already shown changes nothing.
    clickArrow(rowSetTemp, true, 3);
    chooseItem(rowTemperatureUnit, 1);
    EXPECT_EQ(numberValue(rowSetTemp), 71);

    chooseItem(rowTemperatureUnit, 0);
    EXPECT_EQ(numberValue(rowSetTemp), 22);
    EXPECT_EQ(numberValue(rowCalibration), 2);
    EXPECT_EQ(numberValue(kRowCoolOffMin), -2);
    EXPECT_EQ(numberValue(kRowCoolOff), 1);
    EXPECT_EQ(numberValue(kRowHysteresis), 8);
    EXPECT_EQ(rowText(rowSetTemp, partDefault), "20");
    EXPECT_EQ(rowText(kRowHeatOff, partUnit), "\xB0" "C");
}

TEST_F(ConfigWindowTest, KBlowerTypeAndGroupSwitchingKeepsEditedLevels)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    clickButton(configButtonDefaults);

    chooseItem(rowBlowerPowerAt, 1);   // AC 60Hz
    EXPECT_EQ(numberValue(rowBlowerLevel1), 45);
    EXPECT_EQ(rowText(rowBlowerLevel1, partDefault), "45");
    clickArrow(rowBlowerLevel1, true, 2);
    chooseItem(rowBlowerPowerAt, 0);
    EXPECT_EQ(numberValue(rowBlowerLevel1), 35);
    chooseItem(rowBlowerPowerAt, 1);
    EXPECT_EQ(numberValue(rowBlowerLevel1), 47);

    clickArrow(rowBlowerLevel5, false, 1);   // AC 60Hz level 5: 100
    EXPECT_EQ(numberValue(rowBlowerLevel5), 99);
    chooseItem(rowBlowerType, 1);   // ECM
    ASSERT_EQ(listCount(rowBlowerPowerAt), 1);
    EXPECT_EQ(listText(rowBlowerPowerAt), "ECM");
    const int ecm[5] = {30, 40, 50, 60, 100};
    for (int l = 0; l < 5; ++l)
        EXPECT_EQ(numberValue(rowBlowerLevel1 + l), ecm[l]);
    EXPECT_TRUE(enabled(rowBlowerLevel1, partArrows));

    chooseItem(rowBlowerType, 2);   // Silencer: shown, not editable
    EXPECT_EQ(listText(rowBlowerPowerAt), "Silencer");
    EXPECT_EQ(numberValue(rowBlowerLevel1 + 3), 80);
    EXPECT_EQ(rowText(rowBlowerLevel1 + 3, partDefault), "80");
    EXPECT_FALSE(enabled(rowBlowerLevel1 + 3, partValue));
    EXPECT_FALSE(enabled(rowBlowerLevel1 + 3, partArrows));
    EXPECT_FALSE(enabled(rowBlowerPowerAt, partValue));

    // Back to AC: "AC 50Hz" first, the 60 Hz edits still there.
    chooseItem(rowBlowerType, 0);
    EXPECT_TRUE(enabled(rowBlowerLevel1 + 3, partArrows));
    EXPECT_EQ(listText(rowBlowerPowerAt), "AC 50Hz");
    EXPECT_EQ(numberValue(rowBlowerLevel1), 35);
    chooseItem(rowBlowerPowerAt, 1);
    EXPECT_EQ(numberValue(rowBlowerLevel1), 47);
    EXPECT_EQ(numberValue(rowBlowerLevel5), 99);
}

TEST_F(ConfigWindowTest, KCheckFailureStopsProgramAndSave)
{
    KParameterBlock block = kDefaultParameters;
    block.AccessCode = 100;
    const auto path = dir_.path() / "access.cbf";
    writeKFile(path, block);

    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    takeMessageBoxes();
    answerFileDialogs(path.string());
    clickButton(configButtonLoadFile);
    EXPECT_EQ(numberValue(rowAccessCode), 100);
    EXPECT_TRUE(takeMessageBoxes().empty());

    clickButton(configButtonProgram);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Make sure that display of the AC-unit is set to \n"
                             "standard mode showing room temperature when saving changes.");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[1].text, "Failure 'Access-Code' !  Limits: 0 to 99");
    EXPECT_EQ(boxes[1].caption, "Configuration:");
    EXPECT_EQ(boxes[1].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    // Nothing was sent: no link title, every button usable.
    EXPECT_EQ(windowText(window()), "Configuration:");
    EXPECT_TRUE(buttonEnabled(configButtonRead));

    // Save shows the same failure and opens no dialog.
    recordedDialogs().clear();
    clickButton(configButtonSaveFile);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Failure 'Access-Code' !  Limits: 0 to 99");
    EXPECT_TRUE(recordedDialogs().empty());

    // A relation failure carries no limits.
    clickArrow(rowAccessCode, false);
    clickArrow(kRowHeatOn, true, 2);    // 50
    clickArrow(kRowHeatOff, false, 2);  // 50: equal fails
    clickButton(configButtonSaveFile);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Failure 'Relation Switch off temperature heating >= Switch on temperature heating' !");
}

TEST_F(ConfigWindowTest, KSaveAndLoadRoundTrip)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    takeMessageBoxes();
    clickButton(configButtonDefaults);
    clickArrow(rowCanAddress, true, 4);
    chooseItem(rowIrRemote, 1);
    chooseItem(rowTemperatureUnit, 1);
    clickArrow(rowSetTemp, true, 2);      // 70 °F
    chooseItem(rowBlowerPowerAt, 1);
    clickArrow(rowBlowerLevel1 + 1, true, 1); // 54 in AC 60Hz

    const auto path = dir_.path() / "edited.cbf";
    answerFileDialogs(path.string());
    clickButton(configButtonSaveFile);
    ASSERT_EQ(recordedDialogs().size(), 1u);
    EXPECT_TRUE(recordedDialogs()[0].save);
    EXPECT_EQ(recordedDialogs()[0].flags, 0x2006u);
    EXPECT_EQ(recordedDialogs()[0].filterIndex, 2u);
    EXPECT_TRUE(takeMessageBoxes().empty());

    const auto bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 24), "CUK1-Configurationfile");
    KParameterBlock saved;
    std::memcpy(&saved, bytes.data() + 24, sizeof saved);
    EXPECT_EQ(saved.CanAddress, 5);
    EXPECT_EQ(saved.Flags_Options, flagUnitFahrenheit | flagIrRemote);
    EXPECT_EQ(saved.SetTemp_F, 70);
    EXPECT_EQ(saved.SetTemp_C, 21);
    EXPECT_EQ(saved.BlowerLevel[1][1], 54);
    EXPECT_EQ(saved.BlowerLevel[0][1], 41);

    clickButton(configButtonDefaults);
    EXPECT_EQ(numberValue(rowCanAddress), 1);
    EXPECT_EQ(listText(rowTemperatureUnit), "\xB0" "C");

    // The open dialog offers the name last used with this window.
    clickButton(configButtonLoadFile);
    ASSERT_EQ(recordedDialogs().size(), 2u);
    EXPECT_FALSE(recordedDialogs()[1].save);
    EXPECT_EQ(recordedDialogs()[1].flags, 0x2004u);
    EXPECT_EQ(recordedDialogs()[1].filterIndex, 2u);
    EXPECT_EQ(recordedDialogs()[1].offered, path.string());
    EXPECT_TRUE(takeMessageBoxes().empty());
    EXPECT_EQ(numberValue(rowCanAddress), 5);
    EXPECT_EQ(listText(rowIrRemote), "On");
    EXPECT_EQ(listText(rowTemperatureUnit), "\xB0" "F");
    EXPECT_EQ(numberValue(rowSetTemp), 70);
    EXPECT_EQ(rowText(rowSetTemp, partDefault), "68");
    // A loaded block shows the type's first group.
    EXPECT_EQ(listText(rowBlowerPowerAt), "AC 50Hz");
    chooseItem(rowBlowerPowerAt, 1);
    EXPECT_EQ(numberValue(rowBlowerLevel1 + 1), 54);
}

TEST_F(ConfigWindowTest, KLoadFailuresShowTheirTextAndKeepTheValues)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    takeMessageBoxes();
    clickArrow(rowCanAddress, true, 2);

    std::vector<unsigned char> good(configFileSize(kConfigFile));
    buildConfigImage(kConfigFile, &kDefaultParameters, good.data());
    std::vector<unsigned char> mFile(configFileSize(mConfigFile), 0);
    buildConfigImage(mConfigFile, std::vector<unsigned char>(74, 1).data(), mFile.data());
    auto version = good;
    version[0] = 2;
    auto magic = good;
    magic[5] ^= 0x20;
    auto flipped = good;
    flipped[40] ^= 0x01;
    const std::vector<unsigned char> shortFile(good.begin(), good.end() - 1);

    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* expected;
    };
    const Case cases[] = {
        {"m.cbf", mFile, "Config.-File not for this ControlUnit !"},
        {"version.cbf", version, "Config.-File Version not match !"},
        {"magic.cbf", magic, "Invalid Config.-File !"},
        {"short.cbf", shortFile, "File Error !"},
        {"crc.cbf", flipped, "File CRC-Error !"},
    };
    for (const Case& c : cases) {
        writeBytes(dir_.path() / c.name, c.bytes);
        answerFileDialogs((dir_.path() / c.name).string());
        clickButton(configButtonLoadFile);
        const auto boxes = takeMessageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes[0].text, c.expected) << c.name;
        EXPECT_EQ(boxes[0].caption, "Configuration:");
        EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(numberValue(rowCanAddress), 3) << c.name;
    }

    answerFileDialogs((dir_.path() / "missing.cbf").string());
    clickButton(configButtonLoadFile);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "File not found !");

    // A cancelled dialog does nothing.
    answerFileDialogs("");
    clickButton(configButtonLoadFile);
    clickButton(configButtonSaveFile);
    EXPECT_TRUE(takeMessageBoxes().empty());
    EXPECT_EQ(numberValue(rowCanAddress), 3);

    // A save that cannot create its file says so.
    answerFileDialogs((dir_.path() / "no-such-folder" / "x.cbf").string());
    clickButton(configButtonSaveFile);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "File Error !");
    EXPECT_EQ(boxes[0].caption, "Configuration:");
}
