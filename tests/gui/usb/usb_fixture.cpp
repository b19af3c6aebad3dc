#include "usb_fixture.h"

#include <tlhelp32.h>

#include "app/window_procedures.h"
#include "app/window_table.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/win/hid_backend.h"
#include "sim_data_sets.h"
#include "vusb_install.h"

ServedUnit UsbTest::unitK;
ServedUnit UsbTest::unitM;
ServedUnit UsbTest::decoy;
ServedUnit* UsbTest::plugged = nullptr;

namespace {

// The build tree's folder of the virtual USB unit, as Wine sees it.
std::wstring vusbFolder()
{
    std::string path = KAVIX_VUSB_DIR;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return std::wstring(path.begin(), path.end());
}

bool unitPresent()
{
    for (const HidDeviceEntry& device : presentHidDevices())
        if (device.vendorId == 0xC251)
            return true;
    return false;
}

} // namespace

void ServedUnit::start(char family, std::uint32_t protocolEntries, void (*adjust)(SimOptions&))
{
    SimOptions options = defaultSimOptions(family);
    options.switchedOn = false;
    if (adjust)
        adjust(options);
    unit = std::make_unique<SimUnit>();
    initSimUnit(*unit, options);
    fillFamilyDataSets(store, family, factoryConfiguration(family), protocolEntries);
    useBlockStore(*unit, store);
    server = startSimServer(*unit, "127.0.0.1", 0);
    ASSERT_NE(server, nullptr);
    endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));
}

void ServedUnit::stop()
{
    if (server)
        stopSimServer(server);
    server = nullptr;
}

std::uint32_t ServedUnit::requestsSeen()
{
    std::lock_guard<std::mutex> hold(unit->lock);
    return unit->requestsSeen;
}

class UsbEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        UsbTest::setUpUnits();
    }
    void TearDown() override
    {
        UsbTest::tearDownUnits();
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new UsbEnvironment);

void UsbTest::setUpUnits()
{
    unitK.start('K', 1200, [](SimOptions& o) { o.product = "Polarund K \xFC" "ber USB"; });
    unitM.start('M', 25);
    decoy.start('K', 25, [](SimOptions& o) {
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
            ASSERT_TRUE(installVirtualUsb(vusbFolder(), {decoy.endpoint}, error)) << error;
            ASSERT_TRUE(waitForUnit(false));
        }
        ASSERT_TRUE(installVirtualUsb(vusbFolder(), {decoy.endpoint, unit.endpoint}, error)) << error;
        plugged = &unit;
    }
    ASSERT_TRUE(setVirtualUsbWriteDelay(0, error)) << error;
    ASSERT_TRUE(waitForUnit(true));
}

bool UsbTest::waitForUnit(bool present, int timeoutMs)
{
    return pumpUntil([present] { return unitPresent() == present; }, timeoutMs);
}

void UsbTest::TearDown()
{
    ShellTest::TearDown();
    failHidRelayStarts(0);
    std::string error;
    EXPECT_TRUE(setVirtualUsbWriteDelay(0, error)) << error;
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}

void UsbTest::startProgram(int languageId, int familyId)
{
    installProgramParts();
    ASSERT_NE(start(programWindowProcedures()), nullptr);
    ASSERT_STREQ(deviceBackend().name, "hid");
    confirmSelection(languageId, familyId);
}

HWND UsbTest::familyWindow(const char* classBase) const
{
    return childOfClass(main(), (classBase + std::string(appState.family == 1 ? "1" : "0")).c_str());
}

void UsbTest::closeWindow(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
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

