#include "link_test_support.h"

namespace {

class BlockWriteEngineTest : public LinkFixture {
protected:
    std::uint8_t source[96];

    void SetUp() override
    {
        LinkFixture::SetUp();
        for (std::size_t i = 0; i < sizeof source; ++i)
            source[i] = static_cast<std::uint8_t>(i + 1);
        program(62);
    }

    // The K-Series configuration write, with total length length.
    void program(std::uint32_t length)
    {
        linkRequest = LinkRequest{.command = cmdAnnounceWrite, .dataCommand = cmdWriteBlock, .data = source,
                                  .payload = {3, 1}, .totalLength = length, .blockSize = 32};
    }

    // Data report i: its number and s = 32 bytes from offset first of the
    // source, with 0xFF padding after the source's end.
    void expectBlock(std::size_t i, std::uint16_t number, std::size_t first)
    {
        const fake::Report block = written(i);
        EXPECT_EQ(block.bytes[outCommand], cmdWriteBlock) << "write " << i;
        EXPECT_EQ(readLe16(block.bytes + outBlockNumber), number) << "write " << i;
        for (std::size_t k = 0; k < 32; ++k) {
            const std::size_t at = first + k;
            const std::uint8_t expected = at < linkRequest.totalLength ? source[at] : 0xFF;
            ASSERT_EQ(block.bytes[outBlockData + k], expected) << "write " << i << " byte " << k;
        }
    }
};

TEST_F(BlockWriteEngineTest, LengthsSplitIntoNumberedPaddedBlocks)
{
    struct Case { std::uint32_t length; std::vector<std::uint16_t> numbers; };
    // K-Series 62, M-Series 74, a multiple of the block size, nothing.
    const Case cases[] = {{62, {0, 0xFFFF}}, {74, {0, 1, 0xFFFF}}, {64, {0, 1, 0xFFFF}}, {0, {0xFFFF}}};
    std::size_t write = 0, ends = 0;
    for (const Case& c : cases) {
        stopLink();   // the request is the engine's until then
        program(c.length);
        start(blockWriteEngine);
        EXPECT_EQ(commandOf(write), cmdAnnounceWrite);
        EXPECT_EQ(written(write).bytes[outPayload], 3);
        answerCode(write++, ansOk);
        const std::size_t dataBefore = sink.count(WM_LINK_DATA);
        for (std::size_t b = 0; b < c.numbers.size(); ++b) {
            expectBlock(write, c.numbers[b], 32 * b);
            answerCode(write++, b % 2 ? ansBlockStoredToo : ansBlockStored);
        }
        expectEnd(++ends, endProgrammed, false);
        // One WM_LINK_DATA per acknowledged block but the last, counting up.
        auto data = sink.all(WM_LINK_DATA);
        ASSERT_EQ(data.size() - dataBefore, c.numbers.size() - 1);
        for (std::size_t k = dataBefore; k < data.size(); ++k)
            EXPECT_EQ(data[k].wParam, k - dataBefore + 1);
    }
}

TEST_F(BlockWriteEngineTest, ReRequestsRestartFromTheNamedBlockOrSendAnEmptyLastOne)
{
    program(74);
    start(blockWriteEngine);
    answerCode(0, ansOk);
    answerCode(1, ansBlockStored);
    answerCode(2, ansSendAgainFrom, {0, 0});   // bytes 4, 5: block 0
    expectBlock(3, 0, 0);
    answerCode(3, ansBlockStored);
    expectBlock(4, 1, 32);
    answerCode(4, ansSendAgainFrom, {9, 0});   // beyond the data
    expectBlock(5, 0xFFFF, 9 * 32);
    // Waiting answers hold the engine without a resend.
    answerCode(5, ansWait);
    answerCode(5, ansStatus);
    EXPECT_FALSE(fake::waitForWrites(7, 150));
    answerCode(5, ansBlockStored);
    ASSERT_EQ(sink.endCode(), endProgrammed);
    EXPECT_EQ(fake::writes().size(), 6u);
}

TEST_F(BlockWriteEngineTest, AnnouncementAndWriteAnswersEndWithTheirCodes)
{
    struct Case { std::uint8_t answer; std::uintptr_t code; bool withAnswer; };
    const Case cases[] = {{ansRefused, endWrongUnit, true}, {ansBusy, endCompleted, false},
                          {ansRejected, endRejected, true}};
    std::size_t write = 0, ends = 0;
    for (const Case& c : cases) {
        restart(blockWriteEngine);
        answerCode(write, ansStatus);            // 0xF0 waits
        answerCode(write, ansBlockStored);       // an unexpected code resends
        EXPECT_EQ(commandOf(++write), cmdAnnounceWrite);
        answerCode(write++, c.answer, {0, 2, 7, 1});
        expectEnd(++ends, c.code, c.withAnswer);
        if (c.withAnswer) {
            EXPECT_EQ(sink.last().answer[1], 2);
        }
        EXPECT_FALSE(fake::waitForWrites(write + 1, 50));   // nothing is sent after the end
    }
    // The unit fails to write its EEPROM.
    restart(blockWriteEngine);
    answerCode(write, ansOk);
    answerCode(write + 1, ansWriteFailed);
    ASSERT_EQ(sink.endCode(++ends), endWriteFailed);
    EXPECT_EQ(sink.count(WM_LINK_DATA), 0u);
}

} // namespace
