#include <gtest/gtest.h>

#include "monitor_test_support.h"

namespace {

constexpr int blower = 0, compressor = 1, pump = 2, valve = 3;
constexpr std::uint8_t compressorBit = 0x02, valveBit = 0x08;

// A polling K-Series monitor with manual control switched on after one
// answer of a switched-off unit whose outputs are `outputs`.
struct KManual : ::testing::Test {
    AppState app = freshAppState();
    MonitorModel model;

    void SetUp() override
    {
        openAndPoll(model, app, familyK);
    }

    void manualOnWith(std::uint8_t outputs)
    {
        ASSERT_TRUE(deliver(model, app, statusK(outputs)));
        toggleManual(model, app);
        ASSERT_TRUE(manualOn(model));
        clearViewChanges(model.view);
    }

    void answer(std::uint8_t unitOutputs = 0) { ASSERT_TRUE(deliver(model, app, statusK(unitOutputs))); }

    // Answers (72 ticks) until the running start sequence switches the compressor on.
    void finishSequence()
    {
        answer();
        tick(app, 51);
        answer();
        answer();
        tick(app, 21);
        answer();
        ASSERT_EQ(app.sequenceActive, 0);
    }
};

TEST_F(KManual, FullStartSequenceReversesThenRestoresTheValveBeforeTheCompressor)
{
    manualOnWith(0);
    clickOutput(model, app, compressor);
    EXPECT_FALSE(model.view.messagePending);
    EXPECT_EQ(app.sequenceActive, 1);
    EXPECT_EQ(app.restartTicks[0], 0);
    EXPECT_EQ(app.runTicks[0], 0);

    answer();  // sequence begins: compressor held off, valve reversed
    EXPECT_EQ(sentOutputsK(model), valveBit);
    EXPECT_EQ(model.payload[22], 1);
    tick(app, 50);
    answer();  // 5.0 s is not yet more than 5 s
    EXPECT_EQ(sentOutputsK(model), valveBit);
    tick(app);
    answer();  // 5.1 s: on to the restored valve
    EXPECT_EQ(sentOutputsK(model), valveBit);
    EXPECT_EQ(app.stepTicks, 0);
    answer();
    EXPECT_EQ(sentOutputsK(model), 0u);
    tick(app, 20);
    answer();
    EXPECT_EQ(sentOutputsK(model), 0u);
    EXPECT_EQ(app.sequenceActive, 1);
    tick(app);
    answer();  // 2.1 s restored: compressor on, sequence over
    EXPECT_EQ(sentOutputsK(model), compressorBit);
    EXPECT_EQ(app.sequenceActive, 0);
    // The indicator showed the user's choice throughout.
    EXPECT_TRUE(marked(model, compressor));
}

TEST_F(KManual, RunLimitCountsFromTheClickIncludingTheSequence)
{
    manualOnWith(0);
    clickOutput(model, app, compressor);
    finishSequence();
    ASSERT_EQ(sentOutputsK(model), compressorBit);

    tick(app, 600 - 72);  // 60.0 s after the click
    answer();
    EXPECT_EQ(sentOutputsK(model), compressorBit);
    EXPECT_TRUE(marked(model, compressor));
    tick(app);
    answer();
    EXPECT_EQ(sentOutputsK(model), 0u);
    EXPECT_FALSE(marked(model, compressor));
    EXPECT_TRUE(model.view.controls[compressor].changed);
}

TEST_F(KManual, ClearingTheCompressorAbortsTheSequenceAndRestoresTheValve)
{
    manualOnWith(valveBit | 0x01);  // valve and blower on in the unit
    clickOutput(model, app, compressor);
    answer(valveBit | 0x01);
    EXPECT_EQ(sentOutputsK(model), 0x01u);  // valve reversed to off
    tick(app, 30);

    clickOutput(model, app, compressor);
    EXPECT_EQ(app.sequenceActive, 0);
    EXPECT_FALSE(marked(model, compressor));
    answer(valveBit | 0x01);
    EXPECT_EQ(sentOutputsK(model), valveBit | 0x01u);
    tick(app, 100);
    answer(valveBit | 0x01);
    EXPECT_EQ(sentOutputsK(model), valveBit | 0x01u);  // and the compressor stays off
}

TEST_F(KManual, ValveRefusedDuringTheSequenceOtherOutputsAllowed)
{
    manualOnWith(0);
    clickOutput(model, app, compressor);
    answer();
    clearViewChanges(model.view);

    clickOutput(model, app, valve);
    ASSERT_TRUE(model.view.messagePending);
    EXPECT_EQ(model.view.message,
              "No manual valve control possible while compressor start sequence activ !");
    EXPECT_STREQ(model.view.caption, "K-Series");
    EXPECT_FALSE(model.view.controls[valve].changed);
    EXPECT_EQ(outputCommand(model), valveBit);  // still just the sequence's reversal

    clearViewChanges(model.view);
    clickOutput(model, app, blower);
    clickOutput(model, app, pump);
    EXPECT_FALSE(model.view.messagePending);
    EXPECT_TRUE(marked(model, blower));
    EXPECT_TRUE(marked(model, pump));
    answer();
    EXPECT_EQ(sentOutputsK(model), 0x01u | 0x04u | valveBit);

    // Once the sequence is over the valve is the user's again.
    finishSequence();
    clickOutput(model, app, valve);
    EXPECT_FALSE(model.view.messagePending);
    EXPECT_TRUE(marked(model, valve));
}

TEST_F(KManual, RestartLockCountsFromThePreviousStart)
{
    manualOnWith(0);
    clickOutput(model, app, compressor);  // program start: allowed at once
    ASSERT_FALSE(model.view.messagePending);
    tick(app, 5);
    clickOutput(model, app, compressor);  // off again
    ASSERT_FALSE(marked(model, compressor));

    clickOutput(model, app, compressor);
    ASSERT_TRUE(model.view.messagePending);
    EXPECT_EQ(model.view.message, "Next Compressor-Start possible in 179 seconds !");
    EXPECT_FALSE(marked(model, compressor));
    EXPECT_EQ(outputCommand(model) & compressorBit, 0u);
    EXPECT_EQ(app.sequenceActive, 0);
    EXPECT_EQ(app.restartTicks[0], 5);

    for (std::int32_t ticks : {1795, 1799}) {
        clearViewChanges(model.view);
        app.restartTicks[0] = ticks;
        clickOutput(model, app, compressor);
        ASSERT_TRUE(model.view.messagePending);
        EXPECT_EQ(model.view.message, "Next Compressor-Start possible in 0 seconds !");
    }

    clearViewChanges(model.view);
    app.restartTicks[0] = 1800;
    clickOutput(model, app, compressor);
    EXPECT_FALSE(model.view.messagePending);
    EXPECT_TRUE(marked(model, compressor));
    EXPECT_EQ(app.restartTicks[0], 0);
}

TEST_F(KManual, UnitSwitchedOnEndsManualControlAfterTheRequestAlreadyPrepared)
{
    manualOnWith(0);
    clickOutput(model, app, blower);
    ASSERT_TRUE(deliver(model, app, statusK(0x04, 0x8000)));
    // This answer's request still carries the manual command ...
    EXPECT_EQ(model.payload[22], 1);
    EXPECT_EQ(sentOutputsK(model), 0x01u);
    // ... but manual control is over and cannot be switched on again.
    EXPECT_FALSE(manualOn(model));
    EXPECT_FALSE(enabled(model, idManualToggle));
    EXPECT_STREQ(fieldText(model, idManualToggle), "On");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(enabled(model, i)) << i;
    toggleManual(model, app);
    EXPECT_FALSE(manualOn(model));

    // The next request mirrors the unit again.
    ASSERT_TRUE(deliver(model, app, statusK(0x04, 0x8000)));
    EXPECT_EQ(model.payload[22], 0);
    EXPECT_EQ(sentOutputsK(model), 0x04u);
    EXPECT_TRUE(marked(model, pump));
    EXPECT_FALSE(marked(model, blower));

    // Switched off again: manual control may be switched on.
    ASSERT_TRUE(deliver(model, app, statusK(0x04, 0)));
    EXPECT_TRUE(enabled(model, idManualToggle));
}

TEST_F(KManual, ToggleResetsTimingAndSequenceAndEnablesTheOutputs)
{
    answer(0x05);
    app.runTicks[0] = 999;
    app.stepTicks = 33;
    app.sequenceActive = 1;
    model.sequencePhase = sequenceValveRestored;

    toggleManual(model, app);
    EXPECT_TRUE(manualOn(model));
    EXPECT_STREQ(fieldText(model, idManualToggle), "Off");
    EXPECT_EQ(app.runTicks[0], 0);
    EXPECT_EQ(app.stepTicks, 0);
    EXPECT_EQ(app.sequenceActive, 0);
    EXPECT_EQ(model.sequencePhase, sequenceIdle);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(enabled(model, i)) << i;
    // Manual control starts from what the unit did.
    EXPECT_EQ(outputCommand(model), 0x05u);
    EXPECT_TRUE(marked(model, blower));

    // While on, the indicators and the power show the command, not the unit.
    MonitorStatusK status = statusK(0x00);
    status.blowerPower = 77;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_TRUE(marked(model, blower));
    EXPECT_EQ(sentOutputsK(model), 0x05u);
    EXPECT_NE(model.payload[6], 77);

    toggleManual(model, app);
    EXPECT_FALSE(manualOn(model));
    EXPECT_STREQ(fieldText(model, idManualToggle), "On");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(enabled(model, i)) << i;
    clickOutput(model, app, pump);  // ignored with manual control off
    EXPECT_TRUE(marked(model, pump));
    EXPECT_EQ(outputCommand(model), 0x05u);
}

TEST_F(KManual, BlowerPowerStepsStayWithinTheRange)
{
    MonitorStatusK status = statusK();
    status.blowerPower = 99;
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_FALSE(scrollBlower(model, 4, ScrollAction::lineRight, 0));  // manual off
    toggleManual(model, app);

    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::lineRight, 0));
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::lineRight, 0));
    EXPECT_EQ(blowerCommand(model, 0), 100);
    EXPECT_EQ(model.view.controls[4].position, 100);
    EXPECT_STREQ(fieldText(model, 5), "100");

    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::thumbTrack, 1));
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::lineLeft, 0));
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::lineLeft, 0));
    EXPECT_EQ(blowerCommand(model, 0), 0);
    EXPECT_STREQ(fieldText(model, 5), "0");

    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::thumbPosition, 42));
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::pageLeft, 0));
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::pageRight, 0));
    EXPECT_EQ(blowerCommand(model, 0), 42);
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::thumbTrack, 0x100 + 100));
    EXPECT_EQ(blowerCommand(model, 0), 100);
    EXPECT_TRUE(scrollBlower(model, 4, ScrollAction::thumbTrack, 250));
    EXPECT_EQ(blowerCommand(model, 0), 100);

    EXPECT_FALSE(scrollBlower(model, 5, ScrollAction::lineLeft, 0));  // not a scroll bar
    // The value reaches the unit with the next request.
    ASSERT_TRUE(deliver(model, app, status));
    EXPECT_EQ(model.payload[6], 100);
    EXPECT_STREQ(fieldText(model, 5), "100");  // not the unit's 99
}

} // namespace
