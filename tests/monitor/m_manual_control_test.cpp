#include <gtest/gtest.h>

#include "monitor_test_support.h"

namespace {

constexpr int valve = 4;
constexpr std::uint32_t valveBit = 1u << 4;
constexpr int compressorId(int c) { return 8 + c; }
constexpr std::uint32_t compressorBit(int c) { return 1u << (8 + c); }

struct MManual : ::testing::Test {
    AppState app = freshAppState();
    MonitorModel model;

    void SetUp() override
    {
        openAndPoll(model, app, familyM, "CUQ1");
        answer();
        toggleManual(model, app);
        ASSERT_TRUE(manualOn(model));
        clearViewChanges(model.view);
    }

    void answer(std::uint32_t unitOutputs = 0) { ASSERT_TRUE(deliver(model, app, statusM(unitOutputs))); }

    // Answers until the running start sequence has switched its compressor on.
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

    void expectRefusal(const std::string& message)
    {
        ASSERT_TRUE(model.view.messagePending);
        EXPECT_EQ(model.view.message, message);
        EXPECT_STREQ(model.view.caption, "M-Series");
        clearViewChanges(model.view);
    }
};

TEST_F(MManual, SequenceRunsOnTheChosenCompressorWithValveBitFour)
{
    clickOutput(model, app, compressorId(2));
    EXPECT_EQ(app.sequenceCompressor, 2);
    EXPECT_EQ(app.restartTicks[2], 0);
    answer();
    EXPECT_EQ(sentOutputsM(model), valveBit);
    clickOutput(model, app, valve);
    expectRefusal("No manual valve control possible while compressor start sequence activ !");
    tick(app, 51);
    answer();
    answer();
    EXPECT_EQ(sentOutputsM(model), 0u);
    tick(app, 21);
    answer();
    EXPECT_EQ(sentOutputsM(model), compressorBit(2));
    EXPECT_EQ(model.payload[36], 1);
}

TEST_F(MManual, EachCompressorHasItsOwnRestartLock)
{
    clickOutput(model, app, compressorId(0));
    finishSequence();
    clickOutput(model, app, compressorId(1));  // its own lock is long run out
    EXPECT_FALSE(model.view.messagePending);
    EXPECT_EQ(app.sequenceCompressor, 1);
    finishSequence();
    EXPECT_EQ(sentOutputsM(model), compressorBit(0) | compressorBit(1));

    clickOutput(model, app, compressorId(0));  // off
    clickOutput(model, app, compressorId(0));  // on again: started 144 ticks ago
    expectRefusal("Next Compressor-Start possible in 165 seconds !");
    EXPECT_FALSE(marked(model, compressorId(0)));
    EXPECT_EQ(app.restartTicks[0], 144);
    EXPECT_EQ(app.restartTicks[1], 72);
}

TEST_F(MManual, SecondStartDuringASequenceRefusedOnlyAfterItsOwnLock)
{
    clickOutput(model, app, compressorId(0));
    answer();
    app.restartTicks[1] = 100;
    clickOutput(model, app, compressorId(1));
    expectRefusal("Next Compressor-Start possible in 170 seconds !");

    app.restartTicks[1] = 0xFFFF;
    clickOutput(model, app, compressorId(1));
    expectRefusal("No more compressor start while compressor start sequence activ !");
    EXPECT_FALSE(marked(model, compressorId(1)));
    EXPECT_EQ(outputCommand(model) & compressorBit(1), 0u);
    EXPECT_EQ(app.restartTicks[1], 0xFFFF);
    EXPECT_EQ(app.sequenceCompressor, 0);
    EXPECT_EQ(app.sequenceActive, 1);
}

TEST_F(MManual, ClearingAnotherCompressorLeavesTheSequenceRunning)
{
    clickOutput(model, app, compressorId(2));
    finishSequence();
    clickOutput(model, app, compressorId(0));
    answer();
    clickOutput(model, app, compressorId(2));
    EXPECT_EQ(app.sequenceActive, 1);
    EXPECT_FALSE(marked(model, compressorId(2)));
    answer();
    EXPECT_EQ(sentOutputsM(model), valveBit);  // still reversed, compressor 3 off

    clickOutput(model, app, compressorId(0));  // the sequence's own compressor aborts it
    EXPECT_EQ(app.sequenceActive, 0);
    answer();
    EXPECT_EQ(sentOutputsM(model), 0u);
}

TEST_F(MManual, ToggleResetsAllRunTicksButNotTheSequence)
{
    clickOutput(model, app, compressorId(3));
    answer();
    tick(app, 30);
    toggleManual(model, app);
    EXPECT_FALSE(manualOn(model));
    for (int i = 0; i < 14; ++i)
        ASSERT_FALSE(enabled(model, i)) << i;
    toggleManual(model, app);
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(app.runTicks[c], 0) << c;
    EXPECT_EQ(app.sequenceActive, 1);
    EXPECT_EQ(app.stepTicks, 30);
    EXPECT_EQ(model.sequencePhase, sequenceValveReversed);
    for (int i = 0; i < 14; ++i)
        EXPECT_TRUE(enabled(model, i)) << i;
}

TEST_F(MManual, CompressorsStarted60sApartStopAtTheirOwnRunLimit)
{
    clickOutput(model, app, compressorId(0));
    finishSequence();
    tick(app, 600 - 72);
    answer();
    clickOutput(model, app, compressorId(4));
    ASSERT_FALSE(model.view.messagePending);
    tick(app);
    answer();
    EXPECT_EQ(sentOutputsM(model) & compressorBit(0), 0u);
    EXPECT_FALSE(marked(model, compressorId(0)));
    EXPECT_TRUE(marked(model, compressorId(4)));

    tick(app, 51);
    answer();
    answer();
    tick(app, 21);
    answer();
    EXPECT_EQ(sentOutputsM(model), compressorBit(4));
    tick(app, 600 - 73);
    answer();
    EXPECT_EQ(sentOutputsM(model), compressorBit(4));
    tick(app);
    answer();
    EXPECT_EQ(sentOutputsM(model), 0u);
    EXPECT_FALSE(marked(model, compressorId(4)));
}

TEST_F(MManual, BlowerScrollBarsSetTheirOwnByte)
{
    EXPECT_TRUE(scrollBlower(model, 15, ScrollAction::thumbTrack, 60));
    EXPECT_TRUE(scrollBlower(model, 14, ScrollAction::lineRight, 0));
    EXPECT_STREQ(fieldText(model, 17), "60");
    EXPECT_STREQ(fieldText(model, 16), "1");
    EXPECT_FALSE(scrollBlower(model, 16, ScrollAction::lineRight, 0));
    answer();
    EXPECT_EQ(model.payload[12], 1);
    EXPECT_EQ(model.payload[13], 60);
}

TEST(MMirror, ManualOffCopiesOutputsAndBlowersAndKeepsTheLeadBytes)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyM);
    MonitorStatusM status = statusM(0xFFFFC0DEu);
    status.blowerPower[0] = 12;
    status.blowerPower[1] = 34;
    status.inputs = 0xFFFFFFFFu;
    ASSERT_TRUE(deliver(model, app, status));

    ASSERT_EQ(model.payloadLength, 37);
    EXPECT_EQ(model.payload[0], 0x01);
    EXPECT_EQ(model.payload[1], 0x02);
    EXPECT_EQ(sentOutputsM(model), 0xFFFFC0DEu);
    EXPECT_EQ(model.payload[12], 12);
    EXPECT_EQ(model.payload[13], 34);
    for (int offset : {2, 3, 8, 9, 10, 11, 14, 20, 35, 36})
        EXPECT_EQ(model.payload[offset], 0) << offset;
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(marked(model, i), ((0xC0DEu >> i) & 1u) != 0) << i;
}

} // namespace
