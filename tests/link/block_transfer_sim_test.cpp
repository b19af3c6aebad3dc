#include <string>
#include <vector>

#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/device_discovery.h"
#include "link/remote_unit.h"
#include "link_test_support.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "temp_dir.h"

namespace {

// Block transfers end to end: engines, reader and the remote-unit backend
// against the simulated unit with its data sets.
class BlockTransferSimTest : public LinkFixture {
protected:
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(64 * 1024, 0xEE);

    void SetUp() override
    {
        LinkFixture::SetUp();
        sink.dataPointsToAnswer = false;
        sink.dataHeaderInWParam = true;
        setDeviceBackend(&remoteUnitBackend);
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        stopSimServer(server);
        setRemoteUnitEndpoint("");
        setDeviceBackend(nullptr);
    }

    void serve(char family, SimFaults faults = {}, std::uint32_t protocolEntries = 20)
    {
        SimOptions options = defaultSimOptions(family);
        options.faults = faults;
        initSimUnit(unit, options);
        store = SimBlockStore{};
        fillFamilyDataSets(store, family, factoryConfiguration(family), protocolEntries);
        useBlockStore(unit, store);
        server = startSimServer(unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server))).c_str());
    }

    // The request of a window of family ('K', 'M') for a read command.
    void readRequest(char family, std::uint8_t command)
    {
        linkRequest = LinkRequest{};
        linkRequest.command = command;
        linkRequest.payload[0] = family == 'K' && command == cmdReadConfiguration ? 3 : 1;
        linkRequest.payload[1] = family == 'M' ? 2 : 1;
        linkRequest.data = buffer.data();
        linkRequest.dataCapacity = static_cast<std::uint32_t>(buffer.size());
        linkRequest.blockSize = command == cmdReadProtocol ? 48 : 32;
        linkRequest.crcSelector = family == 'M' ? 2 : 1;
    }
    void programRequest(char family, std::vector<std::uint8_t>& configuration)
    {
        linkRequest = LinkRequest{};
        linkRequest.command = cmdAnnounceWrite;
        linkRequest.dataCommand = cmdWriteBlock;
        linkRequest.payload[0] = family == 'K' ? 3 : 1;
        linkRequest.payload[1] = family == 'M' ? 2 : 1;
        linkRequest.data = configuration.data();
        linkRequest.totalLength = static_cast<std::uint32_t>(configuration.size());
        linkRequest.blockSize = 32;
        linkRequest.finalState = 0xFF;
    }

    // Runs the transfer in linkRequest to its end; returns the end code.
    std::uintptr_t transfer(EngineProcedure engine)
    {
        const std::size_t before = sink.count(WM_LINK_END);
        sink.dataHeaderInWParam = engine == blockReadEngine;
        EXPECT_TRUE(findDevice());
        EXPECT_TRUE(startLinkThreads(engine, &linkRequest));
        const bool ended = sink.waitFor(WM_LINK_END, before + 1, 10000);
        stopLink();
        return ended ? sink.all().back().wParam : 99;
    }

    bool bufferHolds(const std::vector<std::uint8_t>& bytes)
    {
        return std::equal(bytes.begin(), bytes.end(), buffer.begin());
    }
    std::uint32_t requestsSeen()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return unit.requestsSeen;
    }
    std::vector<std::uint8_t> configuration()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return store.configuration.bytes;
    }
};

TEST_F(BlockTransferSimTest, ConfigurationRoundTripKeptInTheEepromFile)
{
    TempDir dir;
    for (char family : {'K', 'M'}) {
        const std::string file = (dir / (std::string(1, family) + ".eeprom")).string();
        serve(family);
        store.eepromFile = file;
        readRequest(family, cmdReadConfiguration);
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        std::vector<std::uint8_t> changed = factoryConfiguration(family);
        ASSERT_TRUE(bufferHolds(changed)) << family;

        changed.assign(buffer.begin(), buffer.begin() + static_cast<long>(changed.size()));
        changed[2] = 23;                        // set temperature
        changed.back() = 0x42;                  // the last byte, in the padded block
        programRequest(family, changed);
        ASSERT_EQ(transfer(blockWriteEngine), endProgrammed);
        std::fill(buffer.begin(), buffer.end(), 0);
        readRequest(family, cmdReadConfiguration);
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        EXPECT_TRUE(bufferHolds(changed)) << family;

        std::vector<std::uint8_t> kept;
        std::string error;
        ASSERT_TRUE(loadEepromImage(file, family, kept, error)) << error;
        EXPECT_EQ(kept, changed);
        stopSimServer(server);
        server = nullptr;
    }
}

TEST_F(BlockTransferSimTest, ReadFaultsAreRepairedByReRequests)
{
    SimFaults outOfOrder, repeated, badCrc, late, wrongCode;
    outOfOrder.outOfOrderBlock = 2;
    repeated.repeatBlock = 1;
    badCrc.badCrcBlock = 3;
    late.duplicateEvery = 3;
    wrongCode.wrongCodeEvery = 4;
    for (const SimFaults& faults : {outOfOrder, repeated, badCrc, late, wrongCode}) {
        serve('K', faults, 9);   // 216 bytes: 5 blocks
        readRequest('K', cmdReadProtocol);
        linkRequest.crcSelector = 3;
        std::fill(buffer.begin(), buffer.end(), 0);
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        EXPECT_TRUE(bufferHolds(failureProtocol('K', 9)));
        EXPECT_EQ(sink.count(WM_LINK_DATA) % 5, 0u);   // each block reported once
        EXPECT_GT(requestsSeen(), 6u);              // the fault did cost a re-request
        stopSimServer(server);
        server = nullptr;
    }
}

TEST_F(BlockTransferSimTest, WriteFaultsAndRefusalsEndAsTheUnitSays)
{
    std::vector<std::uint8_t> changed = factoryConfiguration('K');
    changed[2] = 25;
    struct Case {
        SimFaults faults;
        std::uintptr_t end;
        bool stored;
    };
    std::vector<Case> cases(8, Case{{}, endProgrammed, true});
    cases[0].faults.busyCode = 0x64;
    cases[1].faults.busyCode = 0xF0;
    cases[2].faults.resendFrom = 0;
    cases[3].faults.announceAnswer = 0x52;
    cases[3].end = endCompleted;
    cases[4].faults.announceAnswer = 0x53;
    cases[4].end = endRejected;
    cases[5].faults.eepromFails = true;
    cases[5].end = endWriteFailed;
    cases[6].faults.refuseBlocks = true;
    cases[6].end = endWrongUnit;
    cases[7].faults.resendFrom = 7;   // beyond the data: an empty last block replaces the tail
    for (std::size_t i = 0; i < cases.size(); ++i) {
        serve('K', cases[i].faults);
        programRequest('K', changed);
        EXPECT_EQ(transfer(blockWriteEngine), cases[i].end) << "case " << i;
        if (i == 7) {
            EXPECT_EQ(configuration()[32], 0xFF);
        } else {
            EXPECT_EQ(configuration() == changed, cases[i].stored && cases[i].end == endProgrammed) << "case " << i;
        }
        stopSimServer(server);
        server = nullptr;
    }
}

} // namespace
