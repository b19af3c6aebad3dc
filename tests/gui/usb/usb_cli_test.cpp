// kavix-cli.exe on the real USB path under Wine: it reads and programs the
// virtual USB unit, its files equal the ones kavix.exe saves for the same
// unit, and its serve command lets kavix.exe, attached over the TCP wire,
// configure and monitor the unit.
#include "usb_fixture.h"

#include "app/window_table.h"
#include "config/config_file.h"
#include "config/config_window_ids.h"
#include "config/k_parameters.h"
#include "link/net_socket.h"
#include "link/remote_unit.h"
#include "monitor/monitor_view.h"
#include "sim_data_sets.h"
#include "vusb_install.h"

namespace {

std::string winPath(const std::filesystem::path& path) { return path.string(); }

struct Child {
    PROCESS_INFORMATION process{};
    bool started = false;

    explicit Child(const std::string& arguments)
    {
        // Appended piece by piece: g++ 12 warns (-Wrestrict) wrongly on a
        // literal + std::string here.
        std::string command(1, '"');
        command += wineSidePath(KAVIX_CLI_EXE);
        command += "\" ";
        command += arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                 nullptr, &startup, &process) != FALSE;
    }
    ~Child()
    {
        if (!started)
            return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // The exit code, pumping this thread's messages meanwhile; 999 when it
    // does not end in time.
    DWORD finish(int timeoutMs = 60000)
    {
        if (!started)
            return 998;
        if (!pumpUntil([this] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs))
            return 999;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
};

DWORD runCli(const std::string& arguments) { return Child(arguments).finish(); }

std::uint16_t freePort()
{
    const NetSocket probe = netListen("127.0.0.1", 0);
    const std::uint16_t port = netLocalPort(probe);
    netClose(probe);
    return port;
}

class UsbCliTest : public UsbTest {
protected:
    std::string file(const std::string& name) { return winPath(dir_.path() / name); }
};

TEST_F(UsbCliTest, ReadsAndProgramsTheUnitOverUsb)
{
    plug(unitK);
    EXPECT_EQ(runCli("info"), 0u);
    ASSERT_EQ(runCli("config read -o \"" + file("unit.cbf") + "\""), 0u);
    KParameterBlock block;
    ASSERT_EQ(loadConfigFile(file("unit.cbf"), kSeriesConfigFile, &block), 0);
    block.CanAddress = static_cast<std::uint8_t>(block.CanAddress == 5 ? 6 : 5);
    ASSERT_EQ(saveConfigFile(file("changed.cbf"), kSeriesConfigFile, &block), 0);

    // Programmed, read back and compared by kavix-cli itself (exit code 10
    // otherwise).
    ASSERT_EQ(runCli("config program \"" + file("changed.cbf") + "\""), 0u);
    unitK.change([&](SimUnit&, SimBlockStore& store) {
        ASSERT_EQ(store.configuration.bytes.size(), sizeof block);
        EXPECT_EQ(std::memcmp(store.configuration.bytes.data(), &block, sizeof block), 0);
    });
    // An M-Series file is refused: wrong unit.
    ASSERT_EQ(saveConfigFile(file("m.cbf"), mSeriesConfigFile, factoryConfiguration('M').data()), 0);
    EXPECT_EQ(runCli("config program \"" + file("m.cbf") + "\""), 4u);
}

TEST_F(UsbCliTest, FilesEqualTheOnesTheProgramSavesForTheSameUnit)
{
    plug(unitK);
    startOnUsb(selectionIdEnglish, selectionIdK);
    menuCommand(commandConfiguration);
    ASSERT_EQ(shownMessages(), "Device-Configuration read ! [K-Series]");
    answerFileDialogs(file("program.cbf"));
    click(familyWindow("Configuration_CU"), configButtonSaveFile);
    EXPECT_EQ(shownMessages(0), "");
    closeWindow(familyWindow("Configuration_CU"));

    menuCommand(commandProtocolRead);
    ASSERT_EQ(shownMessages(30000), "1200 protocol-items read ! [K-Series]");
    answerFileDialogs(file("program.csv"));
    menuCommand(commandProtocolSave);
    ASSERT_EQ(shownMessages(), "Protocol-File saved ! [K-Series]");

    ASSERT_EQ(runCli("config read -o \"" + file("cli.cbf") + "\""), 0u);
    ASSERT_EQ(runCli("protocol -o \"" + file("cli.csv") + "\""), 0u);
    EXPECT_EQ(readBytes(file("cli.cbf")), readBytes(file("program.cbf")));
    const std::vector<unsigned char> csv = readBytes(file("cli.csv"));
    EXPECT_GT(csv.size(), 1200u * 20);
    EXPECT_EQ(csv, readBytes(file("program.csv")));
}

TEST_F(UsbCliTest, ServeLetsTheProgramConfigureAndMonitorTheUsbUnit)
{
    plug(unitK);
    const std::uint16_t port = freePort();
    Child serve("serve --port " + std::to_string(port));
    ASSERT_TRUE(serve.started);
    ASSERT_TRUE(pumpUntil([port] {
        const NetSocket probe = netConnect("127.0.0.1", port, 200);
        netClose(probe);
        return probe != invalidSocket;
    }, 20000));

    // kavix.exe elsewhere, attached through the tunnel's end.
    const std::string endpoint = "127.0.0.1:" + std::to_string(port);
    _putenv_s("KAVIX_UNIT", endpoint.c_str());
    setRemoteUnitEndpoint(endpoint.c_str());
    ASSERT_NE(start(), nullptr);
    ASSERT_STREQ(deviceBackend().name, "remote");
    confirmSelection(selectionIdEnglish, selectionIdK);

    const std::uint32_t programmings = unitK.change([](SimUnit&, SimBlockStore& s) { return s.programmings; });
    menuCommand(commandConfiguration);
    ASSERT_EQ(shownMessages(), "Device-Configuration read ! [K-Series]");
    HWND config = familyWindow("Configuration_CU");
    EXPECT_NE(windowText(config).find("Polarund K \xFC" "ber USB"), std::string::npos);
    click(config, configButtonProgram);
    EXPECT_NE(shownMessages().find("New Configuration programmed !"), std::string::npos);
    EXPECT_EQ(unitK.change([](SimUnit&, SimBlockStore& s) { return s.programmings; }), programmings + 1);
    closeWindow(config);

    menuCommand(commandMonitor);
    HWND monitor = familyWindow("Monitor_CU");
    ASSERT_TRUE(pumpUntil([monitor] { return windowText(monitor).find("Firmware 1.23") != std::string::npos; }));
    switchFirstOutputByHand(monitor);
    click(monitor, idClose);
    EXPECT_EQ(shownMessages(0), "");
}

} // namespace
