#pragma once
// The configuration windows in the started program, opened from the menu as
// the user does, and helpers that work their controls.
#include "gui_harness.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/config_window_ids.h"

class ConfigWindowTest : public ProgramTest {
protected:
    // Starts, confirms language and family, opens "Configuration" and waits
    // for the read posted at opening to end in a message box (unless told not to).
    HWND openAs(int languageId, int familyId, bool waitForRead = true)
    {
        startAs(languageId, familyId);
        menuCommand(commandConfiguration);
        window_ = familyWindow("Configuration_CU");
        if (waitForRead)
            waitForMessageBoxes(1);
        return window_;
    }

    // A simulated unit of the family ('K' or 'M') with this configuration.
    void attachUnit(char family, const std::vector<std::uint8_t>& configuration)
    {
        serveUnit(family);
        changeUnit([&](SimUnit&, SimBlockStore& store) { setSimDataSet(store, 0x35, configuration, 32, 1); });
    }

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
    // Mouse clicks on the upper or lower arrow of a row.
    void clickArrow(int row, bool up, int times = 1)
    {
        clickArrows(control(row, partArrows), up, times);
        pumpFor(10);
    }
    // Chooses a list item as the user does: selection, then the notification.
    void chooseItem(int row, int index)
    {
        HWND list = control(row, partValue);
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(rowControlId(row, partValue), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        pumpFor(10);
    }

    HWND window_ = nullptr;
};
