#pragma once
// A started program with both configuration windows linked in, opened from
// the menu as the user does, and helpers that work their controls.
#include "gui_harness.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/layout.h"
#include "config/config_window_ids.h"
#include "sim_blocks.h"
#include "sim_server.h"
#include "sim_unit.h"

// Answers the next file dialogs with this path (empty: cancel) and records
// how each was opened.
struct DialogRecord {
    bool save;
    DWORD flags;
    DWORD filterIndex;
    std::string offered;      // the name in the buffer when it opened
};
void answerFileDialogs(const std::string& path);
std::vector<DialogRecord>& recordedDialogs();

inline void expectBox(const RecordedMessageBox& box, const char* text, const char* caption,
                      UINT icon = MB_ICONERROR)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(static_cast<UINT>(box.type & MB_ICONMASK), icon);
}

class ConfigWindowTest : public ShellTest {
protected:
    void TearDown() override;

    // Starts, confirms language and family, opens "Configuration" and waits
    // for the read posted at opening to have ended in a message box (unless
    // told not to).
    HWND openAs(int languageId, int familyId, bool waitForRead = true);

    // A simulated unit of the family ('K' or 'M') with this configuration,
    // reached as the program reaches the simulator.
    void attachUnit(char family, const std::vector<std::uint8_t>& configuration);

    HWND window() const { return window_; }
    HWND control(int row, RowPart part) const { return GetDlgItem(window_, rowControlId(row, part)); }
    std::string rowText(int row, RowPart part) const { return windowText(control(row, part)); }
    int numberValue(int row) const { return std::atoi(rowText(row, partValue).c_str()); }
    bool enabled(int row, RowPart part) const { return IsWindowEnabled(control(row, part)) != FALSE; }
    bool buttonEnabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
    void clickButton(int id) { click(window_, id); }

    // The list's selected item as text, "" when it shows none.
    std::string listText(int row) const
    {
        char item[64] = {};
        const LRESULT index = SendMessageA(control(row, partValue), CB_GETCURSEL, 0, 0);
        if (index != CB_ERR)
            SendMessageA(control(row, partValue), CB_GETLBTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(item));
        return item;
    }
    // The arrows' range as "min..max".
    std::string arrowRange(int row) const
    {
        int min = 0, max = 0;
        SendMessageA(control(row, partArrows), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min),
                     reinterpret_cast<LPARAM>(&max));
        return std::to_string(min) + ".." + std::to_string(max);
    }

    // A mouse click on the upper or lower arrow of a row.
    void clickArrow(int row, bool up, int times = 1);
    // Chooses a list item as the user does: selection, then the notification.
    void chooseItem(int row, int index);

    // The message boxes recorded since the last call.
    std::vector<RecordedMessageBox> takeMessageBoxes()
    {
        std::vector<RecordedMessageBox> boxes;
        boxes.swap(recordedMessageBoxes());
        return boxes;
    }

    HWND window_ = nullptr;
    std::unique_ptr<SimUnit> unit_;
    SimBlockStore store_;
    SimServer* server_ = nullptr;
};
