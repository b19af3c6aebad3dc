#pragma once
// A started program with both configuration windows linked in, opened from
// the menu as the user does, and helpers that work their controls.
#include "gui_harness.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/config_window_ids.h"
#include "sim_blocks.h"
#include "sim_server.h"
#include "sim_unit.h"

class ConfigWindowTest : public ShellTest {
protected:
    void TearDown() override;

    // Starts, confirms language and family, opens "Configuration" and waits
    // for the read posted at opening to have ended in a message box (unless
    // told not to).
    HWND openAs(int languageId, int familyId, bool waitForRead = true);

    // A simulated unit of the family ('K' or 'M') reached as the program
    // reaches the simulator; without a configuration it refuses every read.
    void attachUnit(char family, const std::vector<std::uint8_t>* configuration);
    SimUnit& unit() { return *unit_; }
    SimBlockStore& store() { return store_; }
    // The unit's configuration as programming left it, read under its lock.
    std::vector<std::uint8_t> unitConfiguration();

    HWND window() const { return window_; }
    HWND control(int row, RowPart part) const { return GetDlgItem(window_, rowControlId(row, part)); }
    std::string rowText(int row, RowPart part) const { return windowText(control(row, part)); }
    int numberValue(int row) const;
    // The list's selected item as text, "" when it shows none.
    std::string listText(int row) const;
    int listIndex(int row) const;
    int listCount(int row) const;
    // The arrows' range and position.
    void arrowRange(int row, int& min, int& max) const;
    bool enabled(int row, RowPart part) const { return IsWindowEnabled(control(row, part)) != FALSE; }
    bool buttonEnabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }

    // A mouse click on the upper or lower arrow of a row.
    void clickArrow(int row, bool up, int times = 1);
    // Chooses a list item as the user does: selection, then the notification.
    void chooseItem(int row, int index);
    void clickButton(int id) { click(window_, id); }

    // The message boxes recorded since the last call.
    std::vector<RecordedMessageBox> takeMessageBoxes();

    // Writes a screenshot of the main window when KAVIX_CONFIG_SHOTS names a
    // folder (for looking at the windows; not checked).
    void screenshot(const char* name);

    HWND window_ = nullptr;
    std::unique_ptr<SimUnit> unit_;
    SimBlockStore store_;
    SimServer* server_ = nullptr;
};

// Answers the next file dialogs with this path (empty: cancel) and records
// how each was opened.
struct DialogRecord {
    bool save;
    DWORD flags;
    DWORD filterIndex;
    const char* fileBuffer;
    std::string offered;      // the name in the buffer when it opened
};
void answerFileDialogs(const std::string& path);
std::vector<DialogRecord>& recordedDialogs();
