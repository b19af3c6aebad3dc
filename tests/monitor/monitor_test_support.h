#pragma once
// Drives a monitor model the way its window and the main window's timer do.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/layout.h"
#include "app/texts.h"
#include "monitor/monitor_model.h"

// The main window's 100 ms timer, n times.
inline void tick(AppState& app, int n = 1)
{
    for (int t = 0; t < n; ++t)
        advanceTicks(app);
}

// A monitor window just opened at program start (restart counters "long
// ago", English texts), its automatic Start done and polling.
struct Monitor {
    AppState app{};
    MonitorModel model;

    explicit Monitor(Family family, const char* product = "Polarund K")
    {
        resetRestartTicks(app);
        selectLanguageTexts(1);
        openMonitor(model, family);
        startMonitor(model, app);
        monitorConnected(model, product);
        monitorPolling(model);
        clearViewChanges(model.view);
    }

    // An answer as the poll engine hands it over: from report byte 4 on,
    // with the rest of the 65-byte report behind it.
    template <class Status> bool deliver(const Status& status)
    {
        std::uint8_t report[61] = {};
        std::memcpy(report, &status, sizeof status);
        return handleAnswer(model, app, report, sizeof report);
    }
    // An answer of a unit whose outputs and flags are these, all else 0.
    bool answer(std::uint32_t outputs = 0, std::uint16_t flags = 0)
    {
        MonitorStatusK k{};
        MonitorStatusM m{};
        k.outputs = static_cast<std::uint8_t>(outputs);
        m.outputs = outputs;
        k.flags = m.flags = flags;
        return model.family == Family::m ? deliver(m) : deliver(k);
    }
    // Manual control on after one answer of a switched-off unit.
    void manual(std::uint32_t unitOutputs = 0)
    {
        answer(unitOutputs);
        toggleManual(model, app);
        clearViewChanges(model.view);
    }
    // Answers (72 ticks) from the valve's reversal until the compressor runs.
    void finishSequence()
    {
        const int ticks[] = {0, 51, 0, 21};
        for (int t : ticks) {
            tick(app, t);
            answer();
        }
    }
    void click(int id) { clickOutput(model, app, id); }

    // The output command that the next request carries.
    std::uint32_t sent() const
    {
        std::uint32_t outputs = 0;
        std::memcpy(&outputs, model.payload + 4, model.family == Family::m ? 4 : 1);
        return outputs;
    }
    // The pending message as "text [caption]", taken; "" for none.
    std::string message()
    {
        std::string text;
        const char* caption = "";
        return takeMessage(model.view, text, caption) ? text + " [" + caption + "]" : "";
    }
    bool marked(int id) const { return model.view.controls[id].marked; }
    bool enabled(int id) const { return model.view.controls[id].enabled; }
    std::string field(int id) const { return model.view.controls[id].text; }
};
