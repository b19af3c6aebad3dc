#pragma once
// Windows only: the monitor windows' child controls, built from the layout
// table and kept in step with a MonitorView.
#include <windows.h>

#include "monitor/monitor_layout.h"
#include "monitor/monitor_view.h"

struct MonitorControls {
    // Kind of the control with each id; only ids the family has are present.
    ControlKind kindOf[monitorControlCount];
    bool present[monitorControlCount];
    HWND unitLabel[2];   // temperature rows 0 and 1
    HWND progressBar;
};

// Creates the family's controls in layout order, scroll bars on 0 to 100 and
// the progress bar on 0 to 32.
void createMonitorControls(HWND window, Family family, MonitorControls& controls);

// Puts every flagged part of the view onto the controls and the title, then
// clears the flags (a pending message must have been taken before).
void mirrorMonitorView(HWND window, const MonitorControls& controls, MonitorView& view);
