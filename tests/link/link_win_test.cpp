// Windows only: the HID backend and the window side of the link, under Wine.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/texts.h"
#include "fake_device.h"
#include "app/ui_seams.h"
#include "link/device_discovery.h"
#include "link/remote_unit.h"
#include "link/win/feature_link.h"
#include "link/win/hid_backend.h"
#include "link_test_support.h"
#include "sim_server.h"

namespace {

struct ShownBox {
    std::string text, caption;
    UINT type;
};
std::vector<ShownBox> shownBoxes;

int recordBox(HWND, const char* text, const char* caption, UINT type)
{
    shownBoxes.push_back({text, caption, type});
    return IDOK;
}

class LinkWindowTest : public LinkFixture {
protected:
    HWND window = nullptr;
    const int controls[1] = {80};

    void SetUp() override
    {
        LinkFixture::SetUp();
        selectLanguageTexts(1);
        shownBoxes.clear();
        setMessageBoxHook(recordBox);
        window = CreateWindowExA(0, "STATIC", "Monitor", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        CreateWindowExA(0, "BUTTON", "Start", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(80)), GetModuleHandleA(nullptr), nullptr);
        appState.featureWindow = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window));
    }

    void TearDown() override
    {
        LinkFixture::TearDown();
        setMessageBoxHook(nullptr);
        DestroyWindow(window);
        setDeviceBackend(nullptr);
    }

    FeatureLinkWindow feature(FeatureKind kind, const char* suffix = nullptr)
    {
        FeatureLinkWindow result;
        result.window = window;
        result.feature = kind;
        result.controlIds = controls;
        result.controlCount = 1;
        result.titleSuffix = suffix;
        return result;
    }

    std::string title()
    {
        char buffer[256] = {};
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }

    bool buttonEnabled() { return IsWindowEnabled(GetDlgItem(window, 80)) != FALSE; }

    // Pumps this thread's queue until the window receives the message.
    bool receive(UINT wanted, MSG& found, int timeoutMs)
    {
        auto start = Clock::now();
        while (msSince(start) < timeoutMs) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.hwnd == window && message.message == wanted) {
                    found = message;
                    return true;
                }
                DispatchMessageA(&message);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    }
};

TEST_F(LinkWindowTest, HidEnumerationWithoutAUnitShowsNoControlUnitFound)
{
    setDeviceBackend(&hidBackend);
    SetWindowTextA(window, "anything");
    char product[65] = "";
    EXPECT_FALSE(startFeatureLink(feature(featureConfigK), pollEngine, &linkRequest, product));
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "No Control Unit found");
    EXPECT_EQ(shownBoxes[0].caption, "K-Series");
    EXPECT_EQ(shownBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(title(), "Configuration:");
    EXPECT_EQ(appState.linkOpen, 0);
}

TEST_F(LinkWindowTest, AUnitThatCannotBeOpenedAfterTheSearchIsNotConnected)
{
    fake::install();
    fake::setDevices({{"unit", 0xC251, 0x1C01}});
    fake::setOpenFails(true);
    SetWindowTextA(window, "Monitor");
    char product[65] = "";
    EXPECT_FALSE(startFeatureLink(feature(featureMonitorM), pollEngine, &linkRequest, product));
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "No Control Unit Connected !");
    EXPECT_EQ(shownBoxes[0].caption, "M-Series");
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(buttonEnabled());
}

TEST_F(LinkWindowTest, StartSequenceAgainstTheSimulatorDeliversPollsToTheWindow)
{
    SimUnit unit;
    initSimUnit(unit, defaultSimOptions('K'));
    SimServer* server = startSimServer(unit, "127.0.0.1", 0);
    ASSERT_NE(server, nullptr);
    setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server))).c_str());
    setDeviceBackend(&remoteUnitBackend);
    useWindowNotifications();

    char product[65] = "";
    const FeatureLinkWindow monitor = feature(featureMonitorK, "Firmware ?.?");
    ASSERT_TRUE(ensureCommonControls(window, featureMonitorK));
    ASSERT_TRUE(startFeatureLink(monitor, pollEngine, &linkRequest, product));
    EXPECT_STREQ(product, "ControlUnitK Simulator");
    EXPECT_EQ(title(), "Monitor: Connect to: ControlUnitK SimulatorFirmware ?.?");
    EXPECT_EQ(appState.linkOpen, 1);
    EXPECT_FALSE(buttonEnabled());

    MSG data;
    ASSERT_TRUE(receive(WM_LINK_DATA, data, 3000));
    EXPECT_EQ(data.wParam, static_cast<WPARAM>(cmdPoll));
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(data.lParam), lastAnswer + 4);

    dropSimConnections(server);
    MSG end;
    ASSERT_TRUE(receive(WM_LINK_END, end, 3000));
    EndReaction reaction = reactToLinkEnd(monitor, end.wParam, end.lParam);
    EXPECT_TRUE(reaction.show);
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(buttonEnabled());
    ASSERT_EQ(shownBoxes.size(), 1u);
    EXPECT_EQ(shownBoxes[0].text, "USB-Error !");
    stopSimServer(server);
    setRemoteUnitEndpoint("");
    setNotificationPoster(nullptr, nullptr);
}

TEST_F(LinkWindowTest, TheProgramUsesTheRemoteUnitOnlyWhenKavixUnitIsSet)
{
    _putenv_s("KAVIX_UNIT", "127.0.0.1:47251");
    prepareProgramLink();
    EXPECT_STREQ(deviceBackend().name, "remote");
    _putenv_s("KAVIX_UNIT", "");
    prepareProgramLink();
    EXPECT_STREQ(deviceBackend().name, "hid");
    setNotificationPoster(nullptr, nullptr);
    setRemoteUnitEndpoint("");
}

TEST_F(LinkWindowTest, EndReactionsShowTheirTextsWithTheFamilyCaption)
{
    const std::uint8_t answer[4] = {0, 2, 5, 1};
    reactToLinkEnd(feature(featureConfigM), 1, reinterpret_cast<LPARAM>(answer));
    reactToLinkEnd(feature(featureConfigK), 1, reinterpret_cast<LPARAM>(answer));
    reactToLinkEnd(feature(featureConfigM), 3, 0);
    const FeatureLinkWindow counters = feature(featureCountersK);
    EndReaction completion = reactToLinkEnd(counters, 5, 0);
    EXPECT_TRUE(completion.windowCompletion);
    ASSERT_EQ(shownBoxes.size(), 3u);
    EXPECT_EQ(shownBoxes[0].text, "Firmware (1.05) of ControlUnitM not match !");
    EXPECT_EQ(shownBoxes[0].caption, "M-Series");
    EXPECT_EQ(shownBoxes[1].text, "False ControlUnit (M-Series) connected !");
    EXPECT_EQ(shownBoxes[1].caption, "K-Series");
    EXPECT_EQ(shownBoxes[2].text, "New Configuration programmed !");
    EXPECT_EQ(shownBoxes[2].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

} // namespace
