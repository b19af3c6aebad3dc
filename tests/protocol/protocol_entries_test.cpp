#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "entry_bytes.h"
#include "protocol/field_format.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

template <typename Value>
std::string formatted(char* (*append)(char*, Value), Value value)
{
    char buffer[fieldTextMax];
    return std::string(buffer, append(buffer, value));
}

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

// K-Series codes name single known bits only; M-Series codes are numbers.
TEST(ProtocolFormat, ErrorCodeNamesOfBothFamilies)
{
    const struct {
        std::uint16_t code;
        const char* k;
        const char* m;
    } cases[] = {{0, "0000", "_AAA"},  {1, "_AAA", "_A01"},  {3, "0003", "_A03"},
                 {8, "_A09", "_A08"},  {15, "000F", "_A15"}, {16, "_A10", "_Init"},
                 {17, "0011", "???"},  {64, "_TA11", "???"}, {0x80, "0080", "???"},
                 {0xABCD, "ABCD", "???"}};
    for (const auto& c : cases) {
        EXPECT_EQ(formatted(appendErrorNameK, c.code), c.k) << c.code;
        EXPECT_EQ(formatted(appendErrorNameM, c.code), c.m) << c.code;
    }
}

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
    EXPECT_EQ(readableEntries({bytes.data(), 47, 1000}, Family::k), 1);
    EXPECT_EQ(readableEntries({bytes.data(), 48, -5}, Family::k), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, Family::k), 0);
}

TEST(ProtocolEntries, CountIsClampedToCapacityAndDeliveredData)
{
    const std::size_t full = protocolBufferSize;
    const struct {
        std::int64_t announced;
        Family family;
        std::size_t capacity, delivered;
        std::int32_t count;
    } cases[] = {{90000, Family::k, full, full, 87381}, {87381, Family::k, full, full, 87381},
                 {65535, Family::m, full, full, 30840}, {30840, Family::m, full, full, 30840},
                 // Three delivered blocks hold six K entries, two M entries.
                 {100, Family::k, full, 3 * 48, 6},     {100, Family::m, full, 3 * 48, 2},
                 {3, Family::m, full, 5 * 48, 3},       {100, Family::k, 48, 4800, 2},
                 {-1, Family::k, full, full, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(clampProtocolCount(c.announced, c.family, c.capacity, c.delivered), c.count)
            << c.announced << " " << familyName(c.family) << " " << c.capacity << " " << c.delivered;
}

TEST(ProtocolReadout, CountFollowsDeliveredBlocksAndOnlyACompleteReadWithEntriesCounts)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, Family::m, protocolBufferSize);
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

    // By end code; 5 is the complete read.
    const ReadoutMessage failures[7] = {ReadoutMessage::communicationLost, ReadoutMessage::wrongUnit,
                                        ReadoutMessage::none, ReadoutMessage::none,
                                        ReadoutMessage::usbError, ReadoutMessage::entriesRead,
                                        ReadoutMessage::none};
    for (int code : {0, 1, 2, 3, 4, 6}) {
        end = protocolReadoutEnded(readout, code);
        EXPECT_EQ(end.message, failures[code]) << "end code " << code;
        EXPECT_FALSE(end.protocolAvailable || end.autoDisplay) << "end code " << code;
    }

    startProtocolReadout(readout, Family::k, protocolBufferSize);
    protocolBlockAccepted(readout, blockHeader(1, 0).data(), 0);
    end = protocolReadoutEnded(readout, 5);
    EXPECT_EQ(end.message, ReadoutMessage::noEntries);
    EXPECT_FALSE(end.protocolAvailable || end.autoDisplay);
}

TEST(ProtocolReadout, AnAnnouncementBeyondTheBufferIsClampedAndTheMessageCut)
{
    ProtocolReadout readout;
    startProtocolReadout(readout, Family::m, protocolBufferSize);
    protocolBlockAccepted(readout, blockHeader(0xFFFF, 0xFFFF).data(), 0);
    protocolBlockAccepted(readout, blockHeader(0xFFFF, 0xFFFF).data(), 43689);
    EXPECT_EQ(protocolReadoutEnded(readout, 5).count, 30840);

    char text[64];
    formatEntriesRead(12, " protocol-items read !", text, sizeof text);
    EXPECT_STREQ(text, "12 protocol-items read !");
    formatEntriesRead(30840, " Protokolleintr\xE4ge gelesen !", text, 10);
    EXPECT_STREQ(text, "30840 Pro");
}
