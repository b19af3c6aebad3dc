#include "monitor_test_support.h"

constexpr int kSeriesBlower = 0, kSeriesCompressor = 1, kSeriesPump = 2, kSeriesValve = 3, mSeriesValve = 4;
static constexpr int mSeriesCompressor(int c) { return 8 + c; }
static constexpr std::uint32_t mSeriesCompressorBit(int c) { return 1u << (8 + c); }
const char* const refusedK = "No manual valve control possible while compressor start sequence activ ! [K-Series]";
const char* const refusedM = "No manual valve control possible while compressor start sequence activ ! [M-Series]";

// Valve reversed for more than 5 s, restored for more than 2 s, then the
// compressor; it runs until 60 s after the click. At program start the
// compressor is allowed at once; the valve is locked meanwhile, the pump not.
// A second click ends the sequence: the valve comes back, the compressor
// stays off, and the restart lock counts from the aborted start.
TEST(KManual, StartSequenceRunLimitAndAbort)
{
    Monitor m(Family::k);
    m.manual();
    m.run({{.click = kSeriesCompressor, .sent = 0x08},
           {.click = kSeriesValve, .unit = -1, .message = refusedK},
           {.click = kSeriesPump, .unit = -1},
           {.ticks = 50, .sent = 0x0C},
           {.ticks = 1, .sent = 0x0C},
           {.sent = 0x04},
           {.ticks = 20, .sent = 0x04},
           {.ticks = 1, .sent = 0x06},
           {.ticks = 600 - 72, .sent = 0x06},
           {.ticks = 1, .sent = 0x04, .message = ""}});
    EXPECT_EQ(m.model.payload[22], 1);  // manual control stays on
    EXPECT_FALSE(m.app.sequenceActive || m.marked(kSeriesCompressor));

    Monitor n(Family::k);
    n.manual(0x09);  // valve and blower on in the unit
    n.run({{.click = kSeriesCompressor, .unit = 0x09, .sent = 0x01},
           {.ticks = 5, .click = kSeriesCompressor, .unit = -1},
           {.unit = 0x09, .sent = 0x09},
           {.ticks = 100, .unit = 0x09, .sent = 0x09},
           {.click = kSeriesCompressor, .unit = -1, .message = "Next Compressor-Start possible in 169 seconds ! [K-Series]", .restart = 105},
           {.click = kSeriesCompressor, .unit = -1, .message = "Next Compressor-Start possible in 0 seconds ! [K-Series]", .restart = 1795},
           {.click = kSeriesCompressor, .unit = -1, .message = "Next Compressor-Start possible in 0 seconds ! [K-Series]", .restart = 1799},
           {.click = kSeriesCompressor, .unit = -1, .message = "", .restart = 1800}});
    EXPECT_TRUE(n.marked(kSeriesCompressor) && n.app.restartTicks[0] == 0 && n.app.sequenceActive == 1);
}

// K: the run limit and the start sequence begin anew. M: every run limit
// does, a running sequence goes on (here: it starts compressor 1). A unit
// switched on ends manual control after the request already prepared, which
// still carries the command; the next one mirrors the unit, and the toggle
// stays off until the unit is off again.
TEST(Manual, ToggleStartsFromTheUnitAndTheUnitSwitchedOnEndsIt)
{
    for (Family family : {Family::k, Family::m}) {
        const bool k = family == Family::k;
        Monitor m(family);
        m.answer(0x05);
        m.app.runTicks[0] = m.app.runTicks[5] = 999;
        m.app.stepTicks = 33;
        m.app.sequenceActive = 1;
        m.model.sequencePhase = sequenceValveRestored;
        toggleManual(m.model, m.app);
        EXPECT_TRUE(m.field(idManualToggle) == "Off" && m.enabled(monitorOutputCount(family) - 1));
        EXPECT_EQ((std::vector<int>{m.app.runTicks[0], m.app.runTicks[5], m.app.stepTicks}),
                  (std::vector<int>{0, k ? 999 : 0, k ? 0 : 33}));
        m.run({{.unit = 0x00, .sent = k ? 0x05 : 0x105}});
        EXPECT_TRUE(m.marked(0));  // the command, not the unit
        toggleManual(m.model, m.app);
        EXPECT_FALSE(m.enabled(0));
        m.click(2);  // ignored with manual control off
        EXPECT_EQ(outputCommand(m.model) & 0xFF, 0x05u);
    }
    Monitor m(Family::k);
    m.manual();
    m.click(kSeriesBlower);
    m.answer(0x04, 0x8000);
    EXPECT_TRUE(m.model.payload[22] == 1 && m.sent() == 0x01u);
    EXPECT_FALSE(m.enabled(idManualToggle) || m.enabled(kSeriesBlower));
    EXPECT_EQ(m.field(idManualToggle), "On");
    toggleManual(m.model, m.app);
    m.answer(0x04, 0x8000);
    EXPECT_TRUE(m.model.payload[22] == 0 && m.sent() == 0x04u);
    m.answer(0x04);
    EXPECT_TRUE(m.enabled(idManualToggle));
}

TEST(KManual, BlowerPowerStaysWithinTheRange)
{
    using SA = ScrollAction;
    Monitor m(Family::k);
    EXPECT_FALSE(scrollBlower(m.model, 4, SA::lineRight, 0));  // manual off
    m.manual();
    const struct { ScrollAction action; int thumb; const char* percent; } steps[] = {
        {SA::lineLeft, 0, "0"}, {SA::thumbTrack, 0x164, "100"}, {SA::lineLeft, 0, "99"}, {SA::lineRight, 0, "100"},
        {SA::lineRight, 0, "100"}, {SA::thumbPosition, 250, "100"}, {SA::pageLeft, 0, "100"}};
    for (const auto& step : steps)
        EXPECT_EQ(scrollBlower(m.model, 4, step.action, step.thumb) ? m.field(5) : "refused", step.percent);
    EXPECT_FALSE(scrollBlower(m.model, 5, SA::lineLeft, 0));  // not a scroll bar
    m.answer();
    EXPECT_EQ(m.model.payload[6], 100);
}

// The sequence runs on the clicked compressor; while it runs, another
// compressor meets its own restart lock first, then the sequence. Clearing
// another compressor leaves the sequence running; its own ends it. Each
// compressor has its own run limit and restart lock.
TEST(MManual, OneSequenceAtATimeAndTimingPerCompressor)
{
    Monitor m(Family::m);
    m.manual();
    m.run({{.click = mSeriesCompressor(2), .sent = 0x10},
           {.click = mSeriesValve, .unit = -1, .message = refusedM},
           {.click = mSeriesCompressor(1), .unit = -1, .message = "Next Compressor-Start possible in 170 seconds ! [M-Series]", .restart = 100},
           {.click = mSeriesCompressor(1), .unit = -1, .message = "No more compressor start while compressor start sequence activ ! [M-Series]", .restart = 0xFFFF}});
    EXPECT_TRUE(m.app.sequenceCompressor == 2 && m.app.restartTicks[1] == 0xFFFF);
    m.run({{},
           {.ticks = 51},
           {},
           {.ticks = 21, .sent = mSeriesCompressorBit(2)},
           {.click = mSeriesCompressor(0)},
           {.click = mSeriesCompressor(2), .sent = 0x10},
           {.click = mSeriesCompressor(0), .sent = 0}});
    EXPECT_EQ(m.model.payload[36], 1);

    Monitor n(Family::m);
    n.manual();
    n.run({{.click = mSeriesCompressor(0)},
           {.ticks = 51},
           {},
           {.ticks = 21},
           {.ticks = 600 - 72},
           {.click = mSeriesCompressor(4), .unit = -1},
           {.ticks = 1}});
    EXPECT_TRUE((n.sent() & mSeriesCompressorBit(0)) == 0 && n.marked(mSeriesCompressor(4)));
    // Compressor 1 started 601 ticks ago.
    n.run({{.click = mSeriesCompressor(0), .unit = -1, .message = "Next Compressor-Start possible in 119 seconds ! [M-Series]"}});
}

// Switching manual control off and on during a start sequence: the sequence
// goes on and will switch its compressor on, so its indicator is marked
// again, and a click on it stops the compressor and aborts the sequence
// (with the valve restored) rather than counting as a refused new start.
TEST(MManual, ASequenceThatWentOnWhileManualControlWasOffCanBeStoppedFromItsIndicator)
{
    Monitor m(Family::m);
    m.manual();
    m.run({{.click = mSeriesCompressor(1), .sent = 0x10}});
    toggleManual(m.model, m.app);
    m.run({{.sent = 0x10},
           {.ticks = 10, .sent = 0x10}});   // the unit shows the compressor off
    EXPECT_FALSE(m.marked(mSeriesCompressor(1)));
    toggleManual(m.model, m.app);
    EXPECT_TRUE(m.marked(mSeriesCompressor(1)));
    m.run({{.click = mSeriesCompressor(1), .sent = 0x00, .message = ""}});
    EXPECT_FALSE(m.app.sequenceActive || m.marked(mSeriesCompressor(1)));
    // The sequence's end would have set the bit; it stays off.
    m.run({{.ticks = 100, .sent = 0x00}});

    // Left running, the sequence switches the marked compressor on as usual.
    Monitor n(Family::m);
    n.manual();
    n.run({{.click = mSeriesCompressor(4), .sent = 0x10}});
    toggleManual(n.model, n.app);
    toggleManual(n.model, n.app);
    n.run({{.ticks = 51, .sent = 0x10},
           {.sent = 0x00},
           {.ticks = 21, .sent = mSeriesCompressorBit(4)}});
    EXPECT_TRUE(n.marked(mSeriesCompressor(4)));
}

// The release poll is what the window sends with manual control off: the
// unit's last reported outputs and blower power, the flag clear. It is due
// from the first request with the manual flag until two requests without it
// have been prepared, since the engine may still send the older one.
TEST(Manual, TheReleasePollIsDueWhileTheUnitMayHoldTheManualFlag)
{
    for (Family family : {Family::k, Family::m}) {
        SCOPED_TRACE(family == Family::m ? "M" : "K");
        const bool k = family == Family::k;
        const std::size_t flag = k ? 22 : 36;
        Monitor m(family);
        m.answer(0x05);
        EXPECT_FALSE(m.model.releaseDue);
        toggleManual(m.model, m.app);
        EXPECT_FALSE(m.model.releaseDue);   // nothing manual prepared yet
        m.click(k ? kSeriesPump : 3);
        m.answer(0x05);
        ASSERT_TRUE(m.model.releaseDue);
        EXPECT_EQ(m.model.payload[flag], 1);
        EXPECT_EQ(m.model.releasePayload[flag], 0);
        EXPECT_EQ(k ? m.model.releasePayload[4] : readLe32(m.model.releasePayload + 4), 0x05u);
        EXPECT_EQ(std::vector<std::uint8_t>(m.model.releasePayload, m.model.releasePayload + 2),
                  (k ? std::vector<std::uint8_t>{0, 0} : std::vector<std::uint8_t>{1, 2}));
        toggleManual(m.model, m.app);
        m.answer(0x01);
        EXPECT_TRUE(m.model.releaseDue);    // the previous request still had the flag
        m.answer(0x01);
        EXPECT_FALSE(m.model.releaseDue);
        // A unit switched on ends manual control after the request already
        // prepared: that one still needs its release.
        toggleManual(m.model, m.app);
        m.answer(0x01, 0x8000);
        EXPECT_TRUE(m.model.releaseDue);
        startMonitor(m.model, m.app);
        EXPECT_FALSE(m.model.releaseDue);
    }
}
