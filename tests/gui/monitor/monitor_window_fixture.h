#pragma once
// A started program with both monitors linked in, the link prepared as the
// program prepares it, and a simulated unit served on the loopback that the
// program finds through KAVIX_UNIT.
#include "gui_harness.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "monitor/monitor_view.h"
#include "sim_server.h"
#include "sim_unit.h"

class MonitorWindowTest : public ShellTest {
protected:
    void TearDown() override;

    // A unit of the family ('K' or 'M'), switched on or off, with its values
    // frozen at second 0 so the fields are known.
    SimOptions unitOptions(char family, bool switchedOn) const;
    void attachUnit(const SimOptions& options);

    // Starts, confirms language and family, chooses "Monitor" and waits until
    // the Start posted at creation has run.
    HWND openAs(int languageId, int familyId);

    // Waits until the monitor has handled this many more answers.
    bool waitForAnswers(int count, int timeoutMs = 5000);
    // Waits for the manual toggle to become enabled (an answer from a unit
    // that is switched off).
    bool waitForToggle();

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::string fieldText(int id) const { return windowText(control(id)); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool marked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int scrollPosition(int id) const { return GetScrollPos(control(id), SB_CTL); }
    int progressPosition() const;
    // The static texts of the window (labels, units), in creation order.
    std::vector<std::string> staticTexts() const;
    void clickButton(int id) { click(window_, id); }
    void scroll(int id, int code, int position = 0);

    // The unit's present outputs and manual flag, read under its lock.
    std::uint32_t unitOutputs();
    bool unitManual();
    std::uint8_t unitBlowerPower(int blower);
    // Waits until the unit's outputs satisfy (outputs & mask) == value.
    bool waitForUnitOutputs(std::uint32_t mask, std::uint32_t value, int timeoutMs = 5000);

    std::vector<RecordedMessageBox> takeMessageBoxes();

    // Writes a screenshot of the main window when KAVIX_MONITOR_SHOTS names
    // a folder (for looking at the windows; not checked).
    void screenshot(const char* name);

    HWND window_ = nullptr;
    std::unique_ptr<SimUnit> unit_;
    SimServer* server_ = nullptr;
};
