#include "base/crc16.h"
#include "link_test_support.h"

namespace {

class BlockReadEngineTest : public LinkFixture {
protected:
    std::uint8_t buffer[512];

    void SetUp() override
    {
        LinkFixture::SetUp();
        std::memset(buffer, 0xEE, sizeof buffer);
        linkRequest = LinkRequest{.command = cmdReadProtocol, .data = buffer, .payload = {1, 2}, .blockSize = 48,
                                  .crcSelector = 2, .dataCapacity = sizeof buffer};
        linkRequest.payload[19] = 0x5C;
    }

    // A data answer to write i: 3 blocks in all, block number, item count
    // 7, the 48-byte field filled with fill, and the CRC over its first s bytes.
    void answerBlock(std::size_t i, std::uint16_t number, std::uint8_t fill, std::uint8_t code = ansConfiguration,
                     bool badCrc = false)
    {
        std::uint8_t report[reportSize] = {0, sequenceOf(i), code};
        writeLe16(report + inBlockTotal, 3);
        writeLe16(report + inBlockNumber, number);
        writeLe16(report + inBlockItems, 7);
        std::memset(report + inBlockData, fill, blockDataField);
        const std::size_t s = linkRequest.blockSize;
        writeLe16(report + inBlockData + s, static_cast<std::uint16_t>(crc16(report + inBlockData, s) ^ badCrc));
        fake::push(report);
    }
    // The buffer from first on holds these bytes.
    void expectBuffer(std::size_t first, const std::vector<std::uint8_t>& bytes)
    {
        EXPECT_EQ(std::vector<std::uint8_t>(buffer + first, buffer + first + bytes.size()), bytes) << "at " << first;
    }
};

TEST_F(BlockReadEngineTest, ThreeBlocksGoRequestAckAckAckThenEndCode5)
{
    start(blockReadEngine);
    // Any of the three data codes is a block, whatever was asked for.
    answerBlock(0, 0, 0x10, ansProtocol);
    answerBlock(1, 1, 0x11, ansCounters);
    answerBlock(2, 0xFFFF, 0x12, ansConfiguration);
    expectEnd(1, endCompleted, false);

    const auto writes = fake::writes();
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
    expectBuffer(0, {0x10});
    expectBuffer(48, {0x11});
    expectBuffer(143, {0x12, 0xEE});

    auto data = sink.all(WM_LINK_DATA);
    ASSERT_EQ(data.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(data[i].lParam, static_cast<std::intptr_t>(i));   // accepted blocks, not numbers
        EXPECT_EQ(data[i].wParam, reinterpret_cast<std::uintptr_t>(data[i].bytes));
        // What the window reads later is still this block's header.
        EXPECT_EQ(readLe16(data[i].bytes + headerBlockNumber), i < 2 ? i : 0xFFFF);
        EXPECT_EQ(readLe16(data[i].answer + headerTotalBlocks), 3);
        EXPECT_EQ(readLe16(data[i].answer + headerItemCount), 7);
    }
    EXPECT_EQ(readLe16(data[2].answer + headerBlockNumber), 0xFFFF);
}

TEST_F(BlockReadEngineTest, ARepeatedBlockIsReRequestedAndThirtyTwoByteBlocksOverlap)
{
    linkRequest.blockSize = 32;
    start(blockReadEngine);
    answerBlock(0, 0, 0x41);
    answerBlock(1, 0, 0x99);            // block 0 again while 1 is expected
    EXPECT_EQ(commandOf(2), cmdResendFrom);
    EXPECT_EQ(readLe16(written(2).bytes + outBlockNumber), 1);
    expectBuffer(0, {0x41});
    expectBuffer(40, {0x41});           // nothing stored from the repeat
    answerBlock(2, 0xFFFF, 0x42);
    ASSERT_EQ(sink.endCode(), endCompleted);
    EXPECT_EQ(sink.count(WM_LINK_DATA), 2u);
    // The acknowledgement keeps the block number of the re-request.
    EXPECT_EQ(readLe16(written(3).bytes + outBlockNumber), 1);
    // Each block's 48-byte field is stored whole: the next block overwrites
    // its tail, the last one's tail stays behind the data.
    expectBuffer(31, {0x41, 0x42});
    expectBuffer(79, {0x42, 0xEE});
}

TEST_F(BlockReadEngineTest, ABlockBeyondTheCapacityEndsWithCode0AndWritesNothingPastIt)
{
    linkRequest.blockSize = 32;
    linkRequest.dataCapacity = 80;   // the rest of buffer plays the memory behind it
    start(blockReadEngine);
    answerBlock(0, 0, 0x61);
    answerBlock(1, 1, 0x62);          // 32..63 fits; its field's tail is clipped at 80
    answerBlock(2, 2, 0x63);          // 64..95 does not fit
    ASSERT_EQ(sink.endCode(), endCommunicationLost);
    expectBuffer(79, {0x62, 0xEE});
    EXPECT_EQ(sink.count(WM_LINK_DATA), 2u);
    EXPECT_EQ(fake::writes().size(), 3u);   // no acknowledgement for the block that did not fit

    // No destination at all: the first block already ends the transfer.
    stopLink();   // the request is the engine's until then
    linkRequest.data = nullptr;
    start(blockReadEngine);
    answerBlock(3, 0xFFFF, 0x64);
    EXPECT_EQ(sink.endCode(2), endCommunicationLost);
}

// Selectors up to 2 take a block whatever its CRC; above, a bad one is asked
// for again, and only protocol answers (0x36) carry a CRC.
TEST_F(BlockReadEngineTest, BadCrcIsAcceptedUpToSelector2AndReRequestedAbove)
{
    start(blockReadEngine);
    answerBlock(0, 0xFFFF, 0x51, ansProtocol, true);
    ASSERT_EQ(sink.endCode(), endCompleted);
    EXPECT_EQ(buffer[0], 0x51);

    stopLink();
    std::memset(buffer, 0xEE, sizeof buffer);
    linkRequest.crcSelector = 3;
    start(blockReadEngine);
    answerBlock(2, 0xFFFF, 0x52, ansProtocol, true);
    EXPECT_EQ(commandOf(3), cmdResendLast);
    EXPECT_EQ(buffer[0], 0xEE);
    answerBlock(3, 0xFFFF, 0x53, ansCounters, true);
    ASSERT_EQ(sink.endCode(2), endCompleted);
    EXPECT_EQ(buffer[0], 0x53);
}

TEST_F(BlockReadEngineTest, RefusalEndsWithCode1OtherAnswersAreResentForeignOnesIgnored)
{
    start(blockReadEngine);
    fake::pushAnswer(static_cast<std::uint8_t>(sequenceOf(0) - 1), ansRefused);   // late: foreign
    answerCode(0, ansOk);                                                        // unexpected: resend
    EXPECT_EQ(commandOf(1), cmdReadProtocol);
    EXPECT_EQ(sequenceOf(1), static_cast<std::uint8_t>(sequenceOf(0) + 1));
    answerCode(1, ansRefused, {0, 2, 4, 2});
    expectEnd(1, endWrongUnit, true);
    EXPECT_EQ(sink.last().answer[1], 2);   // the unit's kind
    EXPECT_EQ(fake::writes().size(), 2u);
}

} // namespace
