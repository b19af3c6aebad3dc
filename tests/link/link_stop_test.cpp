#include <functional>
#include <thread>

#include "fake_device.h"
#include "link/device_discovery.h"
#include "link_test_support.h"

namespace {

class StopLinkTest : public LinkFixture {
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

    // Stops the link and checks that both threads ended at once, the device
    // was closed, and a second stop changes nothing.
    void expectPromptStop()
    {
        ASSERT_EQ(appState.linkOpen, 1);
        auto start = Clock::now();
        stopLink();
        const long took = msSince(start);
        EXPECT_LT(took, 100) << "stopLink must not wait out a slice";
        EXPECT_TRUE(linkThreadsEnded());
        EXPECT_EQ(appState.linkOpen, 0);
        EXPECT_FALSE(isEventSet(linkStop));
        EXPECT_FALSE(isEventSet(readerReady));
        EXPECT_EQ(fake::opens(), fake::closes());

        start = Clock::now();
        stopLink();
        EXPECT_LT(msSince(start), 5);
        EXPECT_FALSE(isEventSet(linkStop));
    }
};

TEST_F(StopLinkTest, WithNoLinkOpenItReturnsAtOnceAndLeavesLinkStopAlone)
{
    setEvent(linkStop);
    auto start = Clock::now();
    stopLink();
    EXPECT_LT(msSince(start), 5);
    EXPECT_TRUE(isEventSet(linkStop));
    resetEvent(linkStop);
    stopLink();
    EXPECT_FALSE(isEventSet(linkStop));
}

TEST_F(StopLinkTest, ReaderPendingEngineAwaiting)
{
    startPoll();
    ASSERT_TRUE(fake::waitForWrites(1, 2000));
    ASSERT_TRUE(fake::waitForPendingRead(2000));
    std::this_thread::sleep_for(std::chrono::milliseconds(120)); // into a later await slice
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderHandingOverEngineIdling)
{
    startPoll();
    ASSERT_TRUE(fake::waitForWrites(1, 2000));
    const std::uint8_t sequence = fake::writes()[0].bytes[outSequence];
    fake::pushAnswer(sequence, ansOk, {1, 1});
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 2000));
    ASSERT_TRUE(fake::waitForPendingRead(2000));
    fake::pushAnswer(sequence, ansOk, {1, 1});   // held by the reader
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderDeadEngineFinished)
{
    fake::setOpenFails(true);
    startPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    expectPromptStop();
}

TEST_F(StopLinkTest, ReaderRetryingFailedReadsEngineWaitingForAPendingWrite)
{
    fake::setReadMode(fake::readFails);
    fake::setWriteMode(fake::writeNeverCompletes);
    startPoll();
    std::this_thread::sleep_for(std::chrono::milliseconds(55));
    expectPromptStop();
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
}

TEST_F(StopLinkTest, ReaderDeadAfterUnplugEngineFinishedAfterWrongUnit)
{
    startPoll();
    ASSERT_TRUE(fake::waitForWrites(1, 2000));
    fake::pushAnswer(fake::writes()[0].bytes[outSequence], ansOk, {1, 5});
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 2000));
    ASSERT_TRUE(fake::waitForPendingRead(2000));
    fake::unplug();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    expectPromptStop();
}

TEST_F(StopLinkTest, AnEngineWhoseWritesFailAtOnceEndsOnLinkStopWithoutAMessage)
{
    // As when the reader has already closed the device during a stop.
    fake::setWriteMode(fake::writeFailsDuringStop);
    startPoll();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_TRUE(linkThreadsEnded());
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
    EXPECT_EQ(fake::writes().size(), 1u);
    stopLink();
}

TEST_F(StopLinkTest, ALinkCanBeOpenedAgainAfterAStop)
{
    for (int round = 0; round < 3; ++round) {
        startPoll();
        ASSERT_TRUE(fake::waitForWrites(static_cast<std::size_t>(round + 1), 2000));
        expectPromptStop();
    }
}

} // namespace
