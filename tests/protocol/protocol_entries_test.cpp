#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "entry_bytes.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

RawEntryM sampleM(std::uint32_t seed)
{
    RawEntryM e{};
    e.code = static_cast<std::uint16_t>(seed % 17);
    e.counter = static_cast<std::uint16_t>(0x8000 + seed);
    e.on = 0x01020304u * seed;
    e.cool = 0xA0000000u + seed;
    e.heat = seed * 7;
    for (int c = 0; c < 6; ++c) {
        e.starts[c] = seed * 100 + static_cast<std::uint32_t>(c);
        e.runs[c] = 0xF0000000u + seed * 10 + static_cast<std::uint32_t>(c);
    }
    e.event = 0xDEAD0000u + seed;
    return e;
}

void expectEntry(const ProtocolEntryM& got, const RawEntryM& want)
{
    EXPECT_EQ(got.errorCode, want.code);
    EXPECT_EQ(got.errorCounter, want.counter);
    EXPECT_EQ(got.onTime, want.on);
    EXPECT_EQ(got.coolTime, want.cool);
    EXPECT_EQ(got.heatTime, want.heat);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(got.startCounters[c], want.starts[c]) << "compressor " << c + 1;
        EXPECT_EQ(got.runTimes[c], want.runs[c]) << "compressor " << c + 1;
    }
    EXPECT_EQ(got.eventCounter, want.event);
}

} // namespace

TEST(ProtocolEntries, MSeriesEntriesAcrossBlocksReadBackAtTheirOffsets)
{
    // Three entries are 204 bytes: the unit sends them in five 48-byte
    // blocks, stored block n at 48 * n; entries 1 and 2 start inside blocks.
    std::vector<unsigned char> unitData(5 * 48, 0);
    const RawEntryM sent[3] = {sampleM(1), sampleM(2), sampleM(3)};
    for (std::size_t i = 0; i < 3; ++i)
        putEntryM(unitData, i, sent[i]);

    std::vector<unsigned char> buffer(protocolBufferSize, 0xCC);
    for (std::size_t n = 0; n < 5; ++n)
        std::memcpy(buffer.data() + 48 * n, unitData.data() + 48 * n, 48);

    for (std::int32_t i = 0; i < 3; ++i) {
        ProtocolEntryM entry;
        ASSERT_TRUE(readProtocolEntryM(buffer.data(), buffer.size(), i, entry));
        expectEntry(entry, sent[i]);
    }
    EXPECT_EQ(buffer[68], static_cast<unsigned char>(sent[1].code));
    EXPECT_EQ(buffer[136], static_cast<unsigned char>(sent[2].code));
}

TEST(ProtocolEntries, KSeriesEntryIsLittleEndian)
{
    const unsigned char raw[48] = {0x40, 0x00, 0x34, 0x12, 0x10, 0x0E, 0x00, 0x00,
                                   0x01, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF,
                                   0x78, 0x56, 0x34, 0x12, 0x02, 0x00, 0x00, 0x00,
                                   0x01, 0x00};
    ProtocolEntryK entry;
    ASSERT_TRUE(readProtocolEntryK(raw, sizeof raw, 0, entry));
    EXPECT_EQ(entry.errorCode, 0x0040);
    EXPECT_EQ(entry.errorCounter, 0x1234);
    EXPECT_EQ(entry.onTime, 3600u);
    EXPECT_EQ(entry.coolTime, 0x80000001u);
    EXPECT_EQ(entry.heatTime, 0xFFFFFFFFu);
    EXPECT_EQ(entry.startCounter, 0x12345678u);
    EXPECT_EQ(entry.eventCounter, 2u);
    ASSERT_TRUE(readProtocolEntryK(raw, sizeof raw, 1, entry));
    EXPECT_EQ(entry.errorCode, 0x0001);
}

TEST(ProtocolEntries, EntriesOutsideTheBufferAreRefused)
{
    std::vector<unsigned char> buffer(100, 0);   // four whole K entries, one M entry
    ProtocolEntryK k;
    ProtocolEntryM m;
    EXPECT_TRUE(readProtocolEntryK(buffer.data(), buffer.size(), 3, k));
    EXPECT_FALSE(readProtocolEntryK(buffer.data(), buffer.size(), 4, k));
    EXPECT_FALSE(readProtocolEntryK(buffer.data(), buffer.size(), -1, k));
    EXPECT_TRUE(readProtocolEntryM(buffer.data(), buffer.size(), 0, m));
    EXPECT_FALSE(readProtocolEntryM(buffer.data(), buffer.size(), 1, m));
    EXPECT_FALSE(readProtocolEntryM(nullptr, 0, 0, m));

    EXPECT_EQ(readableEntries({buffer.data(), buffer.size(), 1000}, familyK), 4);
    EXPECT_EQ(readableEntries({buffer.data(), buffer.size(), 1000}, familyM), 1);
    EXPECT_EQ(readableEntries({buffer.data(), buffer.size(), -5}, familyK), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, familyK), 0);
}

TEST(ProtocolEntries, CountIsClampedToCapacityAndDeliveredData)
{
    const std::size_t full = protocolBufferSize;
    // What fits in the 2 MiB buffer.
    EXPECT_EQ(clampProtocolCount(90000, familyK, full, full), 87381);
    EXPECT_EQ(clampProtocolCount(87381, familyK, full, full), 87381);
    EXPECT_EQ(clampProtocolCount(65535, familyM, full, full), 30840);
    EXPECT_EQ(clampProtocolCount(30840, familyM, full, full), 30840);
    // What the transfer delivered: three blocks hold six K entries, two M.
    EXPECT_EQ(clampProtocolCount(100, familyK, full, 3 * 48), 6);
    EXPECT_EQ(clampProtocolCount(100, familyM, full, 3 * 48), 2);
    EXPECT_EQ(clampProtocolCount(3, familyM, full, 5 * 48), 3);
    // Delivered beyond the capacity still counts only the capacity.
    EXPECT_EQ(clampProtocolCount(100, familyK, 48, 4800), 2);
    EXPECT_EQ(clampProtocolCount(0, familyK, full, full), 0);
    EXPECT_EQ(clampProtocolCount(-1, familyK, full, full), 0);
}

namespace {

std::vector<unsigned char> blockHeader(std::uint16_t totalBlocks, std::uint16_t items)
{
    std::vector<unsigned char> header(8, 0);
    putLe16(header, 2, totalBlocks);
    putLe16(header, 6, items);
    return header;
}

} // namespace

TEST(ProtocolReadout, FirstBlockSetsTheRangeAndTheCountFollowsDeliveredBlocks)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, familyM, protocolBufferSize);
    const auto header = blockHeader(5, 3);
    EXPECT_TRUE(protocolBlockAccepted(readout, header.data(), 0));
    EXPECT_EQ(readout.totalBlocks, 5);
    EXPECT_EQ(readout.count, 0) << "no M entry is complete in one block";

    // Later headers are not read again, even if they differ.
    const auto later = blockHeader(99, 99);
    for (std::uint32_t n = 1; n < 5; ++n)
        EXPECT_FALSE(protocolBlockAccepted(readout, later.data(), n));
    EXPECT_EQ(readout.totalBlocks, 5);
    EXPECT_EQ(readout.count, 3);

    const ReadoutEnd end = protocolReadoutEnded(readout, 5);
    EXPECT_EQ(end.message, ReadoutMessage::entriesRead);
    EXPECT_EQ(end.count, 3);
    EXPECT_TRUE(end.protocolAvailable);
    EXPECT_TRUE(end.autoDisplay);
}

TEST(ProtocolReadout, EndsOtherThanACompleteReadWithEntriesMakeTheProtocolUnavailable)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, familyK, protocolBufferSize);
    const auto empty = blockHeader(1, 0);
    protocolBlockAccepted(readout, empty.data(), 0);
    ReadoutEnd end = protocolReadoutEnded(readout, 5);
    EXPECT_EQ(end.message, ReadoutMessage::noEntries);
    EXPECT_FALSE(end.protocolAvailable);
    EXPECT_FALSE(end.autoDisplay);

    startProtocolReadout(readout, familyK, protocolBufferSize);
    const auto header = blockHeader(3, 6);
    protocolBlockAccepted(readout, header.data(), 0);
    EXPECT_EQ(readout.count, 2);
    const struct {
        int code;
        ReadoutMessage message;
    } ends[] = {{0, ReadoutMessage::communicationLost}, {1, ReadoutMessage::wrongUnit},
                {2, ReadoutMessage::none},              {3, ReadoutMessage::none},
                {4, ReadoutMessage::usbError},          {6, ReadoutMessage::none}};
    for (const auto& e : ends) {
        end = protocolReadoutEnded(readout, e.code);
        EXPECT_EQ(end.message, e.message) << "end code " << e.code;
        EXPECT_FALSE(end.protocolAvailable) << "end code " << e.code;
        EXPECT_FALSE(end.autoDisplay) << "end code " << e.code;
    }
}

TEST(ProtocolReadout, AnAnnouncementBeyondTheBufferIsClamped)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, familyM, protocolBufferSize);
    const auto header = blockHeader(0xFFFF, 0xFFFF);
    protocolBlockAccepted(readout, header.data(), 0);
    protocolBlockAccepted(readout, header.data(), 43689);   // the last block that fits
    EXPECT_EQ(protocolReadoutEnded(readout, 5).count, 30840);
}

TEST(ProtocolReadout, EntriesReadMessage)
{
    char text[64];
    formatEntriesRead(12, " protocol-items read !", text, sizeof text);
    EXPECT_STREQ(text, "12 protocol-items read !");
    formatEntriesRead(87381, " Protokolleintr\xE4ge gelesen !", text, 10);
    EXPECT_STREQ(text, "87381 Pro");
}
