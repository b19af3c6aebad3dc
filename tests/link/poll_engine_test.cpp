#include <thread>

#include "link_test_support.h"

namespace {

// The poll engine and the reader against the scripted device.
class PollEngineTest : public LinkFixture {
protected:
    void SetUp() override { LinkFixture::SetUp(); start(pollEngine); }
    // A K-Series status answer with code c (type, kind, firmware 1.23, one more byte b) to write i.
    void answer(std::size_t i, std::uint8_t c = ansOk, std::uint8_t b = 0x07) { answerCode(i, c, {1, 1, 0x23, 1, b}); }
};

TEST_F(PollEngineTest, SendsTheRecordWithWrappingNumbersAndPostsMatchingAnswers)
{
    stopLink();
    sequenceNumber = 254;
    sink.onPost = [](const Notification&) {
        linkRequest.payload[0] = 0x55;
        setEvent(answerProcessed);
    };
    fake::install();   // forget the first link's write
    start(pollEngine);
    const fake::Report first = written(0);
    EXPECT_EQ(0, std::memcmp(first.bytes, "\x00\xFF\x3A\x00", 4));   // id, number 255, command, sub-code
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

TEST_F(PollEngineTest, TwoHundredForeignAnswersAreSkippedTheNextOneForcesAResend)
{
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

// A window busy with a message box reads its WM_LINK_DATA late, after the
// engine's next poll has brought another answer: it must still read the
// answer its message was posted for.
TEST_F(PollEngineTest, AnAnswerReadLateIsTheOneItsMessageWasPostedFor)
{
    answer(0, ansOk, 0x11);
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
    const auto* first = reinterpret_cast<const std::uint8_t*>(sink.last().lParam);
    answer(1, ansOk, 0x22);   // the poll after 500 ms
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 2));
    EXPECT_EQ(first[4], 0x11);
}

// The release poll: stopLink has the engine send the request's release
// payload once and waits for its answer, then stops as ever. Nothing is
// posted for it. Each row: where the engine is when stopLink comes, whether
// a release is due, whether the unit answers it; the writes made during the
// stop and whether the release was over before the stop (releaseDone).
TEST_F(PollEngineTest, StopSendsTheReleasePollFirstWhenOneIsDue)
{
    enum class Where { idling, finished };
    const struct {
        const char* name;
        Where where;
        bool due;
        bool answered;
        std::size_t releaseWrites;
        bool over;
    } rows[] = {
        {"idle, due, answered", Where::idling, true, true, 1, true},
        {"idle, due, refused then answered", Where::idling, true, true, 2, true},
        {"idle, due, silent", Where::idling, true, false, 1, false},
        {"idle, none due", Where::idling, false, true, 0, false},
        {"Where::finished after a wrong unit: nothing can be sent", Where::finished, true, true, 0, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        stopLink();
        fake::install();
        sink.clear();
        start(pollEngine);
        answerCode(0, ansOk, {1, static_cast<std::uint8_t>(row.where == Where::finished ? 2 : 1)});
        ASSERT_TRUE(sink.waitFor(row.where == Where::finished ? WM_LINK_END : WM_LINK_DATA, 1));
        const std::size_t before = sink.all().size();
        // The window, on the answer: the release beside the payload.
        for (int i = 0; i < 23; ++i)
            linkRequest.releasePayload[i] = static_cast<std::uint8_t>(0x10 + i);
        linkRequest.releaseLength = row.due ? 23 : 0;
        std::thread unit([&] {
            if (!row.answered || row.releaseWrites == 0 || !fake::waitForWrites(2, waitMs))
                return;
            if (row.releaseWrites == 2) {
                answerCode(1, ansRefused);
                fake::waitForWrites(3, waitMs);
            }
            answerCode(row.releaseWrites, ansOk, {1, 1});
        });
        const auto begin = Clock::now();
        stopLink();
        const long took = msSince(begin);
        unit.join();
        const auto all = fake::writes();
        ASSERT_EQ(all.size(), 1 + row.releaseWrites);
        for (std::size_t i = 1; i < all.size(); ++i) {
            EXPECT_EQ(all[i].bytes[outCommand], cmdPoll);
            EXPECT_EQ(0, std::memcmp(all[i].bytes + outPayload, linkRequest.releasePayload, 23));
        }
        EXPECT_EQ(sink.all().size(), before);   // no notification about the release
        EXPECT_TRUE(linkThreadsEnded());
        EXPECT_FALSE(isEventSet(linkRelease));
        EXPECT_EQ(isEventSet(releaseDone), row.over);
        if (row.due && !row.over) {
            EXPECT_GE(took, releaseWaitMs - 10);   // the silent unit had its time
        }
    }
    // A new link starts with none due.
    restart(pollEngine);
    EXPECT_EQ(linkRequest.releaseLength, 0);
}

} // namespace
