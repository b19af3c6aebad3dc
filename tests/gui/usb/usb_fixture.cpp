#include "usb_fixture.h"

#include <tlhelp32.h>

#include "link/device_backend.h"
#include "link/device_discovery.h"
#include "link/remote_unit.h"
#include "link/win/hid_backend.h"
#include "monitor/monitor_view.h"
#include "sim_data_sets.h"
#include "vusb_install.h"

ServedUnit UsbTest::unitK;
ServedUnit UsbTest::unitM;
ServedUnit UsbTest::decoy;
ServedUnit* UsbTest::plugged = nullptr;

namespace {

bool unitPresent()
{
    for (const HidDeviceEntry& device : presentHidDevices())
        if (device.vendorId == 0xC251)
            return true;
    return false;
}

} // namespace

class UsbEnvironment : public ::testing::Environment {
public:
    void SetUp() override { UsbTest::setUpUnits(); }
    void TearDown() override { UsbTest::tearDownUnits(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new UsbEnvironment);

void UsbTest::setUpUnits()
{
    unitK.start('K', 1200, [](SimOptions& o) {
        o.switchedOn = false;
        o.product = "Polarund K \xFC" "ber USB";
    });
    unitM.start('M', 25, [](SimOptions& o) { o.switchedOn = false; });
    decoy.start('K', 25, [](SimOptions& o) {
        o.switchedOn = false;
        o.vendorId = decoyVendorId;
        o.product = "Another vendor's device";
    });
    plug(unitK);
}

void UsbTest::tearDownUnits()
{
    std::string error;
    EXPECT_TRUE(removeVirtualUsb(error)) << error;
    unitK.stop();
    unitM.stop();
    decoy.stop();
}

void UsbTest::plug(ServedUnit& unit)
{
    std::string error;
    if (plugged != &unit) {
        if (plugged) {
            ASSERT_TRUE(installVirtualUsb(wineSidePathW(KAVIX_VUSB_DIR), {decoy.endpoint}, error)) << error;
            ASSERT_TRUE(waitForUnit(false));
        }
        ASSERT_TRUE(installVirtualUsb(wineSidePathW(KAVIX_VUSB_DIR), {decoy.endpoint, unit.endpoint}, error)) << error;
        plugged = &unit;
    }
    writeDelay(0);
    ASSERT_TRUE(waitForUnit(true));
}

void UsbTest::writeDelay(unsigned ms)
{
    std::string error;
    EXPECT_TRUE(setVirtualUsbWriteDelay(ms, error)) << error;
}

bool UsbTest::waitForUnit(bool present, int timeoutMs)
{
    return pumpUntil([present] { return unitPresent() == present; }, timeoutMs);
}

void UsbTest::SetUp()
{
    ProgramTest::SetUp();
    // No remote unit: the program takes the HID backend.
    _putenv_s("KAVIX_UNIT", "");
    setRemoteUnitEndpoint("");
}

void UsbTest::TearDown()
{
    ProgramTest::TearDown();
    failHidTransferSetups(0);
    writeDelay(0);
}

void UsbTest::switchFirstOutputByHand(HWND monitor)
{
    ASSERT_TRUE(pumpUntil([monitor] { return IsWindowEnabled(GetDlgItem(monitor, idManualToggle)) != FALSE; }));
    click(monitor, idManualToggle);
    click(monitor, 0);
    EXPECT_TRUE(pumpUntil([] { return (unitK.live().outputs & 0x01) != 0; }));
    click(monitor, 0);
    EXPECT_TRUE(pumpUntil([] { return (unitK.live().outputs & 0x01) == 0; }));
}

void UsbTest::startOnUsb(int languageId, int familyId)
{
    ASSERT_NE(start(), nullptr);
    ASSERT_STREQ(deviceBackend().name, "hid");
    confirmSelection(languageId, familyId);
}

int processThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    CloseHandle(snapshot);
    return count;
}

int processHandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

