#include "soak_fixture.h"

namespace {

using LinkGuardTest = SoakFixture;

// A unit whose protocol does not fit the buffer: the block that would overrun
// it ends the transfer with end code 0, nothing lands past the buffer, and the
// protocol does not become available. Sanitizer builds use a smaller buffer.
TEST_F(LinkGuardTest, ProtocolLargerThanTheBufferEndsWithCode0)
{
    const std::size_t capacity = sanitizedBuild ? 48 * 400 + 20 : protocolBufferSize;
    const auto entries = static_cast<std::uint32_t>(capacity / 24 + 1);
    serve(entries);
    buffer.assign(capacity + 256, 0xEE);
    blockRequest(cmdReadProtocol);
    linkRequest.dataCapacity = static_cast<std::uint32_t>(capacity);

    EXPECT_EQ(endOf(blockReadEngine), endCommunicationLost);
    EXPECT_EQ(sink.count(WM_LINK_DATA), capacity / 48);
    EXPECT_EQ(std::count(buffer.begin() + static_cast<long>(capacity), buffer.end(), 0xEE), 256);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + capacity / 48 * 48, failureProtocol('K', entries).begin()));
    const ProtocolReadout read = readout(capacity);
    EXPECT_EQ(read.announcedCount, static_cast<std::int32_t>(std::min<std::uint32_t>(entries, 0xFFFF)));
    EXPECT_LE(static_cast<std::size_t>(read.count) * 24, capacity);
    EXPECT_FALSE(protocolReadoutEnded(read, endCommunicationLost).protocolAvailable);
}

// Item count 0xFFFF with a single 48-byte block: only the entries that block
// holds wholly are counted (two K-Series entries, no M-Series entry).
TEST_F(LinkGuardTest, ItemCount0xFFFFWithOneBlock)
{
    for (char family : {'K', 'M'}) {
        options = defaultSimOptions(family);
        serve();
        withUnit([&] { setSimDataSet(store, cmdReadProtocol, failureProtocol('K', 2), 48, 0xFFFF); });
        blockRequest(cmdReadProtocol);
        ASSERT_EQ(endOf(blockReadEngine), endCompleted) << family;
        const ProtocolReadout read = readout(buffer.size());
        const ReadoutEnd end = protocolReadoutEnded(read, endCompleted);
        const bool k = family == 'K';
        EXPECT_EQ(read.announcedCount, 0xFFFF);
        EXPECT_EQ(end.count, k ? 2 : 0);
        EXPECT_EQ(end.message, k ? ReadoutMessage::entriesRead : ReadoutMessage::noEntries);
        EXPECT_EQ(end.protocolAvailable, k);
        EXPECT_EQ(readableEntries({buffer.data(), buffer.size(), end.count}, k ? Family::k : Family::m), end.count);
    }
}

// A report that the reader of an earlier link handed over but whose engine
// never took it (the link was stopped first) is no answer for the next link,
// even where its sequence number fits.
TEST_F(LinkGuardTest, NextLinkIgnoresAReportLeftOverFromTheLastOne)
{
    serve();
    pollRequest();
    std::memset(inReport, 0, reportSize);
    inReport[inSequence] = static_cast<std::uint8_t>(sequenceNumber + 1);
    inReport[inCode] = ansOk;
    inReport[inAnswerType] = 1;
    inReport[inUnitKind] = 1;
    inReport[40] = 0x77;   // no status record of the simulator has this byte
    setEvent(reportReceived);

    transfer(pollEngine, 3);
    const auto data = sink.all(WM_LINK_DATA);
    ASSERT_GE(data.size(), 3u);
    for (const Notification& n : data)
        EXPECT_NE(n.answer[36], 0x77);
}

} // namespace
