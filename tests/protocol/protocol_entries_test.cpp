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
    for (std::uint32_t c = 0; c < 6; ++c) {
        e.starts[c] = seed * 100 + c;
        e.runs[c] = 0xF0000000u + seed * 10 + c;
    }
    e.event = 0xDEAD0000u + seed;
    return e;
}

std::vector<unsigned char> blockHeader(std::uint16_t totalBlocks, std::uint16_t items)
{
    std::vector<unsigned char> header(8, 0);
    putLe16(header, 2, totalBlocks);
    putLe16(header, 6, items);
    return header;
}

} // namespace

TEST(ProtocolEntries, MSeriesEntriesAcrossBlocksReadBackAtTheirOffsets)
{
    // Three entries are 204 bytes: five 48-byte blocks, block n stored at
    // 48 * n; entries 1 and 2 start inside blocks 1 and 2.
    std::vector<unsigned char> unitData(5 * 48, 0);
    const RawEntryM sent[3] = {sampleM(1), sampleM(2), sampleM(3)};
    for (std::size_t i = 0; i < 3; ++i)
        putEntryM(unitData, i, sent[i]);
    std::vector<unsigned char> buffer(protocolBufferSize, 0xCC);
    for (std::size_t n = 0; n < 5; ++n)
        std::memcpy(buffer.data() + 48 * n, unitData.data() + 48 * n, 48);

    for (std::int32_t i = 0; i < 3; ++i) {
        ProtocolEntryM got;
        ASSERT_TRUE(readProtocolEntryM(buffer.data(), buffer.size(), i, got));
        const RawEntryM& want = sent[i];
        EXPECT_EQ(got.errorCode, want.code);
        EXPECT_EQ(got.errorCounter, want.counter);
        EXPECT_EQ(got.onTime, want.on);
        EXPECT_EQ(got.coolTime, want.cool);
        EXPECT_EQ(got.heatTime, want.heat);
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(got.startCounters[c], want.starts[c]);
            EXPECT_EQ(got.runTimes[c], want.runs[c]);
        }
        EXPECT_EQ(got.eventCounter, want.event);
    }
}

TEST(ProtocolEntries, KSeriesEntryIsLittleEndianAndStaysInsideTheBuffer)
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

    EXPECT_FALSE(readProtocolEntryK(raw, 47, 1, entry));
    EXPECT_FALSE(readProtocolEntryK(raw, sizeof raw, -1, entry));
    ProtocolEntryM m;
    EXPECT_FALSE(readProtocolEntryM(raw, sizeof raw, 0, m));
    EXPECT_EQ(readableEntries({raw, 47, 1000}, seriesK), 1);
    EXPECT_EQ(readableEntries({raw, sizeof raw, -5}, seriesK), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, seriesK), 0);
}

TEST(ProtocolEntries, CountIsClampedToCapacityAndDeliveredData)
{
    const std::size_t full = protocolBufferSize;
    EXPECT_EQ(clampProtocolCount(90000, seriesK, full, full), 87381);
    EXPECT_EQ(clampProtocolCount(87381, seriesK, full, full), 87381);
    EXPECT_EQ(clampProtocolCount(65535, seriesM, full, full), 30840);
    EXPECT_EQ(clampProtocolCount(30840, seriesM, full, full), 30840);
    // Three delivered blocks hold six K entries, two M entries.
    EXPECT_EQ(clampProtocolCount(100, seriesK, full, 3 * 48), 6);
    EXPECT_EQ(clampProtocolCount(100, seriesM, full, 3 * 48), 2);
    EXPECT_EQ(clampProtocolCount(3, seriesM, full, 5 * 48), 3);
    EXPECT_EQ(clampProtocolCount(100, seriesK, 48, 4800), 2);
    EXPECT_EQ(clampProtocolCount(-1, seriesK, full, full), 0);
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

TEST(ProtocolReadout, AnAnnouncementBeyondTheBufferIsClamped)
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
