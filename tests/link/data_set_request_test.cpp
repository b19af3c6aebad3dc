#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/data_set_request.h"
#include "link/link_state.h"

namespace {

// A record as an earlier transfer may have left it: no field holds what a
// data-set request would write, so every field the builder leaves alone is
// seen to stay.
LinkRequest usedRecord(std::uint8_t* leftOver)
{
    LinkRequest request;
    request.command = 0xC1;
    request.dataCommand = 0xC2;
    request.subCode = 0xC3;
    request.data = leftOver;
    for (std::size_t i = 0; i < sizeof request.payload; ++i)
        request.payload[i] = static_cast<std::uint8_t>(0x80 + i);
    request.finalState = 0xC4;
    request.totalLength = 0xC5C5C5C5;
    request.blockSize = 0xC6;
    request.expectedAnswerType = 0xC7;
    request.expectedUnitKind = 0xC8;
    request.crcSelector = 0xC9;
    request.dataCapacity = 0xCACACACA;
    request.releaseLength = 0xCB;
    for (std::size_t i = 0; i < sizeof request.releasePayload; ++i)
        request.releasePayload[i] = static_cast<std::uint8_t>(0x40 + i);
    return request;
}

void expectSameRequest(const LinkRequest& actual, const LinkRequest& expected)
{
    EXPECT_EQ(actual.command, expected.command);
    EXPECT_EQ(actual.dataCommand, expected.dataCommand);
    EXPECT_EQ(actual.subCode, expected.subCode);
    EXPECT_EQ(actual.data, expected.data);
    for (std::size_t i = 0; i < sizeof actual.payload; ++i)
        EXPECT_EQ(actual.payload[i], expected.payload[i]) << "payload byte " << i;
    EXPECT_EQ(actual.finalState, expected.finalState);
    EXPECT_EQ(actual.totalLength, expected.totalLength);
    EXPECT_EQ(actual.blockSize, expected.blockSize);
    EXPECT_EQ(actual.expectedAnswerType, expected.expectedAnswerType);
    EXPECT_EQ(actual.expectedUnitKind, expected.expectedUnitKind);
    EXPECT_EQ(actual.crcSelector, expected.crcSelector);
    EXPECT_EQ(actual.dataCapacity, expected.dataCapacity);
    EXPECT_EQ(actual.releaseLength, expected.releaseLength);
    EXPECT_EQ(0, std::memcmp(actual.releasePayload, expected.releasePayload, sizeof actual.releasePayload));
}

// Every request for one of the unit's data sets, as the windows and
// kavix-cli send it: command, payload data set and family, block size and
// CRC selector (reads) or the block to write (programming). The selector is
// the family number, which leaves the engine's CRC check of protocol blocks
// off; the M-Series configuration read included.
TEST(DataSetRequest, EveryReadAndProgrammingOfBothFamiliesFieldByField)
{
    struct Row {
        const char* transfer;
        bool program = false;      // setConfigurationProgram, else setDataSetRead
        DataSet set;
        std::uint8_t unitKind;
        std::uint8_t command;
        std::uint8_t dataSet;      // payload byte 0
        std::uint8_t blockSize;
        std::uint8_t crcSelector = 0;  // reads only
        std::uint32_t length;      // bytes to write, or the destination's capacity
    };
    const Row rows[] = {
        {.transfer = "K-Series configuration read", .set = DataSet::configuration, .unitKind = 1, .command = 0x35,
         .dataSet = 3, .blockSize = 32, .crcSelector = 1, .length = 4096},
        {.transfer = "M-Series configuration read", .set = DataSet::configuration, .unitKind = 2, .command = 0x35,
         .dataSet = 1, .blockSize = 32, .crcSelector = 2, .length = 4096},
        {.transfer = "K-Series counters", .set = DataSet::counters, .unitKind = 1, .command = 0x3B, .dataSet = 1,
         .blockSize = 32, .crcSelector = 1, .length = 65536},
        {.transfer = "M-Series counters", .set = DataSet::counters, .unitKind = 2, .command = 0x3B, .dataSet = 1,
         .blockSize = 32, .crcSelector = 2, .length = 65536},
        {.transfer = "K-Series protocol", .set = DataSet::protocol, .unitKind = 1, .command = 0x36, .dataSet = 1,
         .blockSize = 48, .crcSelector = 1, .length = 2 * 1024 * 1024},
        {.transfer = "M-Series protocol", .set = DataSet::protocol, .unitKind = 2, .command = 0x36, .dataSet = 1,
         .blockSize = 48, .crcSelector = 2, .length = 2 * 1024 * 1024},
        {.transfer = "K-Series programming", .program = true, .set = DataSet::configuration, .unitKind = 1,
         .command = 0x29, .dataSet = 3, .blockSize = 32, .length = 62},
        {.transfer = "M-Series programming", .program = true, .set = DataSet::configuration, .unitKind = 2,
         .command = 0x29, .dataSet = 1, .blockSize = 32, .length = 74},
    };
    std::uint8_t leftOver[4];
    std::uint8_t target[4];
    for (const Row& row : rows) {
        SCOPED_TRACE(row.transfer);
        LinkRequest request = usedRecord(leftOver);
        LinkRequest expected = usedRecord(leftOver);
        expected.command = row.command;
        expected.subCode = 0;
        expected.data = target;
        // Payload bytes 3 to 19 go out as the record held them.
        expected.payload[0] = row.dataSet;
        expected.payload[1] = row.unitKind;
        expected.payload[2] = 0;
        expected.blockSize = row.blockSize;
        if (row.program) {
            setConfigurationProgram(request, row.unitKind, target, row.length);
            expected.dataCommand = 0x2A;
            expected.finalState = 0xFF;
            expected.totalLength = row.length;
        } else {
            setDataSetRead(request, row.set, row.unitKind, target, row.length);
            expected.crcSelector = row.crcSelector;
            expected.dataCapacity = row.length;
        }
        expectSameRequest(request, expected);
    }
}

} // namespace
