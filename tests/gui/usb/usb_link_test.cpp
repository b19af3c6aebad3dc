// Every feature of the program over the virtual USB unit: discovery past
// another vendor's device, configuration read, program and read-back of both
// families, running counters, a long failure protocol and the monitor's
// manual control.
#include "usb_fixture.h"

#include "app/shell.h"
#include "app/window_table.h"
#include "config/config_window_ids.h"
#include "config/form_row.h"
#include "link/device_discovery.h"
#include "monitor/monitor_view.h"
#include "sim_data_sets.h"
#include "vusb_install.h"

namespace {

TEST_F(UsbTest, DiscoveryTakesTheUnitAndPassesOverAnotherVendorsDevice)
{
    std::string unitPath;
    bool decoyPresent = false;
    for (const HidDeviceEntry& device : presentHidDevices()) {
        if (device.vendorId == 0xC251 && device.productId == 0x1C01)
            unitPath = device.path;
        decoyPresent = decoyPresent || (device.vendorId == decoyVendorId && device.productId == 0x1C01);
    }
    ASSERT_TRUE(decoyPresent);
    ASSERT_FALSE(unitPath.empty());
    startOnUsb(selectionIdEnglish, selectionIdK);
    ASSERT_TRUE(findDevice());
    EXPECT_EQ(devicePath, unitPath);
    char product[65] = "";
    ASSERT_TRUE(readProductString(product));
    EXPECT_STREQ(product, "Polarund K \xFC" "ber USB");

    menuCommand(commandConfiguration);
    EXPECT_EQ(shownMessages(), "Device-Configuration read ! [K-Series]");
    EXPECT_EQ(windowText(familyWindow("Configuration_CU")),
              "K-Series Configuration / Connect to: Polarund K \xFC" "ber USB");
    EXPECT_EQ(decoy.requestsSeen(), 0u);
}

// Reads the unit, raises the access code by three and programs it; loads
// the defaults into the window and reads the programmed value back.
class UsbConfigurationTest : public UsbTest {
protected:
    void readProgramAndReadBack(ServedUnit& served, char family)
    {
        plug(served);
        startOnUsb(selectionIdEnglish, family == 'M' ? selectionIdM : selectionIdK);
        const std::string caption = std::string(" [") + family + "-Series]";
        menuCommand(commandConfiguration);
        ASSERT_EQ(shownMessages(), "Device-Configuration read !" + caption);
        HWND window = familyWindow("Configuration_CU");
        HWND value = GetDlgItem(window, rowControlId(rowAccessCode, partValue));
        const int before = std::atoi(windowText(value).c_str());
        clickArrows(GetDlgItem(window, rowControlId(rowAccessCode, partArrows)), true, 3);
        ASSERT_EQ(std::atoi(windowText(value).c_str()), before + 3);
        const std::uint32_t programmings = served.change([](SimUnit&, SimBlockStore& s) { return s.programmings; });
        click(window, configButtonProgram);
        EXPECT_EQ(shownMessages(),
                  "Make sure that display of the AC-unit is set to \nstandard mode showing room temperature when "
                  "saving changes." + caption + " + New Configuration programmed !" + caption);
        served.change([family, programmings](SimUnit&, SimBlockStore& store) {
            EXPECT_EQ(store.programmings, programmings + 1);
            EXPECT_NE(store.configuration.bytes, factoryConfiguration(family));
        });
        click(window, configButtonDefaults);
        takeMessageBoxes();
        ASSERT_EQ(std::atoi(windowText(value).c_str()), before);
        click(window, configButtonRead);
        EXPECT_EQ(shownMessages(), "Device-Configuration read !" + caption);
        EXPECT_EQ(std::atoi(windowText(value).c_str()), before + 3);
    }
};

TEST_F(UsbConfigurationTest, KReadProgramAndReadBack) { readProgramAndReadBack(unitK, 'K'); }

TEST_F(UsbConfigurationTest, MReadProgramAndReadBack) { readProgramAndReadBack(unitM, 'M'); }

TEST_F(UsbTest, RunningCountersAndAProtocolOfTwelveHundredEntries)
{
    plug(unitK);
    startOnUsb(selectionIdEnglish, selectionIdK);
    menuCommand(commandRunCounter);
    EXPECT_EQ(shownMessages(), "Counters Read ! [K-Series]");
    closeWindow(familyWindow("RunCounter_CU"));

    menuCommand(commandProtocolRead);
    EXPECT_EQ(shownMessages(30000), "1200 protocol-items read ! [K-Series]");
    EXPECT_EQ(appState.protocolCount, 1200);
    const std::vector<std::uint8_t> expected = failureProtocol('K', 1200);
    EXPECT_EQ(std::memcmp(protocolBuffer, expected.data(), expected.size()), 0);
    EXPECT_TRUE(pumpUntil([this] { return familyWindow("ProtDisplay_CU") != nullptr; }));
}

TEST_F(UsbTest, MonitorPollsAndManualControlSwitchesTheUnitsOutputs)
{
    plug(unitK);
    startOnUsb(selectionIdEnglish, selectionIdK);
    menuCommand(commandMonitor);
    HWND window = familyWindow("Monitor_CU");
    ASSERT_TRUE(pumpUntil([window] { return windowText(window).find("Firmware 1.23") != std::string::npos; }));
    EXPECT_EQ(windowText(window).rfind("Monitor: Connect to: Polarund K \xFC" "ber USB", 0), 0u);
    switchFirstOutputByHand(window);
    click(window, idClose);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
    EXPECT_EQ(shownMessages(0), "");
}

} // namespace
