#include <gtest/gtest.h>

#include <vector>

#include "app/crc16.h"
#include "sim_blocks.h"

namespace {

std::uint16_t le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }

class SimBlocksTest : public ::testing::Test {
protected:
    SimUnit unit;
    SimBlockStore store;
    SimSession session;
    std::uint8_t sequence = 0;

    void SetUp() override
    {
        initSimUnit(unit, defaultSimOptions('K'));
        useBlockStore(unit, store);
    }

    SimReply send(std::uint8_t command, std::initializer_list<std::uint8_t> payload = {})
    {
        std::uint8_t request[simReportSize] = {};
        request[1] = ++sequence;
        request[2] = command;
        std::size_t at = 4;
        for (std::uint8_t value : payload)
            request[at++] = value;
        return answerRequest(unit, session, request);
    }
};

TEST_F(SimBlocksTest, ServesADataSetBlockByBlockWithReRequests)
{
    std::vector<std::uint8_t> counters(70);
    for (std::size_t i = 0; i < counters.size(); ++i)
        counters[i] = static_cast<std::uint8_t>(i + 1);
    setSimDataSet(store, 0x3B, counters, 32, 9);

    SimReply reply = send(0x3B, {1, 1, 0});
    ASSERT_EQ(reply.count, 1);
    const std::uint8_t* block = reply.reports[0];
    EXPECT_EQ(block[1], sequence);
    EXPECT_EQ(block[2], 0x3B);
    EXPECT_EQ(le16(block + 5), 3);
    EXPECT_EQ(le16(block + 7), 0);
    EXPECT_EQ(le16(block + 9), 9);
    EXPECT_EQ(block[11], 1);
    EXPECT_EQ(le16(block + 11 + 32), crc16(block + 11, 32));

    reply = send(0x60);
    EXPECT_EQ(le16(reply.reports[0] + 7), 1);
    EXPECT_EQ(reply.reports[0][11], 33);
    reply = send(0x64);                        // the same block again
    EXPECT_EQ(le16(reply.reports[0] + 7), 1);
    reply = send(0x63, {0, 0});                // again from block 0
    EXPECT_EQ(le16(reply.reports[0] + 7), 0);
    send(0x60);
    reply = send(0x60);
    EXPECT_EQ(le16(reply.reports[0] + 7), 0xFFFF);
    EXPECT_EQ(reply.reports[0][11], 65);
    EXPECT_EQ(reply.reports[0][11 + 5], 70);
    EXPECT_EQ(reply.reports[0][11 + 6], 0);    // padding after the data
    EXPECT_EQ(send(0x60).count, 0);            // last block acknowledged: no answer
}

TEST_F(SimBlocksTest, OneBlockSetsAndAbsentSets)
{
    setSimDataSet(store, 0x36, std::vector<std::uint8_t>(48, 0xAB), 48, 2);
    SimReply reply = send(0x36, {1, 1});
    EXPECT_EQ(le16(reply.reports[0] + 7), 0xFFFF);
    EXPECT_EQ(le16(reply.reports[0] + 5), 1);
    EXPECT_EQ(reply.reports[0][58], 0xAB);
    EXPECT_EQ(send(0x60).count, 0);
    EXPECT_EQ(send(0x36, {1, 1}).count, 1);    // a second read starts afresh

    reply = send(0x35, {3, 1, 0});             // no configuration set: refused
    EXPECT_EQ(reply.reports[0][2], 0x51);
    reply = send(0x60);                        // nothing under way any more
    EXPECT_EQ(reply.reports[0][2], 0x51);
}

TEST_F(SimBlocksTest, ProgrammingReplacesTheConfiguration)
{
    setSimDataSet(store, 0x35, std::vector<std::uint8_t>(62, 0), 32, 1);
    EXPECT_EQ(send(0x29, {3, 1, 0}).reports[0][2], 0x50);
    std::initializer_list<std::uint8_t> first = {0, 0, 1, 2, 3};
    EXPECT_EQ(send(0x2A, first).reports[0][2], 0x60);
    EXPECT_EQ(store.programmings, 0u);
    EXPECT_EQ(send(0x2A, {0xFF, 0xFF, 9}).reports[0][2], 0x60);
    EXPECT_EQ(store.programmings, 1u);
    ASSERT_EQ(store.configuration.bytes.size(), 62u);
    EXPECT_EQ(store.configuration.bytes[0], 1);
    EXPECT_EQ(store.configuration.bytes[32], 9);
    EXPECT_EQ(send(0x2A, {0xFF, 0xFF}).reports[0][2], 0x51);   // no write under way

    EXPECT_EQ(send(0x29, {1, 2, 0}).reports[0][2], 0x51);      // M-Series announcement
}

} // namespace
