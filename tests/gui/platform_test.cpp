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
