#pragma once
// Drives a monitor model the way its window and the main window's timer do.
#include <cstdint>
#include <cstring>

#include "app/app_state.h"
#include "app/texts.h"
#include "monitor/monitor_model.h"

// The main window's 100 ms timer, n times.
inline void tick(AppState& app, int n = 1)
{
    for (int t = 0; t < n; ++t) {
        for (int i = 0; i < 6; ++i) {
            app.runTicks[i] += 1;
            if (app.restartTicks[i] < 0xFFFF)
                app.restartTicks[i] += 1;
        }
        app.stepTicks += 1;
    }
}

// Program start: state zeroed, restart counters at "long ago", English texts.
inline AppState freshAppState()
{
    AppState app{};
    for (std::int32_t& ticks : app.restartTicks)
        ticks = 0xFFFF;
    selectLanguageTexts(1);
    return app;
}

// Window creation with its automatic Start, connected and polling.
inline void openAndPoll(MonitorModel& model, AppState& app, int family,
                        const char* product = "Polarund K")
{
    openMonitor(model, family);
    startMonitor(model, app);
    monitorConnected(model, product);
    monitorPolling(model);
    clearViewChanges(model.view);
}

// Delivers a status record as the poll engine does: the answer from byte 4
// on, with the rest of the 65-byte report behind it.
template <class Status>
bool deliver(MonitorModel& model, AppState& app, const Status& status)
{
    std::uint8_t report[61] = {};
    std::memcpy(report, &status, sizeof status);
    return handleAnswer(model, app, report, sizeof report);
}

inline MonitorStatusK statusK(std::uint8_t outputs = 0, std::uint16_t flags = 0)
{
    MonitorStatusK status{};
    status.answerType = 1;
    status.unitKind = 1;
    status.outputs = outputs;
    status.flags = flags;
    return status;
}

inline MonitorStatusM statusM(std::uint32_t outputs = 0, std::uint16_t flags = 0)
{
    MonitorStatusM status{};
    status.answerType = 1;
    status.unitKind = 2;
    status.outputs = outputs;
    status.flags = flags;
    return status;
}

// The output command that the next request carries.
inline std::uint32_t sentOutputsK(const MonitorModel& model) { return model.payload[4]; }
inline std::uint32_t sentOutputsM(const MonitorModel& model)
{
    std::uint32_t outputs = 0;
    std::memcpy(&outputs, model.payload + 4, 4);
    return outputs;
}

inline bool marked(const MonitorModel& model, int id) { return model.view.controls[id].marked; }
inline bool enabled(const MonitorModel& model, int id) { return model.view.controls[id].enabled; }
inline const char* fieldText(const MonitorModel& model, int id) { return model.view.controls[id].text; }
