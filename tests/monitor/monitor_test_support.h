#pragma once
// Drives a monitor model the way its window and the main window's timer do.
#include <gtest/gtest.h>

#include <string>

#include "app/layout.h"
#include "app/tick_counters.h"
#include "base/le_bytes.h"
#include "app/texts.h"
#include "monitor/monitor_model.h"

// One step of a scenario, written with designated initializers: the main
// window's 100 ms timer runs `ticks`; the clicked compressor's restart
// counter is set to `restart` (-1: left); output `click` is clicked (-1:
// none); an answer with the unit's outputs `unit` arrives (-1: none). Then
// the next request must carry `sent` and `message` must be pending (-1 /
// nullptr: not checked).
struct Step {
    int ticks = 0;
    int click = -1;
    std::int64_t unit = 0;
    std::int64_t sent = -1;
    const char* message = nullptr;
    std::int32_t restart = -1;
};

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
    // An answer as the poll engine hands it over: the record from report byte 4 on.
    template <class Status> bool deliver(const Status& status)
    {
        return handleAnswer(model, app, reinterpret_cast<const std::uint8_t*>(&status), sizeof status);
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
    // Manual control on after one answer of a unit with these outputs.
    void manual(std::uint32_t unit = 0) { answer(unit); toggleManual(model, app); clearViewChanges(model.view); }
    void click(int id) { clickOutput(model, app, id); }
    void run(std::initializer_list<Step> steps)
    {
        for (const Step& s : steps) {
            SCOPED_TRACE(testing::Message() << "step " << &s - steps.begin());
            for (int t = 0; t < s.ticks; ++t)
                advanceTicks(app);
            if (s.restart >= 0)  // K: compressor id 1; M: ids 8-13
                app.restartTicks[model.family == Family::m ? s.click - 8 : 0] = s.restart;
            if (s.click >= 0)
                click(s.click);
            if (s.unit >= 0)
                answer(static_cast<std::uint32_t>(s.unit));
            EXPECT_EQ(s.sent < 0 ? s.sent : sent(), s.sent);
            EXPECT_EQ(s.message ? message() : "", s.message ? s.message : "");
        }
    }
    // The output command that the next request carries.
    std::uint32_t sent() const { return model.family == Family::m ? readLe32(model.payload + 4) : model.payload[4]; }
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
