#include "app/texts.h"
#include "link/block_write_engine.h"
#include "link_test_support.h"

namespace {

// The poll engine and the reader against the scripted device.
class PollEngineTest : public LinkFixture {
protected:
    // A K-Series status answer (type, kind, firmware 1.23, one more byte) to write i.
    void answer(std::size_t i, std::uint8_t code = ansOk, std::uint8_t type = 1, std::uint8_t kind = 1)
    {
        answerCode(i, code, {type, kind, 0x23, 0x01, 0x07});
    }
};

TEST_F(PollEngineTest, SendsTheRecordWithWrappingNumbersAndPostsMatchingAnswers)
{
    sequenceNumber = 254;
    sink.onPost = [](const Notification&) {
        linkRequest.payload[0] = 0x55;
        setEvent(answerProcessed);
    };
    startPoll();
    const fake::Report first = written(0);
    EXPECT_EQ(first.bytes[outReportId], 0);
    EXPECT_EQ(first.bytes[outSequence], 255);
    EXPECT_EQ(first.bytes[outCommand], cmdPoll);
    EXPECT_EQ(first.bytes[outSubCode], 0);
    EXPECT_EQ(0, std::memcmp(first.bytes + outPayload, linkRequest.payload, 23));
    answer(0);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
    const Notification data = sink.last();
    EXPECT_EQ(data.wParam, cmdPoll);
    EXPECT_EQ(data.lParam, reinterpret_cast<std::intptr_t>(data.bytes));
    EXPECT_EQ(data.answer[4], 0x07);

    // The window changes the payload between WM_LINK_DATA and answerProcessed;
    // the next poll takes it, numbered 0 after 255, and 0xF0 answers it like 0x50.
    EXPECT_EQ(sequenceOf(1), 0);
    EXPECT_EQ(written(1).bytes[outPayload], 0x55);
    answer(1, ansStatus);
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 2));
}

TEST_F(PollEngineTest, AnswerProcessedReleasesTheNextPollAtOnceOtherwiseAfterHalfASecond)
{
    // A monitor that processes each answer at once gets ten polls in far
    // less than the ten idle periods they would otherwise cost.
    answerPromptly();
    const auto begin = Clock::now();
    startPoll();
    for (std::size_t i = 0; i < 10; ++i)
        answer(i);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 10));
    EXPECT_LT(msSince(begin), 2500);
    stopLink();

    sink.onPost = nullptr;
    resetEvent(answerProcessed);
    fake::install();
    startPoll();
    answer(0);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 11));
    const Clock::time_point idleFrom = sink.last().at;
    ASSERT_TRUE(fake::waitForWrites(2, waitMs));
    EXPECT_GE(msSince(idleFrom), 490);
}

TEST_F(PollEngineTest, TwoHundredForeignAnswersAreSkippedTheNextOneForcesAResend)
{
    startPoll();
    const std::uint8_t sequence = sequenceOf(0);
    for (int i = 0; i < 200; ++i)
        fake::pushAnswer(static_cast<std::uint8_t>(sequence + 100), ansOk, {1, 1});
    answer(0);   // still the answer to the first request: no resend
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));

    setEvent(answerProcessed);
    const std::uint8_t next = sequenceOf(1);
    for (int i = 0; i < 201; ++i)
        fake::pushAnswer(sequence, ansOk, {1, 1});   // all late
    // The 201st makes the engine send again with a new sequence number.
    EXPECT_EQ(sequenceOf(2), static_cast<std::uint8_t>(next + 1));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 1u);
    answer(2);
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 2));
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
}

TEST_F(PollEngineTest, AReportArrivingWhileIdleWaitsInTheReaderAndCountsAsForeign)
{
    startPoll();
    answer(0);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
    ASSERT_TRUE(fake::waitForPendingRead(waitMs));
    // Two late copies while the engine idles: the reader takes one and holds
    // it; the other is not read before the engine, with its next poll, has
    // consumed the first.
    answer(0);
    answer(0);
    if (fake::waitForQueued(0, 100)) {
        EXPECT_EQ(fake::writes().size(), 2u) << "read before the engine consumed the last report";
    }

    setEvent(answerProcessed);
    written(1);
    EXPECT_TRUE(fake::waitForQueued(0, waitMs));
    EXPECT_TRUE(fake::waitForPendingRead(waitMs));   // both late copies consumed
    EXPECT_EQ(sink.count(WM_LINK_DATA), 1u);
    answer(1);   // still the answer to the second request: no resend
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 2));
}

// A window busy with a message box reads its WM_LINK_DATA late, after the
// engine's next poll has brought another answer: it must still read the
// answer its message was posted for.
TEST_F(PollEngineTest, AnAnswerReadLateIsTheOneItsMessageWasPostedFor)
{
    startPoll();
    answerCode(0, ansOk, {1, 1, 0x23, 0x01, 0x11});
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
    const auto* first = reinterpret_cast<const std::uint8_t*>(sink.last().lParam);
    answerCode(1, ansOk, {1, 1, 0x23, 0x01, 0x22});   // the poll after 500 ms
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 2));
    EXPECT_EQ(first[4], 0x11);
}

TEST_F(PollEngineTest, WrongTypeOrKindEndsWithCode1AndTheAnswer)
{
    startPoll();
    answer(0, ansOk, 2, 1);   // right kind, answer type 2
    EXPECT_EQ(sink.endCode(), endWrongUnit);
    EXPECT_EQ(sink.last().lParam, reinterpret_cast<std::intptr_t>(sink.last().bytes));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 0u);
    EXPECT_FALSE(fake::waitForWrites(2, 600));   // finished: nothing more is sent
    stopLink();

    // An M-Series unit (kind 2, firmware 2.04) answering the K-Series monitor.
    startPoll();
    answerCode(1, ansOk, {1, 2, 4, 2});
    ASSERT_EQ(sink.endCode(2), endWrongUnit);
    // The window names the unit from answer bytes 4 to 7: kind at +1, firmware minor, major.
    const auto end = sink.last();
    EXPECT_EQ(std::vector<std::uint8_t>(end.answer, end.answer + 4),
              (std::vector<std::uint8_t>{1, 2, 4, 2}));
}

TEST_F(PollEngineTest, UnexpectedCodesResendWithNewNumbersAndShareTheTwentyPasses)
{
    startPoll();
    for (std::size_t i = 0; i < 20; ++i) {
        if (i > 0) {
            EXPECT_EQ(sequenceOf(i), static_cast<std::uint8_t>(sequenceOf(i - 1) + 1));
        }
        answer(i, ansRefused);
    }
    EXPECT_EQ(sink.endCode(), endCommunicationLost);
    EXPECT_EQ(fake::writes().size(), 20u);
}

using EngineTest = LinkFixture;

TEST_F(EngineTest, EveryEngineEndsOnFailingWritesAndAGoneDevice)
{
    struct Engine {
        EngineProcedure procedure;
        long pendingSliceMs;   // how long it waits for a pending write each pass
    };
    const Engine engines[] = {{pollEngine, 10}, {blockReadEngine, 30}, {blockWriteEngine, 10}};
    struct Case {
        fake::WriteMode mode;
        std::uintptr_t code;
        std::size_t writes;
        long slices;
    };
    const Case cases[] = {{fake::writeFails, endCommunicationLost, 20, 0},
                          {fake::writeNeverCompletes, endCommunicationLost, 0, 20},
                          {fake::writeGone, endDeviceGone, 0, 0}};
    std::size_t ends = 0;
    for (const Engine& engine : engines) {
        for (const Case& c : cases) {
            fake::install({.writeMode = c.mode});
            const auto begin = Clock::now();
            start(engine.procedure);
            EXPECT_EQ(sink.endCode(++ends), c.code) << "case " << ends;
            EXPECT_GE(msSince(begin), c.slices * engine.pendingSliceMs - 10) << "case " << ends;
            EXPECT_EQ(sink.last().lParam, 0);
            EXPECT_EQ(fake::writes().size(), c.writes) << "case " << ends;
            stopLink();
        }
    }
    // (A unit unplugged while a read is pending: see the stop tests.)
}

TEST_F(PollEngineTest, AReaderFailingEveryReadPausesBetweenAttempts)
{
    fake::install({.readsFail = true});
    const auto begin = Clock::now();
    startPoll();
    ASSERT_TRUE(fake::waitForReadStarts(6, waitMs));
    // Five pauses of 10 ms lie between six attempts; a spinning reader
    // would make them in microseconds.
    EXPECT_GE(msSince(begin), 45);
}

} // namespace
