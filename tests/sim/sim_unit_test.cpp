#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/crc16.h"
#include "sim_blocks.h"

namespace {

// One simulated K-Series unit answering requests of one connection. (Its
// status records and the manual command are checked through the monitor
// windows' tests, which show what the unit sends and switch its outputs.)
class SimUnitTest : public ::testing::Test {
protected:
    SimUnit unit;
    SimSession session;
    SimBlockStore store;
    std::uint8_t sequence = 0;

    void init(const SimFaults& faults, std::uint8_t firmwareMinor = 23)
    {
        SimOptions options = defaultSimOptions('K');
        options.faults = faults;
        options.firmwareMinor = firmwareMinor;
        initSimUnit(unit, options);
        session = SimSession{};
    }
    SimReply send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {})
    {
        std::uint8_t request[simReportSize] = {0, ++sequence, command};
        std::copy(payload.begin(), payload.end(), request + 4);
        return answerRequest(unit, session, request);
    }
    // A 16-bit field of the single answer; -1 unless there is exactly one.
    static int field(const SimReply& reply, int at)
    {
        return reply.count == 1 ? reply.reports[0][at] | (reply.reports[0][at + 1] << 8) : -1;
    }
};

TEST_F(SimUnitTest, FaultsDropDuplicateMiscodeSilenceAndDisconnect)
{
    init({.dropEvery = 3, .duplicateEvery = 2, .wrongCodeEvery = 5, .delayMs = 7, .disconnectAfter = 6});
    // Per request: answers sent, sequence number of the first (a late copy
    // of the previous answer goes first).
    const int counts[6] = {1, 2, 0, 2, 1, 0};
    const std::uint8_t firsts[6] = {1, 1, 0, 2, 5, 0};
    for (int i = 0; i < 6; ++i) {
        const SimReply reply = send(0x3A);
        ASSERT_EQ(reply.count, counts[i]) << i;
        EXPECT_EQ(reply.disconnect, i == 5) << i;
        const std::uint8_t* last = reply.reports[std::max(reply.count - 1, 0)];
        EXPECT_TRUE(reply.count == 0 || (reply.reports[0][1] == firsts[i] && last[1] == sequence &&
                                         last[2] == (i == 4 ? 0x5A : 0x50) && reply.delayMs == 7u)) << i;
    }
    init({.silent = true, .silentAfter = 2});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(send(0x3A).count, i < 2 ? 1 : 0);
}

TEST_F(SimUnitTest, ServesBlocksOfItsOwnFamilyAndSelectorWithTheirHeaders)
{
    // (Re-requests, CRCs and programming are exercised through the link's
    // block engines.)
    init({}, 5);
    useBlockStore(unit, store);
    std::vector<std::uint8_t> counters(70);
    for (std::size_t i = 0; i < counters.size(); ++i)
        counters[i] = static_cast<std::uint8_t>(i + 1);
    setSimDataSet(store, 0x3B, counters, 32, 9);
    setSimDataSet(store, 0x35, std::vector<std::uint8_t>(62, 0), 32, 1);
    // An M-Series request, a K configuration with selector 1 (it needs 3),
    // an absent data set: refused with the unit's kind 1 and firmware 1.05.
    for (const auto& request : {std::vector<std::uint8_t>{0x35, 1, 2}, {0x29, 1, 1}, {0x36, 1, 1}}) {
        const SimReply reply = send(request[0], {request[1], request[2]});
        EXPECT_EQ(std::tuple(reply.reports[0][2], field(reply, 5), reply.reports[0][7]), std::tuple(0x51, 0x0501, 1));
    }
    EXPECT_EQ(send(0x35, {3, 1}).reports[0][2], 0x35);
    // Started as another kind, the unit refuses its own family's requests
    // and names that kind.
    unit.options.kind = 0;
    const SimReply other = send(0x35, {3, 1});
    EXPECT_EQ(std::tuple(other.reports[0][2], field(other, 5)), std::tuple(0x51, 0x0500));
    unit.options.kind = 1;

    // Total blocks, then block numbers up to the last, 0xFFFF, padded after
    // the data and with its CRC.
    const SimReply first = send(0x3B, {1, 1});
    EXPECT_EQ(std::tuple(field(first, 5), field(first, 7), field(first, 9)), std::tuple(3, 0, 9));
    EXPECT_EQ(field(send(0x60), 7), 1);
    const SimReply last = send(0x60);
    EXPECT_EQ(field(last, 7), 0xFFFF);
    EXPECT_TRUE(last.reports[0][11 + 5] == 70 && last.reports[0][11 + 6] == 0);
    EXPECT_EQ(field(last, 11 + 32), crc16(last.reports[0] + 11, 32));
    EXPECT_EQ(send(0x60).count, 0);              // last block acknowledged: no answer
    EXPECT_EQ(send(0x60).reports[0][2], 0x51);   // nothing under way any more
}

} // namespace
