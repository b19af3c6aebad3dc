#include <string>
#include <vector>

#include "link/block_write_engine.h"
#include "link/remote_unit.h"
#include "link/remote_wire.h"
#include "link_test_support.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "temp_dir.h"

namespace {

// The whole link (discovery, reader, engines, remote-unit backend) against
// the simulated unit with its data sets over loopback TCP.
class SimLinkTest : public LinkFixture {
protected:
    SimOptions options = defaultSimOptions('K');   // of the next serve()
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::string endpoint;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(64 * 1024, 0xEE);

    void SetUp() override
    {
        LinkFixture::SetUp();
        setDeviceBackend(&remoteUnitBackend);
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        stopServer();
        setRemoteUnitEndpoint("");
    }

    void serve(std::uint32_t protocolEntries = 20)
    {
        stopServer();
        initSimUnit(unit, options);
        store = SimBlockStore{};
        fillFamilyDataSets(store, options.family, factoryConfiguration(options.family), protocolEntries);
        useBlockStore(unit, store);
        server = startSimServer(unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));
        setRemoteUnitEndpoint(endpoint.c_str());
    }
    void stopServer()
    {
        stopSimServer(server);
        server = nullptr;
    }

    // Discovery, product string and both threads, as a feature window does.
    void open(EngineProcedure engine)
    {
        ASSERT_TRUE(findDevice());
        char product[65];
        ASSERT_TRUE(readProductString(product));
        start(engine);
    }
    // Runs the transfer in linkRequest to its end; returns the end code.
    std::uintptr_t transfer(EngineProcedure engine)
    {
        const std::size_t before = sink.count(WM_LINK_END);
        open(engine);
        const std::uintptr_t code = sink.endCode(before + 1);
        stopLink();
        return code;
    }
    // A read (data not 0) or write request of a window of the unit's family.
    void blockRequest(std::uint8_t command, std::vector<std::uint8_t>* data = nullptr)
    {
        const bool m = options.family == 'M';
        linkRequest = LinkRequest{};
        linkRequest.command = command;
        linkRequest.payload[0] = !m && (command == cmdReadConfiguration || command == cmdAnnounceWrite) ? 3 : 1;
        linkRequest.payload[1] = m ? 2 : 1;
        linkRequest.blockSize = command == cmdReadProtocol ? 48 : 32;
        linkRequest.crcSelector = m ? 2 : 1;
        linkRequest.dataCommand = cmdWriteBlock;
        linkRequest.data = data ? data->data() : buffer.data();
        linkRequest.dataCapacity = static_cast<std::uint32_t>(buffer.size());
        linkRequest.totalLength = data ? static_cast<std::uint32_t>(data->size()) : 0;
    }

    bool bufferHolds(const std::vector<std::uint8_t>& bytes)
    {
        return std::equal(bytes.begin(), bytes.end(), buffer.begin());
    }
    std::vector<std::uint8_t> configuration()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return store.configuration.bytes;
    }
};

TEST_F(SimLinkTest, DiscoveryFiltersTheIdsAndReadsTheProductStringOverTheWire)
{
    options.product = "\xE4\x80" + std::string(200, 'Q');   // Windows-1252: a-umlaut, euro sign
    serve();
    ASSERT_TRUE(findDevice());
    EXPECT_EQ(devicePath, endpoint);
    char product[65];
    ASSERT_TRUE(readProductString(product));
    EXPECT_EQ(std::string(product), "\xE4\x80" + std::string(62, 'Q'));
    EXPECT_EQ(simServerConnections(server), 2u);   // each operation connects on its own

    options.productId = 0x1C02;
    serve();
    EXPECT_FALSE(findDevice());
    stopServer();
    EXPECT_FALSE(findDevice());   // nobody listening
}

TEST(RemoteWire, IdentityRecordBytesAndAProductLengthBeyondTheRecordIsRefused)
{
    std::uint8_t record[identityMaxSize + 2] = {};
    ASSERT_EQ(encodeIdentity(makeIdentity(0xC251, 0x1C01, "U\xE4"), record), 13u);
    EXPECT_EQ(0, std::memcmp(record, "KVX1\x51\xC2\x01\x1C\x04U\0\xE4\0", 13));

    NetSocket listener = netListen("127.0.0.1", 0);
    ASSERT_NE(listener, invalidSocket);
    NetSocket client = netConnect("127.0.0.1", netLocalPort(listener), 1000);
    NetSocket peer = netAccept(listener, 1000);
    ASSERT_NE(peer, invalidSocket);
    record[8] = 254;   // more than the 252 bytes a record holds
    ASSERT_TRUE(netSendAll(peer, record, sizeof record));
    UnitIdentity identity;
    EXPECT_FALSE(receiveIdentity(client, identity, 1000));
    netClose(client);
    netClose(peer);
    netClose(listener);
}

TEST_F(SimLinkTest, PollsTheLiveStatusTakesLateAnswersAsForeignAndLinksAgain)
{
    options.faults.duplicateEvery = 1;   // a late copy of the previous answer before each answer
    serve();
    answerPromptly();
    const std::uint8_t firstSequence = sequenceNumber;   // counts the polls sent
    for (std::size_t round = 1; round <= 2; ++round) {
        open(pollEngine);
        ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 20 * round));
        // With a read pending on the connection, the stop is still prompt.
        const auto begin = Clock::now();
        stopLink();
        EXPECT_LT(msSince(begin), 400);
        EXPECT_TRUE(linkThreadsEnded());
    }
    EXPECT_EQ(simServerConnections(server), 6u);   // the unit accepts one link after another
    const Notification data = sink.all(WM_LINK_DATA).back();
    EXPECT_EQ(data.answer[0], 1);                      // answer type
    EXPECT_EQ(data.answer[1], 1);                      // kind
    EXPECT_EQ(readLe16(data.answer + 2), 0x0123);      // firmware 1.23
    EXPECT_NE(readLe16(data.answer + 19) & 0x8000, 0); // switched on
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
    // No resends: one request per answer (plus possibly one in flight per link).
    EXPECT_LE(static_cast<std::uint8_t>(sequenceNumber - firstSequence), sink.count(WM_LINK_DATA) + 2);
}

TEST_F(SimLinkTest, AUnitThatDisconnectsEndsWithCode4AndDelaysStretchTheCycle)
{
    options.faults.disconnectAfter = 3;
    options.faults.delayMs = 30;
    serve();
    answerPromptly();
    open(pollEngine);
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1));
    // The reader's end code and the engine's third data notice race each
    // other, as two posted messages do; both arrive.
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 3));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 3u);
    for (const Notification& end : sink.all(WM_LINK_END))
        EXPECT_EQ(end.wParam, endDeviceGone);
    const auto data = sink.all(WM_LINK_DATA);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(data[2].at - data[0].at).count(), 55);
}

TEST_F(SimLinkTest, ConfigurationRoundTripKeptInTheEepromFile)
{
    TempDir dir;
    for (char family : {'K', 'M'}) {
        options = defaultSimOptions(family);
        serve();
        store.eepromFile = (dir / (std::string(1, family) + ".eeprom")).string();
        blockRequest(cmdReadConfiguration);
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        std::vector<std::uint8_t> changed = factoryConfiguration(family);
        ASSERT_TRUE(bufferHolds(changed)) << family;

        changed[2] = 23;         // set temperature
        changed.back() = 0x42;   // the last byte, in the padded block
        blockRequest(cmdAnnounceWrite, &changed);
        ASSERT_EQ(transfer(blockWriteEngine), endProgrammed);
        std::fill(buffer.begin(), buffer.end(), 0);
        blockRequest(cmdReadConfiguration);
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        EXPECT_TRUE(bufferHolds(changed)) << family;

        std::vector<std::uint8_t> kept;
        std::string error;
        ASSERT_TRUE(loadEepromImage(store.eepromFile, family, kept, error)) << error;
        EXPECT_EQ(kept, changed);
    }
}

TEST_F(SimLinkTest, ReadFaultsAreRepairedByReRequests)
{
    // Each fault but the late answers costs a re-request: more reports than
    // the request and five acknowledgements.
    const std::pair<SimFaults, bool> cases[] = {{{.duplicateEvery = 3}, false}, {{.wrongCodeEvery = 4}, true},
                                                {{.outOfOrderBlock = 2}, true}, {{.repeatBlock = 1}, true},
                                                {{.badCrcBlock = 3}, true}};
    for (const auto& [faults, reRequested] : cases) {
        options.faults = faults;
        serve(9);   // 216 bytes: 5 blocks
        blockRequest(cmdReadProtocol);
        linkRequest.crcSelector = 3;
        std::fill(buffer.begin(), buffer.end(), 0);
        const std::uint8_t firstSequence = sequenceNumber;   // counts the reports the engine sends
        ASSERT_EQ(transfer(blockReadEngine), endCompleted);
        EXPECT_TRUE(bufferHolds(failureProtocol('K', 9)));
        EXPECT_EQ(sink.count(WM_LINK_DATA) % 5, 0u);   // each block reported once
        EXPECT_EQ(static_cast<std::uint8_t>(sequenceNumber - firstSequence) > 6, reRequested);
    }
}

TEST_F(SimLinkTest, WriteFaultsAndRefusalsEndAsTheUnitSays)
{
    std::vector<std::uint8_t> changed = factoryConfiguration('K');
    changed[2] = 25;
    const std::pair<SimFaults, std::uintptr_t> cases[] = {
        {{.busyCode = 0x64}, endProgrammed},        {{.busyCode = 0xF0}, endProgrammed},
        {{.resendFrom = 0}, endProgrammed},         {{.announceAnswer = 0x52}, endCompleted},
        {{.announceAnswer = 0x53}, endRejected},    {{.eepromFails = true}, endWriteFailed},
        {{.refuseBlocks = true}, endWrongUnit},
    };
    for (const auto& [faults, end] : cases) {
        options.faults = faults;
        serve();
        blockRequest(cmdAnnounceWrite, &changed);
        EXPECT_EQ(transfer(blockWriteEngine), end) << int(faults.busyCode) << " " << int(faults.announceAnswer);
        EXPECT_EQ(configuration() == changed, end == endProgrammed);   // stored only when programmed
    }
    // Asked again from beyond the data, the engine sends an empty last block.
    options.faults = {.resendFrom = 7};
    serve();
    ASSERT_EQ(transfer(blockWriteEngine), endProgrammed);
    EXPECT_EQ(configuration()[32], 0xFF);
}

} // namespace
