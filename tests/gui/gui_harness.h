#pragma once
// Drives the real program windows inside the test process: starts the shell
// in a fresh current directory, records message boxes instead of showing
// them, pumps messages until a condition holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "temp_dir.h"

#include "gui_pump.h"

struct RecordedMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

// Message boxes shown since the session started, oldest first.
std::vector<RecordedMessageBox>& recordedMessageBoxes();

// The message boxes shown since the last call, as "text [caption]" joined
// by " + ", after waiting up to waitMs for the first; "" if none came.
std::string shownMessages(int waitMs = 10000);

// A fresh start of the program for each test.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up as WinMain does it; features default to none.
    HWND start(const WindowProcTable& features = WindowProcTable{});
    // Closes the main window the way its close box does and waits for the
    // message loop's end.
    bool closeMainWindow();

    HWND main() const { return main_; }
    HWND selection() const { return childOfClass(main_, "Select_CUx"); }
    void menuCommand(int id);
    void click(HWND parent, int controlId);
    bool menuItemGrey(int id) const;
    bool hasMenu() const { return GetMenu(main_) != nullptr; }
    // Chooses language and family in the open selection window and confirms.
    void confirmSelection(int languageId, int familyId);

    std::filesystem::path settingsFile() const { return dir_.path() / "kavix.ini"; }

    TempDir dir_;
    std::filesystem::path previousDir_;
    HWND main_ = nullptr;
    bool quit_ = false;
};
