// Windows only: the window side of the link and the program's choice of
// backend. Devices come from the fake backend, so nothing plugged into the
// machine matters. (The feature windows' own tests drive the rest of it
// against the simulator: titles, notifications, end reactions.)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/feature_link.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "link_test_support.h"

namespace {

std::vector<std::string> shownBoxes;

int recordBox(HWND, const char* text, const char* caption, UINT type)
{
    char shown[200];
    std::snprintf(shown, sizeof shown, "%s [%s] %u", text, caption, type);
    shownBoxes.push_back(shown);
    return IDOK;
}

class LinkWindowTest : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        shownBoxes.clear();
        selectLanguageTexts(1);
        setMessageBoxHook(recordBox);
        window_ = CreateWindowExA(0, "STATIC", "anything", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        setMessageBoxHook(nullptr);
        LinkFixture::TearDown();
    }
    HWND window_ = nullptr;
};

TEST_F(LinkWindowTest, NoUnitFoundOrNoneConnectedAfterTheSearch)
{
    char product[65] = "";
    fake::install({.devices = {{"other", 0x1209, 0x1C01}}});
    EXPECT_FALSE(startFeatureLink({window_, Feature::configuration, Family::k}, pollEngine, &linkRequest, product));
    char title[64] = "";
    GetWindowTextA(window_, title, sizeof title);
    EXPECT_STREQ(title, "Configuration:");

    fake::install({.devices = {{"unit", 0xC251, 0x1C01}}, .openFails = true});
    EXPECT_FALSE(startFeatureLink({window_, Feature::monitor, Family::m}, pollEngine, &linkRequest, product));
    // 16: OK with the error icon.
    EXPECT_EQ(shownBoxes, (std::vector<std::string>{"No Control Unit found [K-Series] 16",
                                                    "No Control Unit Connected ! [M-Series] 16"}));
    EXPECT_FALSE(linkIsOpen());
}

} // namespace
