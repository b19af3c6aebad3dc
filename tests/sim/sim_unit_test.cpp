#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/crc16.h"
#include "sim_blocks.h"

namespace {

std::uint16_t le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

// One simulated unit answering requests of one connection. (Its status
// records and the manual command are checked through the monitor windows'
// tests, which show what the unit sends and switch its outputs.)
class SimUnitTest : public ::testing::Test {
protected:
    SimUnit unit;
    SimSession session;
    SimBlockStore store;
    std::uint8_t sequence = 0;

    void init(const SimOptions& options)
    {
        initSimUnit(unit, options);
        session = SimSession{};
    }
    SimReply send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {})
    {
        std::uint8_t request[simReportSize] = {0, ++sequence, command};
        std::copy(payload.begin(), payload.end(), request + 4);
        return answerRequest(unit, session, request);
    }
    // Block number of the single answer to a block request.
    static std::uint16_t blockOf(const SimReply& reply) { return reply.count == 1 ? le16(reply.reports[0] + 7) : 0xBAD; }
};

TEST_F(SimUnitTest, FaultsDropDuplicateMiscodeSilenceAndDisconnect)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.dropEvery = 3;
    options.faults.duplicateEvery = 2;
    options.faults.wrongCodeEvery = 5;
    options.faults.disconnectAfter = 6;
    options.faults.delayMs = 7;
    init(options);
    // Per request: answers sent, sequence number of the first (a late copy
    // of the previous answer goes first).
    const int counts[6] = {1, 2, 0, 2, 1, 0};
    const std::uint8_t firsts[6] = {1, 1, 0, 2, 5, 0};
    for (int i = 0; i < 6; ++i) {
        const SimReply reply = send(0x3A);
        ASSERT_EQ(reply.count, counts[i]) << i;
        EXPECT_EQ(reply.disconnect, i == 5) << i;
        if (reply.count > 0) {
            EXPECT_EQ(reply.reports[0][1], firsts[i]) << i;
            EXPECT_EQ(reply.reports[reply.count - 1][1], sequence);
            EXPECT_EQ(reply.reports[reply.count - 1][2], i == 4 ? 0x5A : 0x50) << i;
            EXPECT_EQ(reply.delayMs, 7u);
        }
    }
    options = defaultSimOptions('K');
    options.faults.silent = true;
    options.faults.silentAfter = 2;
    init(options);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(send(0x3A).count, i < 2 ? 1 : 0);
}

TEST_F(SimUnitTest, ServesBlocksOfItsOwnFamilyAndSelectorWithTheirHeaders)
{
    // (Re-requests, CRCs and programming are exercised through the link's
    // block engines.)
    SimOptions options = defaultSimOptions('K');
    options.firmwareMinor = 5;
    init(options);
    useBlockStore(unit, store);
    std::vector<std::uint8_t> counters(70);
    for (std::size_t i = 0; i < counters.size(); ++i)
        counters[i] = static_cast<std::uint8_t>(i + 1);
    setSimDataSet(store, 0x3B, counters, 32, 9);
    setSimDataSet(store, 0x35, std::vector<std::uint8_t>(62, 0), 32, 1);
    // An M-Series request, a K configuration with selector 1 (it needs 3),
    // an absent data set: refused with the unit's kind and firmware 1.05.
    const std::uint8_t refused[][3] = {{0x35, 1, 2}, {0x29, 1, 1}, {0x36, 1, 1}};
    for (const auto& request : refused) {
        const SimReply reply = send(request[0], {request[1], request[2]});
        EXPECT_EQ(reply.reports[0][2], 0x51);
        EXPECT_EQ(le16(reply.reports[0] + 5), 0x0501);
        EXPECT_EQ(reply.reports[0][7], 1);
    }
    EXPECT_EQ(send(0x35, {3, 1}).reports[0][2], 0x35);
    // Started as another kind, the unit refuses its own family's requests
    // and names that kind.
    unit.options.kind = 0;
    SimReply other = send(0x35, {3, 1});
    EXPECT_EQ(other.reports[0][2], 0x51);
    EXPECT_EQ(other.reports[0][5], 0);
    unit.options.kind = 1;

    SimReply reply = send(0x3B, {1, 1});
    EXPECT_EQ(le16(reply.reports[0] + 5), 3);   // total blocks
    EXPECT_EQ(blockOf(reply), 0);
    EXPECT_EQ(le16(reply.reports[0] + 9), 9);   // items
    EXPECT_EQ(blockOf(send(0x60)), 1);
    reply = send(0x60);
    EXPECT_EQ(blockOf(reply), 0xFFFF);
    EXPECT_EQ(reply.reports[0][11 + 5], 70);
    EXPECT_EQ(reply.reports[0][11 + 6], 0);      // padding after the data
    EXPECT_EQ(le16(reply.reports[0] + 11 + 32), crc16(reply.reports[0] + 11, 32));
    EXPECT_EQ(send(0x60).count, 0);              // last block acknowledged: no answer
    EXPECT_EQ(send(0x60).reports[0][2], 0x51);   // nothing under way any more
}

} // namespace
