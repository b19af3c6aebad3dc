#include "monitor_window_fixture.h"

#include "app/app_state.h"
#include "app/layout.h"
#include "monitor/monitor_view.h"

namespace {

constexpr std::uint32_t relay1Bit = 0x20;
constexpr std::uint32_t compressor3Bit = 0x400;

} // namespace

TEST_F(MonitorWindowTest, MShowsTheChillerInFahrenheitAndSwitchesItsOutputs)
{
    SimOptions options = unitOptions('M', false);
    options.fahrenheit = true;
    options.errorBits = 0x10001;   // low voltage and "Init"
    options.functionMode = 5;
    attachUnit(options);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    ASSERT_TRUE(waitForToggle());

    EXPECT_EQ(fieldText(36), "66.2");
    EXPECT_EQ(fieldText(37), "74.3");
    EXPECT_EQ(fieldText(38), "230");
    EXPECT_EQ(fieldText(39), "50");
    EXPECT_EQ(fieldText(46), "00010001");
    EXPECT_EQ(fieldText(64), "F7");
    EXPECT_TRUE(marked(47));
    EXPECT_FALSE(marked(48));
    EXPECT_TRUE(marked(63));
    // Boards, flow switch and all pressure switches closed at the unit.
    for (int id = 19; id <= 35; ++id) {
        if (id == 23)
            continue;   // no control 23: input bit 2 is not shown
        EXPECT_TRUE(marked(id)) << id;
    }
    const auto statics = staticTexts();
    int fahrenheitLabels = 0;
    for (const std::string& label : statics)
        fahrenheitLabels += label == "\xB0" "F" ? 1 : 0;
    EXPECT_EQ(fahrenheitLabels, 2);

    // Manual control: a relay and the second blower reach the unit.
    clickButton(idManualToggle);
    for (int id = 0; id < 14; ++id)
        EXPECT_TRUE(enabled(id)) << id;
    click(window(), 5);
    scroll(15, SB_THUMBPOSITION, 42);
    EXPECT_EQ(fieldText(17), "42");
    EXPECT_EQ(fieldText(16), "0");
    ASSERT_TRUE(waitForUnitOutputs(relay1Bit, relay1Bit));
    ASSERT_TRUE(pumpUntil([this] { return unitBlowerPower(1) == 42; }));

    // Compressor 3 starts behind its own valve sequence; a second compressor
    // is refused while it runs.
    click(window(), 10);
    EXPECT_TRUE(marked(10));
    EXPECT_EQ(appState.sequenceCompressor, 2);
    ASSERT_TRUE(waitForUnitOutputs(compressor3Bit | 0x10, 0x10));
    click(window(), 8);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No more compressor start while compressor start sequence activ !");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_FALSE(marked(8));
    appState.stepTicks = 60;
    ASSERT_TRUE(waitForUnitOutputs(compressor3Bit | 0x10, 0));
    appState.stepTicks = 30;
    ASSERT_TRUE(waitForUnitOutputs(compressor3Bit | 0x10, compressor3Bit));
    ASSERT_TRUE(pumpUntil([this] { return windowText(window()).find("Firmware 2.04") != std::string::npos; }));
    screenshot("31-monitor-m");

    // Close ends the link with manual control off.
    clickButton(idClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(MonitorWindowTest, MWrongUnitAndGermanTexts)
{
    attachUnit(unitOptions('K', true));
    ASSERT_NE(openAs(selectionIdGerman, selectionIdM), nullptr);
    ASSERT_TRUE(pumpUntil([] { return !recordedMessageBoxes().empty(); }));
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Falsche Steuerung (K-Series) angeschlossen !");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(fieldText(idManualToggle), "Ein");
    EXPECT_EQ(fieldText(idClose), "Schlie\xDF" "en");
    EXPECT_EQ(windowText(window()), "Monitor: verbunden mit: ControlUnitK SimulatorFirmware ?.?");
    screenshot("monitor-m-german");
}
