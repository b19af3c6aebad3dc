#include <cstdio>
#include <string>

#include "app/texts.h"
#include "monitor/monitor_internal.h"

namespace {

const char* const degreesCelsius = "\xB0" "C";

// Every way out of polling: link stopped by the caller, buttons for a new
// Start, manual control off and not switchable, progress bar back at 0.
void leavePolling(MonitorModel& model)
{
    model.polling = false;
    setEnabled(model.view, idStart, true);
    setEnabled(model.view, idStop, false);
    switchManualOff(model);
    setEnabled(model.view, idManualToggle, false);
    setProgress(model.view, 0);
}

} // namespace

void setOutputsEnabled(MonitorModel& model, bool enabled)
{
    for (int id = 0; id < rulesOf(model.family).outputCount; ++id)
        setEnabled(model.view, id, enabled);
}

void setToggleText(MonitorView& view, const char* text)
{
    if (std::string(view.controls[idManualToggle].text) != text)
        setText(view, idManualToggle, text);
}

void switchManualOff(MonitorModel& model)
{
    if (!manualOn(model))
        return;
    setManualFlag(model, false);
    setToggleText(model.view, text(textOn));
    setOutputsEnabled(model, false);
}

void openMonitor(MonitorModel& model, Family family)
{
    model.family = family;
    model.statusK = MonitorStatusK{};
    model.commandK = MonitorCommandK{};
    model.statusM = MonitorStatusM{};
    model.commandM = MonitorCommandM{};
    model.commandM.lead[0] = 0x01;
    model.commandM.lead[1] = 0x02;
    model.sequencePhase = sequenceIdle;
    model.savedValve = false;
    model.polling = false;
    model.product[0] = '\0';
    preparePayload(model);
    model.releaseDue = false;

    const FamilyRules& rules = rulesOf(model.family);
    model.view = MonitorView{};
    setOutputsEnabled(model, false);
    setEnabled(model.view, idStart, false);
    setEnabled(model.view, idManualToggle, false);
    setText(model.view, idManualToggle, text(textOn));
    for (int k = 0; k < rules.blowerCount; ++k)
        setPosition(model.view, rules.blowerScrollId0 + k, 0);
    setUnitLabels(model.view, degreesCelsius);
    setTitle(model.view, text(textMonitor));
    markViewChanged(model.view);
}

void startMonitor(MonitorModel& model, AppState& app)
{
    model.sequencePhase = sequenceIdle;
    app.sequenceActive = 0;
    app.stepTicks = 0;
    preparePayload(model);
    // Nothing of this link has reached the unit yet.
    model.releaseDue = false;
}

void monitorConnected(MonitorModel& model, const char* product)
{
    std::snprintf(model.product, sizeof model.product, "%s", product ? product : "");
    setConnectedTitle(model, "?.?");
}

void setConnectedTitle(MonitorModel& model, const char* firmware)
{
    setTitle(model.view, std::string(text(textMonitorTitlePrefix)) + model.product + "Firmware " + firmware);
}

void monitorPolling(MonitorModel& model)
{
    model.polling = true;
    setEnabled(model.view, idStart, false);
    setEnabled(model.view, idStop, true);
}

void monitorStartFailed(MonitorModel& model, StartFailure failure)
{
    const char* caption = familyName(model.family);
    model.polling = false;
    switch (failure) {
    case StartFailure::noUnit:
        showMessage(model.view, text(textNoUnitFound), caption);
        setTitle(model.view, text(textMonitor));
        setEnabled(model.view, idStart, true);
        setEnabled(model.view, idStop, false);
        break;
    case StartFailure::noProduct:
        showMessage(model.view, text(textNoUnitConnected), caption);
        setEnabled(model.view, idStart, true);
        setEnabled(model.view, idStop, false);
        break;
    case StartFailure::readerThread:
    case StartFailure::engineThread:
        // The buttons keep their states: after the automatic Start the user
        // can only close the window.
        showMessage(model.view, "Can't start thread !", caption);
        setTitle(model.view, text(textMonitor));
        break;
    }
}

void stopMonitor(MonitorModel& model) { leavePolling(model); }

void closeMonitor(MonitorModel& model) { leavePolling(model); }

void monitorLinkEnded(MonitorModel& model, int endCode, const char* wrongUnitText)
{
    leavePolling(model);
    const char* caption = familyName(model.family);
    switch (endCode) {
    case 0:
        showMessage(model.view, text(textCommunicationLost), caption);
        break;
    case 1:
        if (wrongUnitText != nullptr)
            showMessage(model.view, wrongUnitText, caption);
        break;
    case 4:
        showMessage(model.view, "USB-Error !", "Polarund K");
        break;
    default:
        break;
    }
}
