#include <algorithm>
#include <cstring>

#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"
#include "soak_fixture.h"

namespace {

class LinkGuardTest : public SoakFixture {
protected:
    void protocolRequest(std::vector<std::uint8_t>& buffer, std::size_t capacity)
    {
        linkRequest = LinkRequest{};
        linkRequest.command = cmdReadProtocol;
        linkRequest.payload[0] = 1;
        linkRequest.payload[1] = 1;
        linkRequest.data = buffer.data();
        linkRequest.dataCapacity = static_cast<std::uint32_t>(capacity);
        linkRequest.blockSize = 48;
        linkRequest.crcSelector = 1;
    }

    ProtocolReadout readoutOf(const TransferRecord& t, Family family, std::size_t capacity)
    {
        ProtocolReadout readout;
        startProtocolReadout(readout, family, capacity);
        for (const Notification& n : t.data)
            protocolBlockAccepted(readout, n.answer, static_cast<std::uint32_t>(n.lParam));
        return readout;
    }
};

// A unit whose protocol does not fit the buffer: the block that would overrun
// it ends the transfer with end code 0, nothing lands past the buffer, and the
// protocol does not become available. Sanitizer builds use a smaller buffer.
TEST_F(LinkGuardTest, ProtocolLargerThanTheBufferEndsWithCode0)
{
    const std::size_t capacity = sanitizedBuild ? 48 * 400 + 20 : protocolBufferSize;
    const std::uint32_t entries = static_cast<std::uint32_t>(capacity / 24 + 1);
    serve('K', entries);
    std::vector<std::uint8_t> buffer(capacity + 256, 0xEE);
    protocolRequest(buffer, capacity);

    const TransferRecord t = runTransfer(blockReadEngine);
    EXPECT_EQ(t.ends, std::vector<std::uintptr_t>{endCommunicationLost});
    EXPECT_EQ(t.data.size(), capacity / 48);
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<long>(capacity), buffer.end(),
                            [](std::uint8_t b) { return b == 0xEE; }));
    const std::vector<std::uint8_t> expected = failureProtocol('K', entries);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + static_cast<long>(capacity / 48 * 48), expected.begin()));

    const ProtocolReadout readout = readoutOf(t, Family::k, capacity);
    EXPECT_EQ(readout.announcedCount, static_cast<std::int32_t>(std::min<std::uint32_t>(entries, 0xFFFF)));
    EXPECT_LE(static_cast<std::size_t>(readout.count) * 24, capacity);
    EXPECT_FALSE(protocolReadoutEnded(readout, endCommunicationLost).protocolAvailable);
}

// Item count 0xFFFF with a single 48-byte block: only the entries that block
// holds wholly are counted (two K-Series entries, no M-Series entry).
TEST_F(LinkGuardTest, ItemCount0xFFFFWithOneBlock)
{
    for (char family : {'K', 'M'}) {
        serve(family);
        const std::vector<std::uint8_t> block = failureProtocol('K', 2);   // 48 bytes
        {
            std::lock_guard<std::mutex> hold(unit.lock);
            setSimDataSet(store, cmdReadProtocol, block, 48, 0xFFFF);
        }
        std::vector<std::uint8_t> buffer(protocolBufferSize, 0);
        protocolRequest(buffer, buffer.size());
        linkRequest.payload[1] = family == 'M' ? 2 : 1;

        const TransferRecord t = runTransfer(blockReadEngine);
        ASSERT_EQ(t.ends, std::vector<std::uintptr_t>{endCompleted}) << family;
        const Family series = family == 'K' ? Family::k : Family::m;
        const ProtocolReadout readout = readoutOf(t, series, buffer.size());
        const ReadoutEnd end = protocolReadoutEnded(readout, endCompleted);
        EXPECT_EQ(readout.announcedCount, 0xFFFF);
        if (family == 'K') {
            EXPECT_EQ(end.count, 2);
            EXPECT_EQ(end.message, ReadoutMessage::entriesRead);
            EXPECT_TRUE(end.protocolAvailable);
        } else {
            EXPECT_EQ(end.count, 0);
            EXPECT_EQ(end.message, ReadoutMessage::noEntries);
            EXPECT_FALSE(end.protocolAvailable);
        }
        const ProtocolData data{buffer.data(), buffer.size(), end.count};
        EXPECT_EQ(readableEntries(data, series), end.count);
    }
}

// A product string of 80 characters reaches the title cut to 64.
TEST_F(LinkGuardTest, LongProductStringIsCutTo64Characters)
{
    SimOptions options = defaultSimOptions('K');
    options.product.clear();
    for (int i = 0; i < 80; ++i)
        options.product += static_cast<char>('A' + i % 26);
    serve('K', 0, &options);
    ASSERT_TRUE(findDevice());
    struct {
        char text[productStringChars + 1];
        char after[16];
    } product;
    std::memset(&product, 0x55, sizeof product);
    ASSERT_TRUE(readProductString(product.text));
    EXPECT_EQ(std::string(product.text), options.product.substr(0, 64));
    EXPECT_TRUE(std::all_of(product.after, product.after + 16, [](char c) { return c == 0x55; }));
}

} // namespace

namespace {

// A report that the reader of an earlier link handed over but whose engine
// never took it (the link was stopped first) is no answer for the next link,
// even where its sequence number fits.
TEST_F(LinkGuardTest, NextLinkIgnoresAReportLeftOverFromTheLastOne)
{
    serve('K');
    linkRequest = LinkRequest{};
    linkRequest.command = cmdPoll;
    linkRequest.blockSize = 23;
    linkRequest.expectedAnswerType = 1;
    linkRequest.expectedUnitKind = 1;
    std::memset(inReport, 0, reportSize);
    inReport[inSequence] = static_cast<std::uint8_t>(sequenceNumber + 1);
    inReport[inCode] = ansOk;
    inReport[inAnswerType] = 1;
    inReport[inUnitKind] = 1;
    inReport[40] = 0x77;   // no status record of the simulator has this byte
    setEvent(reportReceived);

    const TransferRecord t = runTransfer(pollEngine, 3);
    ASSERT_GE(t.data.size(), 3u);
    for (const Notification& n : t.data)
        EXPECT_NE(n.answer[36], 0x77);
}

} // namespace
