#include <atomic>
#include <thread>

#include "fake_device.h"
#include "link/device_discovery.h"
#include "link/unit_messages.h"
#include "app/texts.h"
#include "link_test_support.h"

namespace {

// The poll engine and the reader against a scripted device.
class PollEngineTest : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        fake::install();
        devicePath = "fake-unit";
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        fake::uninstall();
    }

    // Sequence number of write i (waits for it).
    std::uint8_t sentSequence(std::size_t i)
    {
        EXPECT_TRUE(fake::waitForWrites(i + 1, 2000));
        auto written = fake::writes();
        return written.size() > i ? written[i].bytes[outSequence] : 0;
    }

    // A K-Series status answer to the request with this sequence number.
    static void answer(std::uint8_t sequence, std::uint8_t code = ansOk, std::uint8_t type = 1,
                       std::uint8_t kind = 1)
    {
        fake::pushAnswer(sequence, code, {type, kind, 0x23, 0x01, 0x07});
    }
};

TEST_F(PollEngineTest, SendsTheRecordAndPostsAMatchingAnswer)
{
    startPoll();
    const std::uint8_t sequence = sentSequence(0);
    auto first = fake::writes()[0];
    EXPECT_EQ(first.bytes[0], 0);
    EXPECT_EQ(first.bytes[outCommand], cmdPoll);
    EXPECT_EQ(first.bytes[outSubCode], 0);
    EXPECT_EQ(0, std::memcmp(first.bytes + outPayload, linkRequest.payload, 23));

    answer(sequence);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
    Notification data = sink.all()[0];
    EXPECT_EQ(data.wParam, cmdPoll);
    EXPECT_EQ(data.lParam, addressParam(lastAnswer + 4));
    EXPECT_EQ(data.answer[0], 1);
    EXPECT_EQ(data.answer[4], 0x07);
}

TEST_F(PollEngineTest, SequenceNumberWrapsFrom255To0AcrossPolls)
{
    sequenceNumber = 254;
    startPoll();
    EXPECT_EQ(sentSequence(0), 255);
    answer(255);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
    setEvent(answerProcessed);
    EXPECT_EQ(sentSequence(1), 0);
}

TEST_F(PollEngineTest, AnswerProcessedReleasesTheNextPollAtOnceOtherwiseAfterHalfASecond)
{
    startPoll();
    answer(sentSequence(0));
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
    // The window changes the payload while the engine idles; Prepare takes it.
    linkRequest.payload[0] = 0x55;
    auto start = Clock::now();
    setEvent(answerProcessed);
    const std::uint8_t second = sentSequence(1);
    EXPECT_LT(msSince(start), 200);
    EXPECT_EQ(fake::writes()[1].bytes[outPayload], 0x55);

    answer(second);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 2, 2000));
    start = Clock::now();
    EXPECT_FALSE(fake::waitForWrites(3, 300));   // still idling
    EXPECT_TRUE(fake::waitForWrites(3, 1000));
    long period = msSince(start);
    EXPECT_GE(period, 450);
    EXPECT_LT(period, 900);
}

TEST_F(PollEngineTest, TwoHundredForeignAnswersAreSkippedTheNextOneForcesAResend)
{
    startPoll();
    const std::uint8_t sequence = sentSequence(0);
    for (int i = 0; i < 200; ++i)
        answer(static_cast<std::uint8_t>(sequence + 100));
    answer(sequence);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 5000));
    EXPECT_EQ(fake::writes().size(), 1u);

    setEvent(answerProcessed);
    const std::uint8_t next = sentSequence(1);
    for (int i = 0; i < 201; ++i)
        answer(sequence);   // all late
    // The 201st makes the engine send again with a new sequence number.
    EXPECT_EQ(sentSequence(2), static_cast<std::uint8_t>(next + 1));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 1u);
    answer(static_cast<std::uint8_t>(next + 1));
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 2, 2000));
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
}

TEST_F(PollEngineTest, AReportArrivingWhileIdleWaitsInTheReaderAndCountsAsForeign)
{
    startPoll();
    const std::uint8_t sequence = sentSequence(0);
    answer(sequence);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
    ASSERT_TRUE(fake::waitForPendingRead(2000));
    // Two late copies while the engine idles: the reader takes one and holds
    // it; the other is not read before the engine has consumed the first.
    answer(sequence);
    answer(sequence);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fake::queued(), 1u);

    setEvent(answerProcessed);
    const std::uint8_t next = sentSequence(1);
    EXPECT_TRUE(fake::waitForPendingRead(2000));   // both late copies consumed
    EXPECT_EQ(sink.count(WM_LINK_DATA), 1u);
    answer(next);
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 2, 2000));
    EXPECT_EQ(fake::writes().size(), 2u);
}

TEST_F(PollEngineTest, AnswerCodeF0IsAcceptedLike50)
{
    startPoll();
    answer(sentSequence(0), ansStatus);
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
}

TEST_F(PollEngineTest, WrongTypeOrKindEndsWithCode1AndTheAnswer)
{
    selectLanguageTexts(1);
    startPoll();
    // Right kind, answer type 2.
    answer(sentSequence(0), ansOk, 2, 1);
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 2000));
    Notification end = sink.all().back();
    EXPECT_EQ(end.wParam, endWrongUnit);
    EXPECT_EQ(end.lParam, addressParam(lastAnswer + 4));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 0u);
    // Finished: nothing more is written.
    EXPECT_FALSE(fake::waitForWrites(2, 600));
    stopLink();

    // An M-Series unit (kind 2, firmware 2.04) answering the K-Series monitor.
    startPoll();
    const std::uint8_t sequence = sentSequence(1);
    fake::pushAnswer(sequence, ansOk, {1, 2, 4, 2});
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    char message[128];
    wrongUnitMessage(message, sizeof message, unitK, sink.all().back().answer, englishTexts);
    EXPECT_STREQ(message, "False ControlUnit (M-Series) connected !");
}

TEST_F(PollEngineTest, UnexpectedCodesResendWithNewNumbersAndShareTheTwentyPasses)
{
    startPoll();
    std::uint8_t previous = 0;
    for (std::size_t i = 0; i < 20; ++i) {
        const std::uint8_t sequence = sentSequence(i);
        if (i > 0) {
            EXPECT_EQ(sequence, static_cast<std::uint8_t>(previous + 1));
        }
        previous = sequence;
        answer(sequence, ansRefused);
    }
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 2000));
    EXPECT_EQ(sink.all().back().wParam, endCommunicationLost);
    EXPECT_EQ(fake::writes().size(), 20u);
}

TEST_F(PollEngineTest, WriteFailuresEndWithCode0AfterTwentyPasses)
{
    fake::setWriteMode(fake::writeFails);
    startPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 2000));
    EXPECT_EQ(sink.all().back().wParam, endCommunicationLost);
    EXPECT_EQ(sink.all().back().lParam, 0);
    EXPECT_EQ(fake::writes().size(), 20u);
}

TEST_F(PollEngineTest, AWriteThatNeverCompletesCostsTwentySlicesThenCode0)
{
    fake::setWriteMode(fake::writeNeverCompletes);
    auto start = Clock::now();
    startPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    EXPECT_EQ(sink.all().back().wParam, endCommunicationLost);
    EXPECT_GE(msSince(start), 190);
}

TEST_F(PollEngineTest, DeviceGoneWhileWritingOrReadingEndsWithCode4)
{
    fake::setWriteMode(fake::writeGone);
    startPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 2000));
    EXPECT_EQ(sink.all().back().wParam, endDeviceGone);
    stopLink();

    fake::setWriteMode(fake::writeCompletes);
    startPoll();
    sentSequence(0);
    ASSERT_TRUE(fake::waitForPendingRead(2000));
    fake::unplug();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    EXPECT_EQ(sink.all().back().wParam, endDeviceGone);
}

TEST_F(PollEngineTest, ADeviceThatCannotBeOpenedAbortsTheReaderAndStarvesTheEngine)
{
    fake::setOpenFails(true);
    startPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    auto all = sink.all();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0].message, WM_LINK_ABORT);
    EXPECT_EQ(all[0].wParam, 0u);
    EXPECT_EQ(all[0].lParam, 0);
    EXPECT_EQ(all[1].message, WM_LINK_END);
    EXPECT_EQ(all[1].wParam, endCommunicationLost);
}

TEST_F(PollEngineTest, AReaderFailingEveryReadPausesBetweenAttempts)
{
    fake::setReadMode(fake::readFails);
    startPoll();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int attempts = fake::readStarts();
    EXPECT_GE(attempts, 3);
    EXPECT_LE(attempts, 40);   // a spinning reader would make thousands
}

} // namespace
