#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_table.h"

// The program hands its Windows-1252 texts to the ANSI API, so the process
// must run with that code page.
TEST(WindowsPlatform, AnsiCodePageIs1252)
{
    EXPECT_EQ(GetACP(), 1252u);
}

namespace {

// "label=id" per item, a pop-up as "label{items}".
std::string describe(HMENU menu)
{
    std::string out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char label[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), label, sizeof label, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        out.append(i ? "|" : "").append(label);
        if (sub)
            out.append("{").append(describe(sub)).append("}");
        else
            out.append("=").append(std::to_string(GetMenuItemID(menu, i)));
    }
    return out;
}

} // namespace

TEST(WindowsPlatform, MenuResourcesOfBothLanguages)
{
    const struct { const char* name; const char* items; } menus[] = {
        {"Menue_KAVIX_0", "&Konfiguration=10|&Betriebsz\xE4hler=20|Monitor=30|"
                          "&Fehler-Protokoll{&Lesen=40|&Anzeigen=41|&Sichern=42}|Sprache/Anlage=50|&Info=60"},
        {"Menue_KAVIX_1", "&Configuration=10|&Running Counter=20|Monitor=30|"
                          "&Failure Protocol{&Read=40|&Display=41|&Save=42}|Language/Device=50|&Info=60"}};
    for (const auto& m : menus) {
        HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), m.name);
        ASSERT_NE(menu, nullptr) << m.name;
        EXPECT_EQ(describe(menu), m.items);
        DestroyMenu(menu);
    }
}

// The version resource and the info box name the same version.
TEST(WindowsPlatform, VersionResourceMatchesTheInfoBox)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    char* text = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 14u);
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::string(infoBoxText).rfind(std::string("V") + text + "\n", 0), 0u);
}
