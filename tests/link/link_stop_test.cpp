#include <thread>

#include "link_test_support.h"

namespace {

// stopLink from every state of reader and engine.
class StopLinkTest : public LinkFixture {
protected:
    // Stops the link: both threads end well before the 1000 ms bound (the
    // longest slice they wait in is 500 ms), the device is closed, the
    // events are reset, and a second stop changes nothing.
    void expectPromptStop()
    {
        ASSERT_EQ(appState.linkOpen, 1);
        const auto begin = Clock::now();
        stopLink();
        EXPECT_LT(msSince(begin), 400) << "stopLink waited out a slice";
        EXPECT_TRUE(linkThreadsEnded());
        EXPECT_EQ(appState.linkOpen, 0);
        EXPECT_FALSE(isEventSet(linkStop));
        EXPECT_FALSE(isEventSet(readerReady));
        EXPECT_EQ(fake::openDevices(), 0);
        stopLink();
        EXPECT_FALSE(isEventSet(linkStop));
    }
    static void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

TEST_F(StopLinkTest, WithNoLinkOpenItReturnsAtOnceAndLeavesLinkStopAlone)
{
    setEvent(linkStop);
    const auto begin = Clock::now();
    stopLink();
    EXPECT_LT(msSince(begin), 500);
    EXPECT_TRUE(isEventSet(linkStop));
}

TEST_F(StopLinkTest, ReaderPendingEngineAwaitingAndOpenAgain)
{
    for (std::size_t round = 1; round <= 2; ++round) {
        startPoll();
        ASSERT_TRUE(fake::waitForWrites(round, waitMs));
        ASSERT_TRUE(fake::waitForPendingRead(waitMs));
        sleepMs(120);   // into a later await slice
        expectPromptStop();
    }
}

TEST_F(StopLinkTest, ReaderHandingOverEngineIdling)
{
    startPoll();
    answerCode(0, ansOk, {1, 1});
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
    ASSERT_TRUE(fake::waitForPendingRead(waitMs));
    answerCode(0, ansOk, {1, 1});   // held by the reader
    sleepMs(150);
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderDeadEngineFinishedAfterTheDeviceCouldNotBeOpened)
{
    fake::install({.openFails = true});
    startPoll();
    // The reader aborts; the engine's writes fail for want of a device.
    EXPECT_EQ(sink.endCode(), endCommunicationLost);
    const Notification abort = sink.all()[0];
    EXPECT_EQ(abort.message, WM_LINK_ABORT);
    EXPECT_EQ(abort.wParam, 0u);
    EXPECT_EQ(abort.lParam, 0);
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderRetryingFailedReadsEngineWaitingForAPendingWrite)
{
    fake::install({.writeMode = fake::writeNeverCompletes, .readsFail = true});
    startPoll();
    ASSERT_TRUE(fake::waitForReadStarts(3, waitMs));
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderDeadAfterUnplugEngineFinishedAfterWrongUnit)
{
    startPoll();
    answerCode(0, ansOk, {1, 5});   // a unit of kind 5
    ASSERT_EQ(sink.endCode(), endWrongUnit);
    ASSERT_TRUE(fake::waitForPendingRead(waitMs));
    fake::unplug();   // the reader ends its pending read
    ASSERT_EQ(sink.endCode(2), endDeviceGone);
    expectPromptStop();
}

TEST_F(StopLinkTest, AnEngineWhoseWritesFailAtOnceEndsOnLinkStopWithoutAMessage)
{
    // As when the reader has already closed the device during a stop.
    fake::install({.writeMode = fake::writeFailsDuringStop});
    startPoll();
    const auto begin = Clock::now();
    while (!linkThreadsEnded() && msSince(begin) < waitMs)
        sleepMs(5);
    EXPECT_TRUE(linkThreadsEnded());
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
    EXPECT_EQ(fake::writes().size(), 1u);
}

} // namespace
