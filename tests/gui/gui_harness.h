#pragma once
// Drives the real program inside the test process, started as WinMain
// starts it, in a fresh current directory: message boxes are recorded,
// file dialogs answered, and the unit is a simulated one served on the
// loopback (none, unless a test serves one).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/layout.h"
#include "app/window_table.h"
#include "gui_pump.h"
#include "served_unit.h"
#include "sim_blocks.h"
#include "sim_server.h"
#include "sim_unit.h"
#include "temp_dir.h"

struct RecordedMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

// A file dialog as it was opened.
struct DialogRecord {
    bool save;
    DWORD flags;
    DWORD filterIndex;
    std::string offered;      // the name in the buffer when it opened
    std::string defaultExtension;
    DWORD maxFile;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up as WinMain does it; waits for the selection window.
    HWND start();
    // Start-up, then language and family confirmed in the selection window.
    void startAs(int languageId, int familyId);
    void confirmSelection(int languageId, int familyId);
    // Closes the main window the way its close box does and waits for the
    // message loop's end.
    bool closeMainWindow();

    // The unit the program finds from now on (KAVIX_UNIT); it replaces the
    // one served before.
    ServedUnit& serveUnit(char family, std::uint32_t protocolEntries = 0, const ServedUnit::Adjust& adjust = nullptr);
    // Changes the served unit while it serves.
    template <typename Change>
    void changeUnit(Change change)
    {
        unit_.change(change);
    }

    HWND main() const { return main_; }
    HWND selection() const { return childOfClass(main_, "Select_CUx"); }
    // The chosen family's window of a class ("Monitor_CU" ...).
    HWND familyWindow(const char* classBase) const;
    void menuCommand(int id)
    {
        PostMessageA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0);
        pumpFor(50);
    }
    void click(HWND parent, int controlId);
    void closeWindow(HWND window);
    bool menuItemGrey(int id) const;

    // Message boxes shown since the last call, oldest first.
    std::vector<RecordedMessageBox> takeMessageBoxes();
    // Waits for count boxes and takes them; a failure if another number came
    // (the list then still has count records, empty ones).
    std::vector<RecordedMessageBox> takeBoxes(std::size_t count, int waitMs = 5000);
    // Pumps until count boxes wait to be taken; false if they do not come.
    bool waitForMessageBoxes(std::size_t count, int waitMs = 5000);
    // The same as "text [caption]" joined by " + ", after waiting up to waitMs
    // for the first; "" if none came.
    std::string shownMessages(int waitMs = 10000);
    void expectBox(const RecordedMessageBox& box, const std::string& text, const char* caption,
                   UINT icon = MB_ICONERROR);

    // Answers the next file dialogs with this path (empty: cancel).
    void answerFileDialogs(const std::string& path);
    const std::vector<DialogRecord>& dialogs() const;

    std::filesystem::path settingsFile() const { return dir_.path() / "kavix.ini"; }

    TempDir dir_;
    ServedUnit unit_;

private:
    std::filesystem::path previousDir_;
    HWND main_ = nullptr;
    std::uintptr_t noUnitSocket_ = 0;   // keeps the "no unit" port ours
};
