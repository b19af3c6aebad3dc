#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "base/crc16.h"
#include "sim_blocks.h"

namespace {

// One simulated K-Series unit answering requests of one connection. (Its
// status records are checked through the monitor windows' tests, which show
// what the unit sends.)
class SimUnitTest : public ::testing::Test {
protected:
    SimUnit unit;
    SimSession session;
    std::uint8_t sequence = 0;

    void SetUp() override { initSimUnit(unit, defaultSimOptions('K')); }
    SimReply send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {})
    {
        std::uint8_t request[simReportSize] = {0, ++sequence, command};
        std::copy(payload.begin(), payload.end(), request + 4);
        return answerRequest(unit, session, request);
    }
    // A 16-bit field of the single answer; -1 unless there is exactly one.
    static int field(const SimReply& r, int i) { return r.count == 1 ? r.reports[0][i] | (r.reports[0][i + 1] << 8) : -1; }
    // A refusal's code, unit kind with firmware minor, and firmware major.
    static std::tuple<int, int, int> refusal(const SimReply& r) { return {r.reports[0][2], field(r, 5), r.reports[0][7]}; }
};

TEST_F(SimUnitTest, FaultsDropDuplicateMiscodeSilenceAndDisconnect)
{
    unit.options.faults = {.dropEvery = 3, .duplicateEvery = 2, .wrongCodeEvery = 5, .delayMs = 7,
                           .disconnectAfter = 6};
    // Per request: answers sent, sequence number of the first (a late copy
    // of the previous answer goes first).
    const int counts[6] = {1, 2, 0, 2, 1, 0}, firsts[6] = {1, 1, 0, 2, 5, 0};
    for (int i = 0; i < 6; ++i) {
        const SimReply reply = send(0x3A);
        ASSERT_EQ(std::tuple(reply.count, reply.disconnect), std::tuple(counts[i], i == 5)) << i;
        const std::uint8_t* last = reply.reports[std::max(reply.count - 1, 0)];
        EXPECT_TRUE(reply.count == 0 || (reply.reports[0][1] == firsts[i] && last[1] == sequence &&
                                         last[2] == (i == 4 ? 0x5A : 0x50) && reply.delayMs == 7u)) << i;
    }
    // Fault counters are per connection: a new one starts from zero.
    unit.options.faults = {.silent = true, .silentAfter = 2};
    session = SimSession{};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(send(0x3A).count, i < 2 ? 1 : 0);
}

TEST_F(SimUnitTest, ServesBlocksOfItsOwnFamilyAndSelectorWithTheirHeaders)
{
    // (Re-requests, CRCs and programming are exercised through the link's
    // block engines.)
    SimBlockStore store;
    unit.options.firmwareMinor = 5;
    useBlockStore(unit, store);
    std::vector<std::uint8_t> counters(70);
    for (std::size_t i = 0; i < counters.size(); ++i)
        counters[i] = static_cast<std::uint8_t>(i + 1);
    setSimDataSet(store, 0x3B, counters, 32, 9);
    setSimDataSet(store, 0x35, std::vector<std::uint8_t>(62, 0), 32, 1);
    // An M-Series request, a K configuration with selector 1 (it needs 3),
    // an absent data set: refused with the unit's kind 1 and firmware 1.05.
    for (const auto& request : {std::vector<std::uint8_t>{0x35, 1, 2}, {0x29, 1, 1}, {0x36, 1, 1}})
        EXPECT_EQ(refusal(send(request[0], {request[1], request[2]})), std::tuple(0x51, 0x0501, 1)) << +request[0];
    EXPECT_EQ(send(0x35, {3, 1}).reports[0][2], 0x35);

    // Total blocks, then block numbers up to the last, 0xFFFF, padded after
    // the data and with its CRC.
    const SimReply first = send(0x3B, {1, 1});
    EXPECT_EQ(std::tuple(field(first, 5), field(first, 7), field(first, 9)), std::tuple(3, 0, 9));
    EXPECT_EQ(field(send(0x60), 7), 1);
    const SimReply last = send(0x60);
    EXPECT_EQ(std::tuple(field(last, 7), last.reports[0][11 + 5], last.reports[0][11 + 6], field(last, 11 + 32)),
              std::tuple(0xFFFF, 70, 0, crc16(last.reports[0] + 11, 32)));
    EXPECT_EQ(send(0x60).count, 0);              // last block acknowledged: no answer
    EXPECT_EQ(send(0x60).reports[0][2], 0x51);   // nothing under way any more

    // Started as another kind, the unit refuses its own family's requests
    // and names that kind.
    unit.options.kind = 0;
    EXPECT_EQ(refusal(send(0x35, {3, 1})), std::tuple(0x51, 0x0500, 1));
}

// Manual control follows the polls of a switched-off unit: the flag puts the
// outputs under the command, a poll without it gives them back to the unit
// (all off), and nothing else does: without polls the outputs stay. A
// switched-on unit runs by itself whatever the polls say. Each row: the
// unit switched on, the command's outputs, blower power and manual flag;
// then the unit's outputs, power and manual state, and the status byte 4.
TEST_F(SimUnitTest, ManualControlFollowsThePollsOfASwitchedOffUnit)
{
    const struct {
        bool on;
        std::uint8_t outputs, power, flag;
        std::uint32_t liveOutputs;
        std::uint8_t livePower;
        bool manual;
    } rows[] = {
        {.on = false, .outputs = 0x06, .power = 150, .flag = 1, .liveOutputs = 0x06, .livePower = 100, .manual = true},
        {.on = false, .outputs = 0xFF, .power = 40, .flag = 1, .liveOutputs = 0x0F, .livePower = 40, .manual = true},
        {.on = false, .outputs = 0x06, .power = 40, .flag = 0, .liveOutputs = 0x00, .livePower = 0, .manual = false},
        {.on = true, .outputs = 0x08, .power = 10, .flag = 1, .liveOutputs = 0x07, .livePower = 60, .manual = false},
    };
    std::uint32_t polls = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        unit.options.switchedOn = row.on;
        std::uint8_t command[23] = {};
        command[4] = row.outputs;
        command[6] = row.power;
        command[22] = row.flag;
        std::uint8_t request[simReportSize] = {0, ++sequence, 0x3A};
        std::copy(command, command + 23, request + 4);
        const SimReply reply = answerRequest(unit, session, request);
        ASSERT_EQ(reply.count, 1);
        EXPECT_EQ(std::tuple(unit.live.outputs, unit.live.blowerPower[0], unit.live.manual),
                  std::tuple(row.liveOutputs, row.livePower, row.manual));
        EXPECT_EQ(reply.reports[0][4 + 4], row.liveOutputs);
        EXPECT_EQ(std::tuple(unit.live.polls, unit.live.lastPollManual), std::tuple(++polls, row.flag == 1));
        EXPECT_TRUE(std::equal(command, command + 23, unit.live.lastCommand));
    }
    // Polls stop under manual control: the unit keeps the outputs.
    unit.options.switchedOn = false;
    std::uint8_t request[simReportSize] = {0, ++sequence, 0x3A};
    request[4 + 4] = 0x04;
    request[4 + 22] = 1;
    answerRequest(unit, session, request);
    send(0x35, {3, 1});   // other requests do not touch it
    EXPECT_TRUE(unit.live.manual && unit.live.outputs == 0x04);
}

} // namespace
