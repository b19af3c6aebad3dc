// The configuration windows against the simulated unit: read at opening,
// refusals, programming, and closing while a transfer runs.
#include "config_window_fixture.h"

#include "app/app_state.h"
#include "config/k_config_form.h"
#include "config/m_config_form.h"
#include "link/report_format.h"

namespace {

template <class Block>
std::vector<std::uint8_t> bytesOf(const Block& block)
{
    const auto* at = reinterpret_cast<const std::uint8_t*>(&block);
    return std::vector<std::uint8_t>(at, at + sizeof block);
}

// Reads and programs pass; every programming announcement is answered 0x52.
bool announceAnsweredBusy(SimUnit&, SimSession&, const std::uint8_t* request, SimReply& reply)
{
    if (request[outCommand] != cmdAnnounceWrite)
        return false;
    addAnswer(reply, request, ansBusy);
    return true;
}

} // namespace

TEST_F(ConfigWindowTest, KReadsTheUnitAndProgramsItsEdits)
{
    KParameterBlock block = kSeriesDefaultParameters;
    block.AccessCode = 42;
    block.Flags_Options = static_cast<std::uint16_t>(flagUnitFahrenheit | 0x0100);  // an unknown bit
    block.BlowerType = blowerTypeEcm;
    block.BlowerLevel[2][0] = 33;
    block.Flags_Device = 0x8001;
    attachUnit('K', bytesOf(block));

    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    expectBox(takeBoxes(1)[0], "Device-Configuration read !", "K-Series", MB_ICONINFORMATION);
    EXPECT_EQ(windowText(window()), "K-Series Configuration / Connect to: ControlUnitK Simulator");
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_EQ(numberValue(rowAccessCode), 42);
    EXPECT_EQ(numberValue(rowBlowerLevel1), 33);   // ECM's group

    clickArrow(rowAccessCode, true, 3);
    clickArrow(rowSetTemp, true, 1);
    clickButton(configButtonProgram);
    expectBox(takeBoxes(2)[1], "New Configuration programmed !", "K-Series", MB_ICONINFORMATION);
    EXPECT_EQ(appState.linkOpen, 0);

    KParameterBlock expected = block;
    expected.AccessCode = 45;
    expected.SetTemp_F = 69;
    expected.SetTemp_C = 20;   // 69 °F: the tenth is 5, no step up
    changeUnit([&](SimUnit&, SimBlockStore& store) {
        EXPECT_EQ(store.configuration.bytes, bytesOf(expected));
        EXPECT_EQ(store.programmings, 1u);
    });
}

TEST_F(ConfigWindowTest, MWindowOnAKUnitKeepsItsCreationStateAndFirmwareMismatch)
{
    attachUnit('K', std::vector<std::uint8_t>(62, 0));
    ASSERT_NE(openAs(selectionIdGerman, selectionIdM), nullptr);
    expectBox(takeBoxes(1)[0], "Falsche Steuerung (K-Series) angeschlossen !", "M-Series");
    // The creation state stays.
    EXPECT_EQ(numberValue(mSeriesRowComprStart), 10);
    EXPECT_EQ(listText(mSeriesRowCompressor6), "Ein");

    // A unit of the right kind without this data set refuses with its own
    // kind: the firmware does not fit.
    changeUnit([](SimUnit& unit, SimBlockStore& store) {
        store.configuration.present = false;
        unit.options.kind = 2;
    });
    clickButton(configButtonRead);
    expectBox(takeBoxes(1)[0], "Firmware (1.23) der ControlUnitM unpassend !", "M-Series");
}

TEST_F(ConfigWindowTest, MProgramAnsweredBusyKeepsTheEditsAndTheFamilyOwnsItsFileAndCheck)
{
    MParameterBlock block = mSeriesDefaultParameters;
    block.CanAddress = 7;
    attachUnit('M', bytesOf(block));
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    expectBox(takeBoxes(1)[0], "Device-Configuration read !", "M-Series", MB_ICONINFORMATION);
    EXPECT_EQ(numberValue(rowCanAddress), 7);

    changeUnit([](SimUnit& unit, SimBlockStore&) { unit.blockHandler = announceAnsweredBusy; });
    clickArrow(rowCanAddress, true, 2);
    clickButton(configButtonProgram);
    expectBox(takeBoxes(2)[1], "Write to EEPROM failed !", "M-Series");
    // The edit stays; the block read earlier does not come back.
    EXPECT_EQ(numberValue(rowCanAddress), 9);
    EXPECT_TRUE(buttonEnabled(configButtonProgram));

    // Save writes the M file; a check failure stops Program under the M caption.
    const auto path = dir_.path() / "chiller.cbf";
    answerFileDialogs(path.string());
    clickButton(configButtonSaveFile);
    EXPECT_EQ(readBytes(path).size(), 100u);
    clickArrow(mSeriesRowCoolWaterOff, true, 3);   // 7: equal to "on" fails
    clickButton(configButtonProgram);
    const auto boxes = takeBoxes(2);
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(boxes[1].text,
              "Fehler 'Relation Switch off temperature cooling water < Switch on temperature cooling water' !");
    changeUnit([](SimUnit&, SimBlockStore& store) { EXPECT_EQ(store.programmings, 0u); });

    // The K window has a file name of its own.
    clickButton(configButtonClose);
    pumpUntil([] { return appState.featureOpen == 0; });
    menuCommand(commandSelection);
    confirmSelection(selectionIdEnglish, selectionIdK);
    menuCommand(commandConfiguration);
    window_ = childOfClass(main(), "Configuration_CU0");
    ASSERT_NE(window_, nullptr);
    waitForMessageBoxes(1);
    answerFileDialogs("");
    clickButton(configButtonLoadFile);
    EXPECT_NE(dialogs().back().offered, path.string());
}

TEST_F(ConfigWindowTest, BusyWhileReadingAndCloseStopsTheLinkQuietly)
{
    attachUnit('K', std::vector<std::uint8_t>(62, 0));
    changeUnit([](SimUnit& unit, SimBlockStore&) { unit.options.faults.delayMs = 400; });
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK, false), nullptr);
    pumpUntil([] { return appState.linkOpen != 0; }, 2000);
    ASSERT_EQ(appState.linkOpen, 1);
    for (int id : {configButtonRead, configButtonLoadFile, configButtonSaveFile, configButtonDefaults,
                   configButtonProgram})
        EXPECT_FALSE(buttonEnabled(id)) << id;
    EXPECT_TRUE(buttonEnabled(configButtonClose));

    clickButton(configButtonClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_FALSE(waitForMessageBoxes(1, 600));
    EXPECT_FALSE(menuItemGrey(10));
}
