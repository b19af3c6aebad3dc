#include <gtest/gtest.h>

#include "monitor_test_support.h"

namespace {

using SA = ScrollAction;
constexpr int kBlower = 0, kCompressor = 1, kPump = 2, kValve = 3;
constexpr int mValve = 4;
constexpr int mCompressor(int c) { return 8 + c; }
constexpr std::uint32_t mCompressorBit(int c) { return 1u << (8 + c); }

const std::string valveRefused = "No manual valve control possible while compressor start sequence activ ! ";

// Valve reversed for more than 5 s, restored for more than 2 s, then the
// compressor; it runs until 60 s after the click.
TEST(KManual, StartSequenceThenRunLimitFromTheClick)
{
    Monitor m(Family::k);
    m.manual();
    m.click(kCompressor);  // program start: allowed at once
    m.answer();
    EXPECT_EQ(m.sent(), 0x08u);
    EXPECT_EQ(m.model.payload[22], 1);
    m.click(kValve);
    EXPECT_EQ(m.message(), valveRefused + "[K-Series]");
    m.click(kPump);  // other outputs stay free
    const struct { int ticks; std::uint32_t sent; } steps[] = {
        {50, 0x0C}, {1, 0x0C}, {0, 0x04}, {20, 0x04}, {1, 0x06}, {600 - 72, 0x06}, {1, 0x04}};
    for (const auto& step : steps) {
        tick(m.app, step.ticks);
        m.answer();
        EXPECT_EQ(m.sent(), step.sent) << step.ticks;
    }
    EXPECT_EQ(m.app.sequenceActive, 0);
    EXPECT_FALSE(m.marked(kCompressor));
    EXPECT_EQ(m.message(), "");
}

TEST(KManual, AbortedStartRestoresTheValveAndKeepsTheRestartLock)
{
    Monitor m(Family::k);
    m.manual(0x09);  // valve and blower on in the unit
    m.click(kCompressor);
    m.answer(0x09);
    EXPECT_EQ(m.sent(), 0x01u);  // valve reversed to off
    tick(m.app, 5);
    m.click(kCompressor);  // off again: the sequence ends
    for (int ticks : {0, 100}) {
        tick(m.app, ticks);
        m.answer(0x09);
        EXPECT_EQ(m.sent(), 0x09u);  // valve back, compressor stays off
    }
    const struct { std::int32_t ticks; const char* seconds; } cases[] = {
        {105, "169"}, {1795, "0"}, {1799, "0"}, {1800, nullptr}};
    for (const auto& c : cases) {
        m.app.restartTicks[0] = c.ticks;
        m.click(kCompressor);
        EXPECT_EQ(m.message(), c.seconds ? "Next Compressor-Start possible in " + std::string(c.seconds) +
                                                " seconds ! [K-Series]" : "");
        EXPECT_EQ(m.marked(kCompressor), c.seconds == nullptr);
    }
    EXPECT_EQ(m.app.restartTicks[0], 0);
    EXPECT_EQ(m.app.sequenceActive, 1);
}

TEST(KManual, UnitSwitchedOnEndsManualControlAfterTheRequestAlreadyPrepared)
{
    Monitor m(Family::k);
    m.manual();
    m.click(kBlower);
    m.answer(0x04, 0x8000);
    EXPECT_EQ(m.model.payload[22], 1);  // this request still carries the command
    EXPECT_EQ(m.sent(), 0x01u);
    EXPECT_FALSE(m.enabled(idManualToggle));
    EXPECT_EQ(m.field(idManualToggle), "On");
    EXPECT_FALSE(m.enabled(kBlower));
    toggleManual(m.model, m.app);
    m.answer(0x04, 0x8000);  // the next one mirrors the unit
    EXPECT_EQ(m.model.payload[22], 0);
    EXPECT_EQ(m.sent(), 0x04u);
    m.answer(0x04);
    EXPECT_TRUE(m.enabled(idManualToggle));
}

// K: the run limit and the start sequence begin anew. M: every run limit
// does, a running sequence goes on (here: it starts compressor 1).
TEST(Manual, ToggleStartsFromTheUnitAndResetsTheTiming)
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
        EXPECT_EQ(m.field(idManualToggle), "Off");
        EXPECT_TRUE(m.enabled(monitorOutputCount(family) - 1));
        EXPECT_EQ(m.app.runTicks[0], 0);
        EXPECT_EQ(m.app.runTicks[5], k ? 999 : 0);
        EXPECT_EQ(m.app.stepTicks, k ? 0 : 33);
        m.answer(0x00);
        EXPECT_TRUE(m.marked(0));  // the command, not the unit
        EXPECT_EQ(m.sent(), k ? 0x05u : 0x105u);
        toggleManual(m.model, m.app);
        EXPECT_FALSE(m.enabled(0));
        m.click(2);  // ignored with manual control off
        EXPECT_EQ(outputCommand(m.model) & 0xFF, 0x05u);
    }
}

TEST(KManual, BlowerPowerStaysWithinTheRange)
{
    Monitor m(Family::k);
    EXPECT_FALSE(scrollBlower(m.model, 4, SA::lineRight, 0));  // manual off
    m.manual();
    const struct { ScrollAction action; int thumb; const char* percent; } steps[] = {
        {SA::lineLeft, 0, "0"}, {SA::thumbTrack, 0x164, "100"}, {SA::lineLeft, 0, "99"},
        {SA::lineRight, 0, "100"}, {SA::lineRight, 0, "100"}, {SA::thumbPosition, 250, "100"},
        {SA::pageLeft, 0, "100"}};
    for (const auto& step : steps) {
        EXPECT_TRUE(scrollBlower(m.model, 4, step.action, step.thumb));
        EXPECT_EQ(m.field(5), step.percent);
    }
    EXPECT_FALSE(scrollBlower(m.model, 5, SA::lineLeft, 0));  // not a scroll bar
    m.answer();
    EXPECT_EQ(m.model.payload[6], 100);
}

TEST(MManual, SequenceOnTheChosenCompressorOnlyOneAtATime)
{
    Monitor m(Family::m);
    m.manual();
    m.click(mCompressor(2));
    EXPECT_EQ(m.app.sequenceCompressor, 2);
    m.answer();
    EXPECT_EQ(m.sent(), 0x10u);
    m.click(mValve);
    EXPECT_EQ(m.message(), valveRefused + "[M-Series]");
    // Another compressor meets its own lock first, then the sequence.
    m.app.restartTicks[1] = 100;
    m.click(mCompressor(1));
    EXPECT_EQ(m.message(), "Next Compressor-Start possible in 170 seconds ! [M-Series]");
    m.app.restartTicks[1] = 0xFFFF;
    m.click(mCompressor(1));
    EXPECT_EQ(m.message(), "No more compressor start while compressor start sequence activ ! [M-Series]");
    EXPECT_EQ(m.app.restartTicks[1], 0xFFFF);
    m.finishSequence();
    EXPECT_EQ(m.sent(), mCompressorBit(2));
    EXPECT_EQ(m.model.payload[36], 1);

    // Clearing another compressor leaves a sequence running; its own ends it.
    m.click(mCompressor(0));
    m.answer();
    m.click(mCompressor(2));
    m.answer();
    EXPECT_EQ(m.sent(), 0x10u);
    m.click(mCompressor(0));
    m.answer();
    EXPECT_EQ(m.sent(), 0u);
}

TEST(MManual, EachCompressorHasItsOwnRestartLockAndRunLimit)
{
    Monitor m(Family::m);
    m.manual();
    m.click(mCompressor(0));
    m.finishSequence();
    tick(m.app, 600 - 72);
    m.answer();
    m.click(mCompressor(4));
    tick(m.app);
    m.answer();
    EXPECT_EQ(m.sent() & mCompressorBit(0), 0u);
    EXPECT_TRUE(m.marked(mCompressor(4)));
    m.click(mCompressor(0));  // started 601 ticks ago
    EXPECT_EQ(m.message(), "Next Compressor-Start possible in 119 seconds ! [M-Series]");
}

TEST(MManual, MirrorKeepsTheLeadBytesAndAllOutputBits)
{
    Monitor m(Family::m);
    m.answer(0xFFFFE0DEu);
    ASSERT_EQ(m.model.payloadLength, 37);
    EXPECT_EQ(m.model.payload[0] * 256 + m.model.payload[1], 0x0102);
    EXPECT_EQ(m.sent(), 0xFFFFE0DEu);
    EXPECT_TRUE(m.marked(13));
    EXPECT_FALSE(m.marked(0));
}

} // namespace
