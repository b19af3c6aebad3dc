// Windows only: the HID backend and the window side of the link, under Wine.
// (The feature windows' own tests drive the rest of it against the
// simulator: titles, notifications, end reactions.)
#include <windows.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "app/ui_seams.h"
#include "app/feature_link.h"
#include "link/win/hid_backend.h"
#include "link_test_support.h"

namespace {

std::vector<std::string> shownBoxes;

int recordBox(HWND, const char* text, const char* caption, UINT type)
{
    shownBoxes.push_back(std::string(text) + " [" + caption + "] " + std::to_string(type));
    return IDOK;
}

class LinkWindowTest : public LinkFixture {};

TEST_F(LinkWindowTest, NoUnitFoundByHidOrNoneConnectedAfterTheSearch)
{
    selectLanguageTexts(1);
    setMessageBoxHook(recordBox);
    HWND window = CreateWindowExA(0, "STATIC", "anything", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    char product[65] = "";
    setDeviceBackend(&hidBackend);   // enumerates the machine's HID devices: no unit here
    EXPECT_FALSE(startFeatureLink({window, Feature::configuration, Family::k}, pollEngine, &linkRequest, product));
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Configuration:");

    fake::install({.devices = {{"unit", 0xC251, 0x1C01}}, .openFails = true});
    EXPECT_FALSE(startFeatureLink({window, Feature::monitor, Family::m}, pollEngine, &linkRequest, product));
    const std::string error = " " + std::to_string(MB_OK | MB_ICONERROR);
    EXPECT_EQ(shownBoxes, (std::vector<std::string>{"No Control Unit found [K-Series]" + error,
                                                    "No Control Unit Connected ! [M-Series]" + error}));
    EXPECT_EQ(appState.linkOpen, 0);
    setMessageBoxHook(nullptr);
    DestroyWindow(window);
}

TEST_F(LinkWindowTest, TheProgramUsesTheRemoteUnitOnlyWhenKavixUnitIsSet)
{
    _putenv_s("KAVIX_UNIT", "127.0.0.1:47251");
    prepareProgramLink();
    EXPECT_STREQ(deviceBackend().name, "remote");
    _putenv_s("KAVIX_UNIT", "");
    prepareProgramLink();
    EXPECT_STREQ(deviceBackend().name, "hid");
}

} // namespace
