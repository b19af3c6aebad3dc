#include "block_engine_test_support.h"

namespace {

class BlockReadEngineTest : public BlockEngineFixture {
protected:
    std::uint8_t buffer[512];

    void SetUp() override
    {
        BlockEngineFixture::SetUp();
        sink.dataHeaderInWParam = true;
        std::memset(buffer, 0xEE, sizeof buffer);
        linkRequest.command = cmdReadProtocol;
        linkRequest.payload[0] = 1;
        linkRequest.payload[1] = 2;
        linkRequest.payload[19] = 0x5C;
        linkRequest.data = buffer;
        linkRequest.dataCapacity = sizeof buffer;
        linkRequest.blockSize = 48;
        linkRequest.crcSelector = 2;
    }

    void start() { ASSERT_TRUE(startLinkThreads(blockReadEngine, &linkRequest)); }
    bool ended(std::uintptr_t code)
    {
        return sink.waitFor(WM_LINK_END, 1, 2000) && sink.all().back().wParam == code;
    }
};

TEST_F(BlockReadEngineTest, ThreeBlocksGoRequestAckAckAckThenEndCode5)
{
    start();
    // Any of the three data codes is a block, whatever was asked for.
    answerBlock(0, 0, 0x10, ansProtocol);
    answerBlock(1, 1, 0x11, ansCounters);
    answerBlock(2, 0xFFFF, 0x12, ansConfiguration);
    ASSERT_TRUE(ended(endCompleted));

    auto writes = fake::writes();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].bytes[outCommand], cmdReadProtocol);
    EXPECT_EQ(writes[0].bytes[outPayload + 1], 2);
    EXPECT_EQ(writes[0].bytes[outPayload + 19], 0x5C);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(writes[i].bytes[outCommand], cmdBlockAccepted);
        EXPECT_EQ(writes[i].bytes[outSequence], static_cast<std::uint8_t>(writes[i - 1].bytes[outSequence] + 1));
        // The rest of the report stays as the request left it.
        EXPECT_EQ(0, std::memcmp(writes[i].bytes + outPayload, writes[0].bytes + outPayload, 20));
    }
    // Blocks of 48 lie end to end; nothing beyond them is touched.
    EXPECT_EQ(buffer[0], 0x10);
    EXPECT_EQ(buffer[48], 0x11);
    EXPECT_EQ(buffer[143], 0x12);
    EXPECT_EQ(buffer[144], 0xEE);

    auto data = posted(WM_LINK_DATA);
    ASSERT_EQ(data.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(data[i].lParam, static_cast<std::intptr_t>(i));   // accepted blocks, not numbers
        EXPECT_EQ(data[i].wParam, reinterpret_cast<std::uintptr_t>(blockHeader));
        EXPECT_EQ(readLe16(data[i].answer + headerTotalBlocks), 3);
        EXPECT_EQ(readLe16(data[i].answer + headerItemCount), 7);
    }
    EXPECT_EQ(readLe16(data[2].answer + headerBlockNumber), 0xFFFF);
    // The end comes after the last acknowledgement was written.
    EXPECT_EQ(sink.all().back().lParam, 0);
}

TEST_F(BlockReadEngineTest, ALastBlockFirstIsStoredAtZeroAndEndsTheTransfer)
{
    start();
    answerBlock(0, 0xFFFF, 0x21, ansProtocol, 1);
    ASSERT_TRUE(ended(endCompleted));
    EXPECT_EQ(posted(WM_LINK_DATA).size(), 1u);
    EXPECT_EQ(posted(WM_LINK_DATA)[0].lParam, 0);
    EXPECT_EQ(fake::writes().size(), 2u);
    EXPECT_EQ(buffer[0], 0x21);
    EXPECT_EQ(buffer[48], 0xEE);
}

TEST_F(BlockReadEngineTest, ThirtyTwoByteBlocksOverlapTheFieldOfThePreviousOne)
{
    linkRequest.blockSize = 32;
    start();
    answerBlock(0, 0, 0x31);
    answerBlock(1, 0xFFFF, 0x32);
    ASSERT_TRUE(ended(endCompleted));
    EXPECT_EQ(buffer[31], 0x31);
    EXPECT_EQ(buffer[32], 0x32);
    EXPECT_EQ(buffer[79], 0x32);   // the last block's full field stays behind the data
    EXPECT_EQ(buffer[80], 0xEE);
}

TEST_F(BlockReadEngineTest, ARepeatedBlockIsReRequestedAndNotStored)
{
    linkRequest.blockSize = 32;
    start();
    answerBlock(0, 0, 0x41);
    answerBlock(1, 0, 0x99);            // block 0 again while 1 is expected
    fake::Report again = written(2);
    EXPECT_EQ(again.bytes[outCommand], cmdResendFrom);
    EXPECT_EQ(readLe16(again.bytes + outBlockNumber), 1);
    EXPECT_EQ(buffer[0], 0x41);
    EXPECT_EQ(buffer[40], 0x41);
    answerBlock(2, 0xFFFF, 0x42);
    ASSERT_TRUE(ended(endCompleted));
    EXPECT_EQ(buffer[32], 0x42);
    EXPECT_EQ(posted(WM_LINK_DATA).size(), 2u);
    // The acknowledgement keeps the block number of the re-request.
    EXPECT_EQ(readLe16(written(3).bytes + outBlockNumber), 1);
}

TEST_F(BlockReadEngineTest, BadCrcIsAcceptedUpToSelector2AndReRequestedAbove)
{
    start();
    answerBlock(0, 0xFFFF, 0x51, ansProtocol, 1, 1, true);
    ASSERT_TRUE(ended(endCompleted));
    EXPECT_EQ(buffer[0], 0x51);
    stopLink();

    std::memset(buffer, 0xEE, sizeof buffer);
    linkRequest.crcSelector = 3;
    start();
    answerBlock(2, 0xFFFF, 0x52, ansProtocol, 1, 1, true);
    EXPECT_EQ(written(3).bytes[outCommand], cmdResendLast);
    EXPECT_EQ(buffer[0], 0xEE);
    // Only answers 0x36 are checked.
    answerBlock(3, 0xFFFF, 0x53, ansCounters, 1, 1, true);
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    EXPECT_EQ(sink.all().back().wParam, endCompleted);
    EXPECT_EQ(buffer[0], 0x53);
}

TEST_F(BlockReadEngineTest, ABlockBeyondTheCapacityEndsWithCode0AndWritesNothingPastIt)
{
    linkRequest.blockSize = 32;
    linkRequest.dataCapacity = 80;   // the rest of buffer plays the memory behind it
    start();
    answerBlock(0, 0, 0x61);
    answerBlock(1, 1, 0x62);          // 32..63 fits; its field's tail is clipped at 80
    answerBlock(2, 2, 0x63);          // 64..95 does not fit
    ASSERT_TRUE(ended(endCommunicationLost));
    EXPECT_EQ(buffer[79], 0x62);
    EXPECT_EQ(buffer[80], 0xEE);
    EXPECT_EQ(posted(WM_LINK_DATA).size(), 2u);
    EXPECT_EQ(fake::writes().size(), 3u);   // no acknowledgement for the block that did not fit

    // No destination at all: the first block already ends the transfer.
    stopLink();
    linkRequest.data = nullptr;
    start();
    answerBlock(3, 0xFFFF, 0x64);
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    EXPECT_EQ(sink.all().back().wParam, endCommunicationLost);
}

TEST_F(BlockReadEngineTest, RefusalEndsWithCode1OtherAnswersAreResentForeignOnesIgnored)
{
    start();
    fake::pushAnswer(static_cast<std::uint8_t>(sequenceOf(0) - 1), ansRefused);   // late: foreign
    answerCode(0, ansOk);                                                        // unexpected: resend
    fake::Report resent = written(1);
    EXPECT_EQ(resent.bytes[outCommand], cmdReadProtocol);
    EXPECT_EQ(resent.bytes[outSequence], static_cast<std::uint8_t>(sequenceOf(0) + 1));
    answerCode(1, ansRefused, {0, 2, 4, 2});
    ASSERT_TRUE(ended(endWrongUnit));
    EXPECT_EQ(sink.all().back().lParam, addressParam(lastAnswer + 4));
    EXPECT_EQ(sink.all().back().answer[1], 2);   // the unit's kind
    EXPECT_EQ(fake::writes().size(), 2u);
}

TEST_F(BlockReadEngineTest, FailedWritesEndWithCode0AndAGoneDeviceWithCode4)
{
    fake::setWriteMode(fake::writeFails);
    start();
    ASSERT_TRUE(ended(endCommunicationLost));
    EXPECT_EQ(fake::writes().size(), 20u);
    stopLink();

    fake::setWriteMode(fake::writeGone);
    start();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 2000));
    EXPECT_EQ(sink.all().back().wParam, endDeviceGone);
}

} // namespace
