// The K-Series configuration window without a unit: creation state, the
// controls mirroring the form, checks and files.
#include "config_window_fixture.h"

#include "config/config_file.h"
#include "config/k_config_form.h"

TEST_F(ConfigWindowTest, KOpensWithoutUnitInCreationStateEditsAndCloses)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    expectBox(takeBoxes(1)[0], "No Control Unit found", "K-Series");
    EXPECT_EQ(windowText(window()), "Configuration:");

    // The controls mirror the form's creation state.
    EXPECT_EQ(listText(rowDevice), "Off");
    EXPECT_EQ(rowText(rowDevice, partDefault), "On");
    EXPECT_EQ(arrowRange(rowSetTemp), "15..29");
    EXPECT_EQ(rowText(rowCalibration, partLabel), "Calibration room temperatur sensor");
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
    HDC dc = GetDC(window());
    const LRESULT brush = SendMessageA(window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control(rowAccessCode, partDefault)));
    EXPECT_EQ(GetTextColor(dc), RGB(70, 140, 70));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(WHITE_BRUSH));
    ReleaseDC(window(), dc);

    for (int id : menuItemIds)
        EXPECT_TRUE(menuItemGrey(id)) << id;

    clickButton(configButtonDefaults);
    EXPECT_EQ(listText(rowDevice), "On");
    clickArrow(rowAccessCode, true, 20);
    EXPECT_EQ(numberValue(rowAccessCode), 99);
    EXPECT_EQ(rowText(rowAccessCode, partDefault), "83");   // the defaults column stays

    // A list choice refills the rows it governs: values, ranges, units, and
    // which rows can be edited.
    chooseItem(rowTemperatureUnit, 1);
    EXPECT_EQ(numberValue(rowSetTemp), 68);
    EXPECT_EQ(arrowRange(rowSetTemp), "59..85");
    EXPECT_EQ(rowText(rowSetTemp, partUnit), "\xB0" "F");
    chooseItem(rowBlowerType, 2);      // Silencer: shown, not editable
    EXPECT_FALSE(enabled(rowBlowerLevel1 + 3, partArrows));
    EXPECT_FALSE(enabled(rowBlowerPowerAt, partValue));
    clickArrow(rowBlowerLevel1 + 3, true);   // disabled arrows move nothing
    EXPECT_EQ(numberValue(rowBlowerLevel1 + 3), 80);
    chooseItem(rowBlowerType, 0);
    EXPECT_TRUE(enabled(rowBlowerLevel1 + 3, partArrows));

    clickButton(configButtonClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_EQ(appState.featureOpen, 0);
    EXPECT_FALSE(menuItemGrey(commandConfiguration));
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(ConfigWindowTest, KSaveLoadFileErrorsAndCheckFailures)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    takeMessageBoxes();
    clickButton(configButtonDefaults);
    clickArrow(rowCanAddress, true, 4);
    chooseItem(rowTemperatureUnit, 1);
    clickArrow(rowSetTemp, true, 2);      // 70 °F

    const auto path = dir_.path() / "edited.cbf";
    answerFileDialogs(path.string());
    clickButton(configButtonSaveFile);
    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_TRUE(dialogs()[0].save);
    EXPECT_EQ(dialogs()[0].flags, 0x2006u);
    EXPECT_EQ(dialogs()[0].filterIndex, 2u);
    const auto bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 24), "CUK1-Configurationfile");
    EXPECT_EQ(bytes[24 + 61], 5);    // CanAddress
    EXPECT_EQ(bytes[24 + 3], 70);    // SetTemp_F

    clickButton(configButtonDefaults);
    EXPECT_EQ(numberValue(rowCanAddress), 1);
    // The open dialog offers the name last used with this window.
    clickButton(configButtonLoadFile);
    ASSERT_EQ(dialogs().size(), 2u);
    EXPECT_FALSE(dialogs()[1].save);
    EXPECT_EQ(dialogs()[1].flags, 0x2004u);
    EXPECT_EQ(dialogs()[1].filterIndex, 2u);
    EXPECT_EQ(dialogs()[1].offered, path.string());
    EXPECT_EQ(numberValue(rowCanAddress), 5);
    EXPECT_EQ(numberValue(rowSetTemp), 70);
    EXPECT_TRUE(takeMessageBoxes().empty());

    // Failures show their text and keep the values; a cancelled dialog does nothing.
    auto flipped = bytes;
    flipped[40] ^= 0x01;
    writeBytes(dir_.path() / "crc.cbf", flipped);
    const struct {
        const char* name;
        bool save;
        const char* expected;
    } failures[] = {
        {"crc.cbf", false, "File CRC-Error !"},
        {"missing.cbf", false, "File not found !"},
        {"no-folder/x.cbf", true, "File Error !"},
        {"", false, nullptr},
    };
    for (const auto& f : failures) {
        answerFileDialogs(*f.name ? (dir_.path() / f.name).string() : "");
        clickButton(f.save ? configButtonSaveFile : configButtonLoadFile);
        const auto boxes = takeMessageBoxes();
        ASSERT_EQ(boxes.size(), f.expected ? 1u : 0u) << f.name;
        if (f.expected)
            expectBox(boxes[0], f.expected, "Configuration:");
        EXPECT_EQ(numberValue(rowCanAddress), 5) << f.name;
    }

    // A value only a file can hold fails the check: Program shows the display
    // hint and the failure and sends nothing; Save opens no dialog.
    KParameterBlock block = kSeriesDefaultParameters;
    block.AccessCode = 100;
    std::vector<unsigned char> image(configFileSize(kSeriesConfigFile));
    buildConfigImage(kSeriesConfigFile, &block, image.data());
    writeBytes(dir_.path() / "access.cbf", image);
    answerFileDialogs((dir_.path() / "access.cbf").string());
    clickButton(configButtonLoadFile);
    EXPECT_EQ(numberValue(rowAccessCode), 100);
    const std::size_t dialogsBefore = dialogs().size();
    clickButton(configButtonProgram);
    clickButton(configButtonSaveFile);
    const auto boxes = takeBoxes(3);
    expectBox(boxes[0], "Make sure that display of the AC-unit is set to \n"
                        "standard mode showing room temperature when saving changes.", "K-Series");
    expectBox(boxes[1], "Failure 'Access-Code' !  Limits: 0 to 99", "Configuration:");
    expectBox(boxes[2], "Failure 'Access-Code' !  Limits: 0 to 99", "Configuration:");
    EXPECT_EQ(windowText(window()), "Configuration:");   // no link was opened
    EXPECT_EQ(dialogs().size(), dialogsBefore);
}
