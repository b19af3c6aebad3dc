// The USB path when things go wrong: the unit's connection closing and the
// device being removed in the middle of a block read and of polling, stops
// and closes while reports are pending, output reports the device holds,
// and a device whose transfers cannot be set up.
#include "usb_fixture.h"

#include <chrono>
#include <random>
#include <tuple>
#include <thread>

#include "app/window_table.h"
#include "config/config_window_ids.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/poll_engine.h"
#include "link/win/hid_backend.h"
#include "monitor/monitor_view.h"
#include "vusb_install.h"

namespace {

// What the program shows when the unit goes away under a transfer: the
// device-gone message (Wine fails the I/O of a removed device with access
// denied, the unit's own driver with "not connected": both are "gone").
bool deviceGoneShown(const std::string& messages, const char* caption)
{
    return messages.rfind(std::string("USB-Error ! [") + caption + "]", 0) == 0;
}

class UsbUnplugTest : public UsbTest {
protected:
    // The feature window of a menu command, once the unit has seen count
    // more requests of it.
    HWND underWay(int command, const char* classBase, std::uint32_t count)
    {
        plug(unitK);
        startOnUsb(selectionIdEnglish, selectionIdK);
        const std::uint32_t start = unitK.requestsSeen();
        menuCommand(command);
        EXPECT_TRUE(pumpUntil([start, count] { return unitK.requestsSeen() > start + count; }));
        return familyWindow(classBase);
    }
    // A protocol read that is under way: the unit answers slowly.
    HWND protocolReadUnderWay()
    {
        unitK.change([](SimUnit& unit, SimBlockStore&) { unit.options.faults.delayMs = 2; });
        return underWay(commandProtocolRead, "Upload_CU", 20);
    }
    HWND monitorPolling() { return underWay(commandMonitor, "Monitor_CU", 3); }
    void TearDown() override
    {
        unitK.change([](SimUnit& unit, SimBlockStore&) { unit.options.faults.delayMs = 0; });
        UsbTest::TearDown();
    }
    // The unit is back on the bus and the window does its work again.
    void expectProtocolReadAgain()
    {
        unitK.change([](SimUnit& unit, SimBlockStore&) { unit.options.faults.delayMs = 0; });
        ASSERT_TRUE(waitForUnit(true));
        menuCommand(commandProtocolRead);
        EXPECT_EQ(shownMessages(30000), "1200 protocol-items read ! [K-Series]");
    }
    void expectPollingAgain(HWND window)
    {
        ASSERT_TRUE(waitForUnit(true));
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(window, idStart)));
        click(window, idStart);
        const std::uint32_t start = unitK.requestsSeen();
        EXPECT_TRUE(pumpUntil([start] { return unitK.requestsSeen() > start + 3; }));
        EXPECT_EQ(shownMessages(0), "");
    }
    static void removeBus()
    {
        std::string error;
        ASSERT_TRUE(removeVirtualUsb(error)) << error;
        plugged = nullptr;
    }
};

// The unit goes away under a block read or under polling, by its connection
// closing or by the device being removed: the device-gone message, and the
// window works again once the unit is back.
class UsbUnplugDuringTransferTest : public UsbUnplugTest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(UsbUnplugDuringTransferTest, ShowsTheDeviceGoneAndWorksAgainAfter)
{
    const auto [deviceRemoved, polling] = GetParam();
    HWND window = polling ? monitorPolling() : protocolReadUnderWay();
    if (deviceRemoved)
        removeBus();
    else
        dropSimConnections(unitK.server);
    EXPECT_TRUE(deviceGoneShown(shownMessages(), polling ? "Polarund K" : "K-Series"));
    EXPECT_EQ(appState.linkOpen, 0);
    if (deviceRemoved)
        plug(unitK);
    if (polling) {
        expectPollingAgain(window);
    } else {
        EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
        expectProtocolReadAgain();
    }
}

INSTANTIATE_TEST_SUITE_P(EndpointClosesOrDeviceRemoved, UsbUnplugDuringTransferTest,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

// Stop, Close and the end of a transfer while the device still holds an
// output report: the link's threads end within stopLink every time, and
// nothing is left behind once the reports are through.
TEST_F(UsbUnplugTest, OpenStopCyclesWithWritesPendingLeaveNoThreadsOrHandles)
{
    plug(unitK);
    setDeviceBackend(&hidBackend);
    ASSERT_TRUE(findDevice());
    writeDelay(15);
    auto cycle = [](int stopAfterMs) {
        linkRequest = LinkRequest{.command = 0x3A, .blockSize = 23, .expectedAnswerType = 1, .expectedUnitKind = 1};
        if (!startLinkThreads(pollEngine, &linkRequest))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(stopAfterMs));
        stopLink();
        return linkThreadsEnded();
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle(i % 20));
    writeDelay(0);
    pumpUntil([] { return parkedHidDevices() == 0; });
    const int threads = processThreadCount();
    const int handles = processHandleCount();

    writeDelay(15);
    std::mt19937 random(12);
    int ended = 0;
    for (int i = 0; i < 500; ++i)
        ended += cycle(static_cast<int>(random() % 25));
    EXPECT_EQ(ended, 500);
    writeDelay(0);
    EXPECT_TRUE(pumpUntil([] { return parkedHidDevices() == 0; }));
    EXPECT_TRUE(pumpUntil([&] { return processThreadCount() <= threads && processHandleCount() <= handles; }))
        << processThreadCount() << " threads (" << threads << " before), " << processHandleCount()
        << " handles (" << handles << " before)";
}

// Stop and Close in the monitor, and Close in a configuration window, while
// the device takes every output report late: each ends both link threads at
// once, and nothing is shown.
TEST_F(UsbUnplugTest, StopAndCloseWhileTheDeviceHoldsOutputReports)
{
    HWND monitor = monitorPolling();
    writeDelay(40);
    for (int i = 0; i < 20; ++i) {
        pumpFor(i * 3);
        click(monitor, idStop);
        EXPECT_TRUE(linkThreadsEnded());
        click(monitor, idStart);
    }
    closeWindow(monitor);
    EXPECT_TRUE(linkThreadsEnded());
    // Each report 100 ms late: the read at opening is far from done at Close.
    writeDelay(100);
    for (int i = 0; i < 5; ++i) {
        menuCommand(commandConfiguration);
        HWND configuration = familyWindow("Configuration_CU");
        ASSERT_NE(configuration, nullptr);
        closeWindow(configuration);
        EXPECT_TRUE(linkThreadsEnded());
    }
    EXPECT_EQ(shownMessages(0), "");
}

// The device holds every output report: the engine gives up after twenty
// passes, and Close still ends both threads at once. The held write finishes
// later into the device's own buffer.
TEST_F(UsbUnplugTest, AWriteTheDeviceHoldsNeitherBlocksTheStopNorOutlivesItsBuffer)
{
    plug(unitK);
    startOnUsb(selectionIdEnglish, selectionIdK);
    const int handles = processHandleCount();
    writeDelay(stalledWrites);
    menuCommand(commandConfiguration);
    EXPECT_EQ(shownMessages(), "Communication lost ! [K-Series]");
    EXPECT_TRUE(linkThreadsEnded());
    EXPECT_EQ(parkedHidDevices(), 1u);

    click(familyWindow("Configuration_CU"), configButtonRead);
    EXPECT_EQ(shownMessages(), "Communication lost ! [K-Series]");
    closeWindow(familyWindow("Configuration_CU"));
    EXPECT_TRUE(linkThreadsEnded());

    writeDelay(0);
    EXPECT_TRUE(pumpUntil([] { return parkedHidDevices() == 0; }));
    EXPECT_TRUE(pumpUntil([&] { return processHandleCount() <= handles; }));
    menuCommand(commandConfiguration);
    EXPECT_EQ(shownMessages(), "Device-Configuration read ! [K-Series]");
}

// When a device's transfers cannot be set up (no event for their
// completions), the device cannot be used: the link ends as with a unit that
// cannot be opened, it does not wait for answers it would never hear of.
TEST_F(UsbUnplugTest, ADeviceWhoseTransfersCannotBeSetUpEndsTheTransfer)
{
    plug(unitK);
    startOnUsb(selectionIdEnglish, selectionIdK);
    failHidTransferSetups(1);
    menuCommand(commandConfiguration);
    EXPECT_EQ(shownMessages(), "Communication lost ! [K-Series]");
    click(familyWindow("Configuration_CU"), configButtonRead);
    EXPECT_EQ(shownMessages(), "Device-Configuration read ! [K-Series]");
}

} // namespace
