#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "entry_bytes.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

// No two neighbouring bytes alike, so a field read from the wrong place or in
// the wrong byte order shows.
std::vector<unsigned char> distinctBytes(std::size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    return bytes;
}

std::vector<unsigned char> blockHeader(std::uint16_t totalBlocks, std::uint16_t items)
{
    std::vector<unsigned char> header(8, 0);
    putLe(header, 2, totalBlocks, 2);
    putLe(header, 6, items, 2);
    return header;
}

} // namespace

TEST(ProtocolEntries, EntriesAcrossBlocksReadBackAtTheirOffsetsAndStayInside)
{
    // Three M entries are 204 bytes in five 48-byte blocks; entries 1 and 2
    // start inside blocks 1 and 2. The host is little-endian, so a decoded
    // entry equals the unit's bytes.
    const auto bytes = distinctBytes(5 * 48);
    for (std::int32_t i = 0; i < 3; ++i) {
        ProtocolEntryM m;
        ASSERT_TRUE(readProtocolEntryM(bytes.data(), bytes.size(), i, m));
        EXPECT_EQ(std::memcmp(&m, bytes.data() + 68 * i, 68), 0) << i;
        ProtocolEntryK k;
        ASSERT_TRUE(readProtocolEntryK(bytes.data(), bytes.size(), 3 + i, k));
        EXPECT_EQ(std::memcmp(&k, bytes.data() + 24 * (3 + i), 24), 0) << i;
    }
    ProtocolEntryM m;
    ProtocolEntryK k;
    EXPECT_FALSE(readProtocolEntryM(bytes.data(), 203, 2, m));
    EXPECT_FALSE(readProtocolEntryK(bytes.data(), 47, 1, k));
    EXPECT_FALSE(readProtocolEntryK(bytes.data(), bytes.size(), -1, k));
    EXPECT_EQ(readableEntries({bytes.data(), 47, 1000}, seriesK), 1);
    EXPECT_EQ(readableEntries({bytes.data(), 48, -5}, seriesK), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, seriesK), 0);
}

TEST(ProtocolEntries, CountIsClampedToCapacityAndDeliveredData)
{
    const std::size_t full = protocolBufferSize;
    const struct {
        std::int64_t announced;
        std::int32_t family;
        std::size_t capacity, delivered;
        std::int32_t count;
    } cases[] = {{90000, seriesK, full, full, 87381}, {87381, seriesK, full, full, 87381},
                 {65535, seriesM, full, full, 30840}, {30840, seriesM, full, full, 30840},
                 // Three delivered blocks hold six K entries, two M entries.
                 {100, seriesK, full, 3 * 48, 6},     {100, seriesM, full, 3 * 48, 2},
                 {3, seriesM, full, 5 * 48, 3},       {100, seriesK, 48, 4800, 2},
                 {-1, seriesK, full, full, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(clampProtocolCount(c.announced, c.family, c.capacity, c.delivered), c.count)
            << c.announced << " " << c.family << " " << c.capacity << " " << c.delivered;
}

TEST(ProtocolReadout, CountFollowsDeliveredBlocksAndOnlyACompleteReadWithEntriesCounts)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, seriesM, protocolBufferSize);
    EXPECT_TRUE(protocolBlockAccepted(readout, blockHeader(5, 3).data(), 0));
    EXPECT_EQ(readout.totalBlocks, 5);
    EXPECT_EQ(readout.count, 0) << "no M entry is complete in one block";
    // The header is read once: later blocks' headers do not matter.
    for (std::uint32_t n = 1; n < 5; ++n)
        EXPECT_FALSE(protocolBlockAccepted(readout, blockHeader(99, 99).data(), n));
    EXPECT_EQ(readout.totalBlocks, 5);
    EXPECT_EQ(readout.count, 3);

    ReadoutEnd end = protocolReadoutEnded(readout, 5);
    EXPECT_EQ(end.message, ReadoutMessage::entriesRead);
    EXPECT_EQ(end.count, 3);
    EXPECT_TRUE(end.protocolAvailable && end.autoDisplay);

    const struct {
        int code;
        ReadoutMessage message;
    } failures[] = {{0, ReadoutMessage::communicationLost}, {1, ReadoutMessage::wrongUnit},
                    {2, ReadoutMessage::none}, {4, ReadoutMessage::usbError},
                    {6, ReadoutMessage::none}};
    for (const auto& f : failures) {
        end = protocolReadoutEnded(readout, f.code);
        EXPECT_EQ(end.message, f.message) << "end code " << f.code;
        EXPECT_FALSE(end.protocolAvailable || end.autoDisplay) << "end code " << f.code;
    }

    startProtocolReadout(readout, seriesK, protocolBufferSize);
    protocolBlockAccepted(readout, blockHeader(1, 0).data(), 0);
    end = protocolReadoutEnded(readout, 5);
    EXPECT_EQ(end.message, ReadoutMessage::noEntries);
    EXPECT_FALSE(end.protocolAvailable || end.autoDisplay);
}

TEST(ProtocolReadout, AnAnnouncementBeyondTheBufferIsClampedAndTheMessageCut)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, seriesM, protocolBufferSize);
    protocolBlockAccepted(readout, blockHeader(0xFFFF, 0xFFFF).data(), 0);
    protocolBlockAccepted(readout, blockHeader(0xFFFF, 0xFFFF).data(), 43689);
    EXPECT_EQ(protocolReadoutEnded(readout, 5).count, 30840);

    char text[64];
    formatEntriesRead(12, " protocol-items read !", text, sizeof text);
    EXPECT_STREQ(text, "12 protocol-items read !");
    formatEntriesRead(30840, " Protokolleintr\xE4ge gelesen !", text, 10);
    EXPECT_STREQ(text, "30840 Pro");
}
