#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/le_bytes.h"
#include "protocol/field_format.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"
#include "protocol_samples.h"

// K-Series codes name single known bits only; M-Series codes are numbers.
TEST(ProtocolFormat, ErrorCodeNamesOfBothFamilies)
{
    const struct { std::uint16_t code; const char* k; const char* m; } cases[] = {
        {0, "0000", "_AAA"}, {1, "_AAA", "_A01"}, {3, "0003", "_A03"}, {8, "_A09", "_A08"}, {15, "000F", "_A15"},
        {16, "_A10", "_Init"}, {17, "0011", "???"}, {64, "_TA11", "???"}, {0x80, "0080", "???"},
        {0xABCD, "ABCD", "???"}};
    char k[fieldTextMax], m[fieldTextMax];
    for (const auto& c : cases)
        EXPECT_EQ(std::string(k, appendErrorNameK(k, c.code)) + " " + std::string(m, appendErrorNameM(m, c.code)),
                  std::string(c.k) + " " + c.m);
}

// The count is the announced one, clamped to the buffer's capacity and to the
// delivered data. A read takes the announcement from its first block only;
// only a complete read (end code 5) with entries makes the protocol available,
// and the other end codes say why not. Whatever the count or the index, no
// entry is read outside the buffer.
TEST(ProtocolReadout, CountIsClampedToCapacityAndDeliveredDataAndTheEndCodeDecides)
{
    const std::size_t full = protocolBufferSize;
    const struct { long long announced; Family family; std::size_t capacity, delivered; std::int32_t count; } cases[] =
        {{90000, Family::k, full, full, 87381}, {87381, Family::k, full, full, 87381}, {-1, Family::k, full, full, 0},
         {65535, Family::m, full, full, 30840}, {30840, Family::m, full, full, 30840}, {100, Family::k, 48, 4800, 2},
         // Three delivered blocks hold six K entries, two M entries; one block no M entry.
         {100, Family::k, full, 3 * 48, 6}, {100, Family::m, full, 3 * 48, 2}, {3, Family::m, full, 48, 0},
         {3, Family::m, full, 5 * 48, 3}, {0, Family::k, full, 48, 0}};
    using RM = ReadoutMessage;
    const RM byEndCode[7] = {RM::communicationLost, RM::wrongUnit, RM::none,    RM::none,
                             RM::usbError,          RM::entriesRead, RM::none};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.announced << ", " << c.delivered << " of " << c.capacity);
        EXPECT_EQ(clampProtocolCount(c.announced, c.family, c.capacity, c.delivered), c.count);
        if (c.announced < 0 || c.announced > 0xFFFF)
            continue;  // beyond what a block header holds
        ProtocolReadout readout;
        startProtocolReadout(readout, c.family, c.capacity);
        const std::uint32_t blocks = static_cast<std::uint32_t>(c.delivered / 48);
        unsigned char first[8] = {}, later[8] = {1, 2, 3, 4, 5, 6, 7, 8};  // later headers do not count
        writeLe16(first + 2, static_cast<std::uint16_t>(blocks));
        writeLe16(first + 6, static_cast<std::uint16_t>(c.announced));
        EXPECT_TRUE(protocolBlockAccepted(readout, first, 0));
        EXPECT_FALSE(blocks > 1 && protocolBlockAccepted(readout, later, blocks - 1));
        EXPECT_EQ(readout.totalBlocks, static_cast<std::int32_t>(blocks));
        for (int code = 0; code < 7; ++code) {
            const ReadoutEnd end = protocolReadoutEnded(readout, code);
            const bool available = code == 5 && c.count > 0;
            EXPECT_EQ(end.message, code == 5 && !available ? RM::noEntries : byEndCode[code]) << "end code " << code;
            EXPECT_TRUE(end.count == c.count && end.protocolAvailable == available && end.autoDisplay == available);
        }
    }
    const auto k = sampleBytes(Family::k), m = sampleBytes(Family::m);
    ProtocolEntryK entryK;
    ProtocolEntryM entryM;
    EXPECT_FALSE(readProtocolEntryM(m.data(), 135, 1, entryM) || readProtocolEntryK(k.data(), 47, 1, entryK) ||
                 readProtocolEntryK(k.data(), k.size(), -1, entryK));
    EXPECT_EQ(readableEntries({k.data(), 47, 1000}, Family::k), 1);
    EXPECT_EQ(readableEntries({k.data(), 48, -5}, Family::k), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, Family::k), 0);
    char text[64];
    formatEntriesRead(12, " protocol-items read !", text, sizeof text);
    EXPECT_STREQ(text, "12 protocol-items read !");
    formatEntriesRead(30840, " Protokolleintr\xE4ge gelesen !", text, 10);  // cut to the capacity
    EXPECT_STREQ(text, "30840 Pro");
}
