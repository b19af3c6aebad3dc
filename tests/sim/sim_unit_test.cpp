#include <gtest/gtest.h>

#include <cstring>

#include "sim_unit.h"

namespace {

std::uint16_t le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | (at[1] << 8)); }
std::int16_t signed16(const std::uint8_t* at) { return static_cast<std::int16_t>(le16(at)); }

struct Request {
    std::uint8_t bytes[simReportSize] = {};
    Request(std::uint8_t sequence, std::uint8_t command, std::initializer_list<std::uint8_t> payload = {})
    {
        bytes[1] = sequence;
        bytes[2] = command;
        std::size_t i = 4;
        for (std::uint8_t value : payload)
            bytes[i++] = value;
    }
};

TEST(SimUnit, KSeriesStatusRecordHasTheMonitorsLayout)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('K');
    options.errorBits = 0x25;
    options.functionMode = 3;
    initSimUnit(unit, options);
    unit.fixedSeconds = 10;
    SimSession session;
    SimReply reply = answerRequest(unit, session, Request(9, 0x3A).bytes);
    ASSERT_EQ(reply.count, 1);
    const std::uint8_t* answer = reply.reports[0];
    EXPECT_EQ(answer[1], 9);
    EXPECT_EQ(answer[2], 0x50);
    const std::uint8_t* status = answer + 4;
    EXPECT_EQ(status[0], 1);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(le16(status + 2), 0x0123);
    // Each temperature's °F copy follows from its °C value.
    for (std::size_t at : {7u, 11u}) {
        const int celsius = signed16(status + at);
        const int fahrenheit = signed16(status + at + 2);
        EXPECT_NEAR(fahrenheit, celsius * 9 / 5 + 320, 1) << at;
        EXPECT_GT(celsius, 0);
        EXPECT_LT(celsius, 400);
    }
    EXPECT_NEAR(le16(status + 15), 230, 5);
    EXPECT_EQ(le16(status + 17), 0x25);
    EXPECT_EQ(le16(status + 19), 0x8000);
    EXPECT_EQ(status[21], 3);
    EXPECT_EQ(status[4] & 0x03, 0x03);   // blower and compressor run
}

TEST(SimUnit, MSeriesStatusRecordAndSlowlyChangingTemperatures)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('M');
    options.fahrenheit = true;
    initSimUnit(unit, options);
    unit.fixedSeconds = 0;
    std::uint8_t first[statusLengthM], later[statusLengthM];
    ASSERT_EQ(buildStatusRecord(unit, first), statusLengthM);
    unit.fixedSeconds = 20;
    buildStatusRecord(unit, later);
    EXPECT_EQ(first[1], 2);
    EXPECT_EQ(le16(first + 2), 0x0204);
    EXPECT_EQ(first[28], 50);
    EXPECT_EQ(le16(first + 33), 0x8001);
    const int change = signed16(later + 14) - signed16(first + 14);
    EXPECT_NE(change, 0);
    EXPECT_LT(std::abs(change), 30);   // tenths of a degree in 20 s
}

TEST(SimUnit, ManualCommandIsAppliedOnlyWhileSwitchedOff)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('M');
    options.switchedOn = false;
    initSimUnit(unit, options);
    SimSession session;
    Request poll(1, 0x3A, {1, 2, 0, 0, 0x05, 0x21, 0, 0, 0, 0, 0, 0, 77, 150});
    poll.bytes[4 + 36] = 1;
    SimReply reply = answerRequest(unit, session, poll.bytes);
    const std::uint8_t* status = reply.reports[0] + 4;
    EXPECT_EQ(le16(status + 4), 0x2105);
    EXPECT_EQ(status[12], 77);
    EXPECT_EQ(status[13], 100);   // clamped to 100 %
    EXPECT_EQ(le16(status + 33) & 0x8000, 0);

    poll.bytes[4 + 36] = 0;       // manual control off: outputs fall back
    reply = answerRequest(unit, session, poll.bytes);
    EXPECT_EQ(le16(reply.reports[0] + 8), 0);

    options.switchedOn = true;
    initSimUnit(unit, options);
    poll.bytes[4 + 36] = 1;
    reply = answerRequest(unit, session, poll.bytes);
    EXPECT_NE(le16(reply.reports[0] + 8), 0x2105);
}

bool handledBlocks = false;
bool recordBlock(SimUnit&, SimSession&, const std::uint8_t* request, SimReply& reply)
{
    handledBlocks = true;
    addAnswer(reply, request, 0x35);
    return true;
}

TEST(SimUnit, RefusesBlockRequestsMeantForAnotherUnitWithKindAndFirmware)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('K');
    options.firmwareMajor = 1;
    options.firmwareMinor = 5;
    initSimUnit(unit, options);
    unit.blockHandler = recordBlock;
    SimSession session;

    handledBlocks = false;
    SimReply reply = answerRequest(unit, session, Request(3, 0x35, {1, 2, 0}).bytes); // M-Series request
    EXPECT_FALSE(handledBlocks);
    ASSERT_EQ(reply.count, 1);
    EXPECT_EQ(reply.reports[0][1], 3);
    EXPECT_EQ(reply.reports[0][2], 0x51);
    EXPECT_EQ(reply.reports[0][5], 1);
    EXPECT_EQ(reply.reports[0][6], 5);
    EXPECT_EQ(reply.reports[0][7], 1);

    answerRequest(unit, session, Request(4, 0x35, {1, 1, 0}).bytes);   // K config needs selector 3
    EXPECT_FALSE(handledBlocks);
    reply = answerRequest(unit, session, Request(5, 0x35, {3, 1, 0}).bytes);
    EXPECT_TRUE(handledBlocks);
    EXPECT_EQ(reply.reports[0][2], 0x35);
    handledBlocks = false;
    answerRequest(unit, session, Request(6, 0x3B, {1, 1, 0}).bytes);
    EXPECT_TRUE(handledBlocks);
}

TEST(SimUnit, FaultsDropDuplicateMiscodeSilenceAndDisconnect)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('K');
    options.faults.dropEvery = 3;
    options.faults.duplicateEvery = 2;
    options.faults.wrongCodeEvery = 5;
    options.faults.disconnectAfter = 6;
    options.faults.delayMs = 7;
    initSimUnit(unit, options);
    SimSession session;
    int counts[6];
    std::uint8_t codes[6] = {};
    std::uint8_t firstSequence[6] = {};
    bool disconnects[6];
    for (int i = 0; i < 6; ++i) {
        SimReply reply = answerRequest(unit, session, Request(static_cast<std::uint8_t>(10 + i), 0x3A).bytes);
        counts[i] = reply.count;
        disconnects[i] = reply.disconnect;
        if (reply.count > 0) {
            codes[i] = reply.reports[reply.count - 1][2];
            firstSequence[i] = reply.reports[0][1];
            EXPECT_EQ(reply.delayMs, 7u);
            EXPECT_EQ(reply.reports[reply.count - 1][1], 10 + i);   // the real answer goes last
        }
    }
    EXPECT_EQ(counts[0], 1);
    EXPECT_EQ(counts[1], 2);            // late copy of answer 0 first
    EXPECT_EQ(firstSequence[1], 10);
    EXPECT_EQ(counts[2], 0);            // dropped
    EXPECT_EQ(counts[3], 2);
    EXPECT_EQ(firstSequence[3], 11);
    EXPECT_EQ(codes[4], 0x5A);          // fifth request: unexpected code
    EXPECT_EQ(counts[5], 0);            // sixth answer dropped
    EXPECT_FALSE(disconnects[4]);
    EXPECT_TRUE(disconnects[5]);

    SimUnit quiet;
    options = defaultSimOptions('K');
    options.faults.silent = true;
    options.faults.silentAfter = 2;
    initSimUnit(quiet, options);
    SimSession quietSession;
    EXPECT_EQ(answerRequest(quiet, quietSession, Request(1, 0x3A).bytes).count, 1);
    EXPECT_EQ(answerRequest(quiet, quietSession, Request(2, 0x3A).bytes).count, 1);
    EXPECT_EQ(answerRequest(quiet, quietSession, Request(3, 0x3A).bytes).count, 0);
}

TEST(SimUnit, FirmwareWordPacksDecimalDigitsIntoNibbles)
{
    EXPECT_EQ(firmwareWord(1, 23), 0x0123);
    EXPECT_EQ(firmwareWord(2, 4), 0x0204);
    EXPECT_EQ(firmwareWord(9, 99), 0x0999);
}

} // namespace
