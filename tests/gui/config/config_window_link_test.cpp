// The configuration windows against the simulated unit: read at opening,
// refusals, programming, and closing while a transfer runs.
#include "config_window_fixture.h"

#include <cstring>

#include "app/app_state.h"
#include "app/layout.h"
#include "config/k_config_form.h"
#include "config/k_parameters.h"
#include "config/m_config_form.h"
#include "config/m_parameters.h"
#include "link/reports.h"

namespace {

constexpr UINT iconMask = MB_ICONMASK;

std::vector<std::uint8_t> bytesOf(const void* block, std::size_t size)
{
    const auto* at = static_cast<const std::uint8_t*>(block);
    return std::vector<std::uint8_t>(at, at + size);
}

// A unit that accepts reads from its store but answers every programming
// announcement 0x52.
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
    KParameterBlock block = kDefaultParameters;
    block.AccessCode = 42;
    block.Flags_Options = static_cast<std::uint16_t>(flagUnitFahrenheit | 0x0100);  // an unknown bit
    block.BlowerType = blowerTypeEcm;
    block.BlowerLevel[2][0] = 33;
    block.Flags_Device = 0x8001;
    const auto configuration = bytesOf(&block, sizeof block);
    attachUnit('K', &configuration);

    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Device-Configuration read !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(windowText(window()), "K-Series Configuration / Connect to: ControlUnitK Simulator");
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(buttonEnabled(configButtonRead));
    EXPECT_EQ(numberValue(rowAccessCode), 42);
    EXPECT_EQ(listText(rowTemperatureUnit), "\xB0" "F");
    EXPECT_EQ(numberValue(rowSetTemp), 68);
    EXPECT_EQ(listText(rowBlowerPowerAt), "ECM");
    EXPECT_EQ(numberValue(rowBlowerLevel1), 33);
    EXPECT_EQ(listText(rowBlowerSet), "Auto");
    screenshot("k-english-read");

    clickArrow(rowAccessCode, true, 3);
    clickArrow(rowSetTemp, true, 1);
    clickButton(configButtonProgram);
    pumpUntil([] { return recordedMessageBoxes().size() >= 2; });
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "K-Series");       // the display hint
    EXPECT_EQ(boxes[1].text, "New Configuration programmed !");
    EXPECT_EQ(boxes[1].type & iconMask, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(appState.linkOpen, 0);

    KParameterBlock expected = block;
    expected.AccessCode = 45;
    expected.SetTemp_F = 69;
    expected.SetTemp_C = 20;   // 69 °F: the tenth is 5, no step up
    const auto programmed = unitConfiguration();
    ASSERT_EQ(programmed.size(), sizeof expected);
    EXPECT_EQ(programmed, bytesOf(&expected, sizeof expected));
    EXPECT_EQ(store().programmings, 1u);
}

TEST_F(ConfigWindowTest, KWindowOnAnMUnitKeepsItsCreationState)
{
    const std::vector<std::uint8_t> configuration(74, 0);
    attachUnit('M', &configuration);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "False ControlUnit (M-Series) connected !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(listText(rowDevice), "Off");
    EXPECT_EQ(numberValue(rowAccessCode), 83);
    EXPECT_TRUE(buttonEnabled(configButtonProgram));
}

TEST_F(ConfigWindowTest, MWindowOnAKUnitAndFirmwareMismatch)
{
    const std::vector<std::uint8_t> configuration(62, 0);
    attachUnit('K', &configuration);
    ASSERT_NE(openAs(selectionIdGerman, selectionIdM), nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Falsche Steuerung (K-Series) angeschlossen !");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(numberValue(mRowHysteresis), 15);

    // A unit of the right family without this data set refuses with its own
    // kind: the firmware does not fit.
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        store().configuration.present = false;
        unit().options.kind = 2;
    }
    clickButton(configButtonRead);
    pumpUntil([] { return !recordedMessageBoxes().empty(); });
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Firmware (1.23) der ControlUnitM unpassend !");
}

TEST_F(ConfigWindowTest, MProgramAnsweredBusyFailsAndKeepsTheEdits)
{
    MParameterBlock block = mDefaultParameters;
    block.CanAddress = 7;
    const auto configuration = bytesOf(&block, sizeof block);
    attachUnit('M', &configuration);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Device-Configuration read !");
    EXPECT_EQ(numberValue(rowCanAddress), 7);

    {
        std::lock_guard<std::mutex> hold(unit().lock);
        unit().blockHandler = announceAnsweredBusy;
    }
    clickArrow(rowCanAddress, true, 2);
    clickButton(configButtonProgram);
    pumpUntil([] { return recordedMessageBoxes().size() >= 2; });
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Write to EEPROM failed !");
    EXPECT_EQ(boxes[1].caption, "M-Series");
    EXPECT_EQ(boxes[1].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    // The edit stays; the block read earlier does not come back.
    EXPECT_EQ(numberValue(rowCanAddress), 9);
    EXPECT_TRUE(buttonEnabled(configButtonProgram));
    EXPECT_EQ(store().programmings, 0u);
}

TEST_F(ConfigWindowTest, BusyWhileReadingAndCloseStopsTheLinkQuietly)
{
    const std::vector<std::uint8_t> configuration(62, 0);
    attachUnit('K', &configuration);
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        unit().options.faults.delayMs = 400;
    }
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK, false), nullptr);
    pumpUntil([] { return appState.linkOpen != 0; }, 2000);
    ASSERT_EQ(appState.linkOpen, 1);
    for (int id : {configButtonRead, configButtonLoadFile, configButtonSaveFile, configButtonDefaults,
                   configButtonProgram})
        EXPECT_FALSE(buttonEnabled(id)) << id;
    EXPECT_TRUE(buttonEnabled(configButtonClose));
    EXPECT_TRUE(enabled(rowAccessCode, partArrows));

    clickButton(configButtonClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_EQ(appState.linkOpen, 0);
    pumpFor(600);
    EXPECT_TRUE(recordedMessageBoxes().empty());
    EXPECT_FALSE(menuItemGrey(10));
}
