#include "monitor_window_fixture.h"

#include "app/app_state.h"
#include "app/layout.h"
#include "app/window_table.h"
#include "link/link_control.h"
#include "link/win/feature_link.h"
#include "monitor/monitor_view.h"

namespace {

constexpr UINT iconMask = MB_ICONMASK;
constexpr std::uint32_t blowerBit = 0x01;
constexpr std::uint32_t compressorBit = 0x02;
constexpr std::uint32_t valveBit = 0x08;
constexpr int idBlowerScroll = 4;
constexpr int idBlowerField = 5;

bool titleEndsWith(HWND window, const std::string& end)
{
    const std::string title = windowText(window);
    return title.size() >= end.size() && title.compare(title.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST_F(MonitorWindowTest, KWithoutUnitSaysSoAndWaitsForStart)
{
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);

    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Control Unit found");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(windowText(window()), "Monitor");
    EXPECT_TRUE(enabled(idStart));
    EXPECT_FALSE(enabled(idStop));
    EXPECT_FALSE(enabled(idManualToggle));
    EXPECT_EQ(fieldText(idManualToggle), "On");
    for (int id = 0; id < 4; ++id)
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(menuItemGrey(commandConfiguration));
    EXPECT_EQ(appState.linkOpen, 0);

    // A click on a disabled-looking indicator changes nothing without manual control.
    click(window(), 0);
    EXPECT_FALSE(marked(0));

    clickButton(idClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_FALSE(IsWindow(window()));
    EXPECT_EQ(appState.featureOpen, 0);
    EXPECT_FALSE(menuItemGrey(commandConfiguration));
}

TEST_F(MonitorWindowTest, KConnectsShowsTheUnitAndRefreshesTheTitle)
{
    SimOptions options = unitOptions('K', true);
    options.errorBits = 0x05;      // low voltage, high pressure
    attachUnit(options);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    EXPECT_TRUE(takeMessageBoxes().empty());
    EXPECT_EQ(windowText(window()).rfind("Monitor: Connect to: ControlUnitK SimulatorFirmware ", 0), 0u);
    EXPECT_FALSE(enabled(idStart));
    EXPECT_TRUE(enabled(idStop));

    ASSERT_TRUE(pumpUntil([this] { return fieldText(13) == "230"; }));
    // The unit runs: its own outputs are shown, manual control is locked.
    EXPECT_TRUE(marked(0));
    EXPECT_TRUE(marked(1));
    EXPECT_TRUE(marked(2));
    EXPECT_FALSE(marked(3));
    EXPECT_EQ(scrollPosition(idBlowerScroll), 60);
    EXPECT_EQ(fieldText(idBlowerField), "60");
    EXPECT_TRUE(marked(7));    // both pressure switches closed, no piggyback board
    EXPECT_TRUE(marked(8));
    EXPECT_FALSE(marked(9));
    EXPECT_EQ(fieldText(11), "7.5");
    EXPECT_EQ(fieldText(12), "23.5");
    EXPECT_EQ(fieldText(17), "0005");
    EXPECT_TRUE(marked(18));
    EXPECT_FALSE(marked(19));
    EXPECT_TRUE(marked(20));
    EXPECT_EQ(fieldText(24), "F2");
    EXPECT_FALSE(enabled(idManualToggle));

    // The title names the firmware on the 33rd answer; the bar moves every 8.
    ASSERT_TRUE(pumpUntil([this] { return titleEndsWith(window(), "Firmware 1.23"); }));
    EXPECT_EQ(windowText(window()), "Monitor: Connect to: ControlUnitK SimulatorFirmware 1.23");
    EXPECT_GE(progressPosition(), 4);
    screenshot("30-monitor-k");

    // Later answers keep the controls current.
    {
        std::lock_guard<std::mutex> hold(unit_->lock);
        unit_->options.errorBits = 0x20;
        unit_->options.fahrenheit = true;
    }
    ASSERT_TRUE(pumpUntil([this] { return fieldText(17) == "0020"; }));
    EXPECT_FALSE(marked(18));
    EXPECT_TRUE(marked(23));
    EXPECT_EQ(fieldText(12), "74.3");

    // Close stops the link and returns the menu.
    clickButton(idClose);
    pumpUntil([this] { return !IsWindow(window()); });
    EXPECT_FALSE(IsWindow(window()));
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(linkThreadsEnded());
    EXPECT_FALSE(menuItemGrey(commandMonitor));
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(MonitorWindowTest, KManualControlSwitchesTheUnitUntilStop)
{
    attachUnit(unitOptions('K', false));
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    ASSERT_TRUE(waitForToggle());
    EXPECT_EQ(unitOutputs(), 0u);

    clickButton(idManualToggle);
    EXPECT_EQ(fieldText(idManualToggle), "Off");
    for (int id = 0; id < 4; ++id)
        EXPECT_TRUE(enabled(id)) << id;

    // The indicator does not mark itself: the window does, and the unit follows.
    click(window(), 0);
    EXPECT_TRUE(marked(0));
    ASSERT_TRUE(waitForUnitOutputs(blowerBit, blowerBit));
    EXPECT_TRUE(unitManual());

    // Blower power: line steps stay within 0..100, page steps do nothing.
    scroll(idBlowerScroll, SB_LINELEFT);
    EXPECT_EQ(fieldText(idBlowerField), "0");
    scroll(idBlowerScroll, SB_THUMBTRACK, 99);
    scroll(idBlowerScroll, SB_LINERIGHT);
    scroll(idBlowerScroll, SB_LINERIGHT);
    scroll(idBlowerScroll, SB_PAGELEFT);
    EXPECT_EQ(fieldText(idBlowerField), "100");
    EXPECT_EQ(scrollPosition(idBlowerScroll), 100);
    ASSERT_TRUE(pumpUntil([this] { return unitBlowerPower(0) == 100; }));
    // Answers do not overwrite what the user commands.
    ASSERT_TRUE(waitForAnswers(3));
    EXPECT_TRUE(marked(0));
    EXPECT_EQ(fieldText(idBlowerField), "100");

    click(window(), 0);
    EXPECT_FALSE(marked(0));
    ASSERT_TRUE(waitForUnitOutputs(blowerBit, 0));

    // Stop leaves manual control off; the next Start tells the unit so.
    click(window(), 2);
    ASSERT_TRUE(waitForUnitOutputs(0x04, 0x04));
    clickButton(idStop);
    EXPECT_EQ(fieldText(idManualToggle), "On");
    EXPECT_FALSE(enabled(idManualToggle));
    EXPECT_FALSE(enabled(2));
    EXPECT_TRUE(enabled(idStart));
    EXPECT_FALSE(enabled(idStop));
    EXPECT_EQ(appState.linkOpen, 0);
    clickButton(idStart);
    ASSERT_TRUE(pumpUntil([this] { return !unitManual() && unitOutputs() == 0; }));
    ASSERT_TRUE(waitForAnswers(1));
    EXPECT_FALSE(marked(2));
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(MonitorWindowTest, KCompressorStartsThroughTheValveSequenceAndKeepsItsRestartLock)
{
    attachUnit(unitOptions('K', false));
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    ASSERT_TRUE(waitForToggle());
    clickButton(idManualToggle);

    // The first start after program start is allowed: valve reversed first.
    click(window(), 1);
    EXPECT_TRUE(marked(1));
    ASSERT_TRUE(waitForUnitOutputs(compressorBit | valveBit, valveBit));
    click(window(), 3);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No manual valve control possible while compressor start sequence activ !");
    EXPECT_EQ(boxes[0].caption, "K-Series");

    // The sequence measures in ticks of the main window's timer.
    appState.stepTicks = 60;
    ASSERT_TRUE(waitForUnitOutputs(compressorBit | valveBit, 0));
    appState.stepTicks = 30;
    ASSERT_TRUE(waitForUnitOutputs(compressorBit | valveBit, compressorBit));
    EXPECT_TRUE(marked(1));
    EXPECT_EQ(appState.sequenceActive, 0);

    // Off, and on again within 180 s: refused with the whole seconds left.
    click(window(), 1);
    ASSERT_TRUE(waitForUnitOutputs(compressorBit, 0));
    appState.restartTicks[0] = 1795;
    click(window(), 1);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Next Compressor-Start possible in 0 seconds !");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(marked(1));
    ASSERT_TRUE(waitForAnswers(2));
    EXPECT_EQ(unitOutputs() & compressorBit, 0u);
}

TEST_F(MonitorWindowTest, KLinkEndsLeaveManualControlOff)
{
    // A unit of the other family answers the poll with its own kind.
    attachUnit(unitOptions('M', false));
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    ASSERT_TRUE(pumpUntil([] { return !recordedMessageBoxes().empty(); }));
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "False ControlUnit (M-Series) connected !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    // No answer was shown, so the firmware is still unknown.
    EXPECT_EQ(windowText(window()), "Monitor: Connect to: ControlUnitM SimulatorFirmware ?.?");
    EXPECT_TRUE(enabled(idStart));
    EXPECT_FALSE(enabled(idStop));
    EXPECT_EQ(appState.linkOpen, 0);

    // The right unit, then unplugged while under manual control.
    stopSimServer(server_);
    server_ = nullptr;
    attachUnit(unitOptions('K', false));
    prepareProgramLink();
    clickButton(idStart);
    ASSERT_TRUE(waitForToggle());
    clickButton(idManualToggle);
    click(window(), 0);
    ASSERT_TRUE(waitForUnitOutputs(blowerBit, blowerBit));
    dropSimConnections(server_);
    ASSERT_TRUE(pumpUntil([] { return !recordedMessageBoxes().empty(); }));
    pumpFor(100);
    boxes = takeMessageBoxes();
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "USB-Error !");
    EXPECT_EQ(boxes[0].caption, "Polarund K");
    EXPECT_EQ(fieldText(idManualToggle), "On");
    EXPECT_FALSE(enabled(idManualToggle));
    EXPECT_FALSE(enabled(0));
    EXPECT_TRUE(enabled(idStart));
    EXPECT_EQ(progressPosition(), 0);
    EXPECT_EQ(appState.linkOpen, 0);
}
