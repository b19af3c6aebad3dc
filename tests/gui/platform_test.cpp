#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_table.h"
#include "resource_ids.h"

// The program hands its Windows-1252 texts to the ANSI API, so the process
// must run with that code page.
TEST(WindowsPlatform, AnsiCodePageIs1252)
{
    EXPECT_EQ(GetACP(), 1252u);
}

namespace {

struct MenuItem {
    std::string label;
    UINT id;
    bool popup;
};

std::vector<MenuItem> items(HMENU menu)
{
    std::vector<MenuItem> result;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char label[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        result.push_back({label, sub ? 0u : GetMenuItemID(menu, i), sub != nullptr});
    }
    return result;
}

void expectMenu(const char* name, const std::vector<std::string>& bar,
                const std::vector<std::string>& protocol)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), name);
    ASSERT_NE(menu, nullptr) << name;
    const auto top = items(menu);
    const UINT barIds[] = {IDM_CONFIGURATION, IDM_RUN_COUNTER, IDM_MONITOR, 0, IDM_SELECTION, IDM_INFO};
    ASSERT_EQ(top.size(), 6u);
    for (std::size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i].label, bar[i]) << name << " position " << i;
        EXPECT_EQ(top[i].popup, i == 3) << name << " position " << i;
        EXPECT_EQ(top[i].id, barIds[i]) << name << " position " << i;
    }
    const auto sub = items(GetSubMenu(menu, 3));
    ASSERT_EQ(sub.size(), 3u);
    const UINT subIds[] = {IDM_PROTOCOL_READ, IDM_PROTOCOL_DISPLAY, IDM_PROTOCOL_SAVE};
    for (std::size_t i = 0; i < sub.size(); ++i) {
        EXPECT_EQ(sub[i].label, protocol[i]) << name << " pop-up item " << i;
        EXPECT_EQ(sub[i].id, subIds[i]);
    }
    DestroyMenu(menu);
}

} // namespace

TEST(WindowsPlatform, MenuResourcesOfBothLanguages)
{
    expectMenu("Menue_KAVIX_0",
               {"&Konfiguration", "&Betriebsz\xE4hler", "Monitor", "&Fehler-Protokoll",
                "Sprache/Anlage", "&Info"},
               {"&Lesen", "&Anzeigen", "&Sichern"});
    expectMenu("Menue_KAVIX_1",
               {"&Configuration", "&Running Counter", "Monitor", "&Failure Protocol",
                "Language/Device", "&Info"},
               {"&Read", "&Display", "&Save"});
}

// The version resource and the info box name the same version.
TEST(WindowsPlatform, VersionResourceMatchesTheInfoBox)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 14u);

    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    const std::string version = std::string("V") + text;
    EXPECT_EQ(std::string(infoBoxText).substr(0, version.size() + 1), version + "\n");
}
