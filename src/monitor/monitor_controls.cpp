#include "monitor/monitor_controls.h"

#include <commctrl.h>

#include <cstring>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/radio_focus.h"
#include "app/shell.h"
#include "app/texts.h"
#include "monitor/monitor_model.h"

namespace {

constexpr int blowerPercentMax = 100;
constexpr int progressSteps = 32;

bool isField(ControlKind kind) { return kind == ControlKind::digitField || kind == ControlKind::textField; }

// Texts are rewritten only when they differ, so nothing flickers; anything
// the user typed into a field differs and goes.
void setWindowTextIfChanged(HWND control, const char* value)
{
    char current[64];
    GetWindowTextA(control, current, sizeof current);
    if (std::strcmp(current, value) != 0)
        SetWindowTextA(control, value);
}

void mirrorControl(HWND control, ControlKind kind, int id, const MonitorControl& state)
{
    EnableWindow(control, state.enabled ? TRUE : FALSE);
    switch (kind) {
    case ControlKind::indicator:
        SendMessageA(control, BM_SETCHECK, state.marked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case ControlKind::scrollBar:
        SetScrollPos(control, SB_CTL, state.position, TRUE);
        break;
    case ControlKind::defaultButton:
        // Start, Stop and Close keep their captions; only the toggle's changes.
        if (id == idManualToggle)
            setWindowTextIfChanged(control, state.text);
        break;
    default:
        if (isField(kind))
            setWindowTextIfChanged(control, state.text);
        break;
    }
}

} // namespace

void createMonitorControls(HWND window, Family family, MonitorControls& controls)
{
    controls = MonitorControls{};
    ControlPlace places[monitorLayoutCapacity];
    const int count = buildMonitorLayout(family, places);
    int unitLabels = 0;
    for (int i = 0; i < count; ++i) {
        const ControlPlace& place = places[i];
        HWND control = createControl(window, place);
        if (place.id >= 0 && place.id < monitorControlCount) {
            controls.kindOf[place.id] = place.kind;
            controls.present[place.id] = true;
        }
        switch (place.kind) {
        case ControlKind::indicator:
            // The output indicators are tab stops of their own, pressed only
            // with Space; the inputs and errors only show.
            guardRadioFocus(control, place.id < monitorOutputCount(family) ? RadioRole::output : RadioRole::display);
            break;
        case ControlKind::scrollBar:
            SetScrollRange(control, SB_CTL, 0, blowerPercentMax, FALSE);
            SetScrollPos(control, SB_CTL, 0, FALSE);
            break;
        case ControlKind::smoothProgressBar:
            controls.progressBar = control;
            SendMessageA(control, PBM_SETRANGE, 0, MAKELPARAM(0, progressSteps));
            break;
        case ControlKind::unitText:
            if (unitLabels < 2)
                controls.unitLabel[unitLabels++] = control;
            break;
        default:
            break;
        }
    }
}

namespace {

// A control greyed while it had the focus hands it on: Start and Stop to
// each other, anything else to the next control that takes it.
void passFocusOn(HWND window, HWND lost)
{
    const int id = GetDlgCtrlID(lost);
    HWND partner = id == idStart ? GetDlgItem(window, idStop) : id == idStop ? GetDlgItem(window, idStart) : nullptr;
    HWND next = partner && IsWindowEnabled(partner) ? partner : GetNextDlgTabItem(window, lost, FALSE);
    SetFocus(next && IsWindowEnabled(next) ? next : window);
}

} // namespace

void mirrorMonitorView(HWND window, const MonitorControls& controls, MonitorView& view)
{
    HWND focus = GetFocus();
    if (!focus || GetParent(focus) != window)
        focus = nullptr;
    for (int id = 0; id < monitorControlCount; ++id) {
        if (!controls.present[id] || !view.controls[id].changed)
            continue;
        HWND control = GetDlgItem(window, id);
        if (control)
            mirrorControl(control, controls.kindOf[id], id, view.controls[id]);
    }
    if (view.unitLabelsChanged) {
        for (int row = 0; row < 2; ++row)
            if (controls.unitLabel[row] && view.unitLabel[row])
                setWindowTextIfChanged(controls.unitLabel[row], view.unitLabel[row]);
    }
    // Posted: the bar paints after the answer has been released.
    if (view.progressChanged && controls.progressBar)
        PostMessageA(controls.progressBar, PBM_SETPOS, static_cast<WPARAM>(view.progress), 0);
    if (view.titleChanged)
        SetWindowTextA(window, view.title.c_str());
    clearViewChanges(view);
    if (focus && !IsWindowEnabled(focus))
        passFocusOn(window, focus);
}
