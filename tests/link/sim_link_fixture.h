#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "link/remote_unit.h"
#include "link_test_support.h"
#include "sim_data_sets.h"
#include "sim_server.h"

// The whole link (discovery, reader, engines, remote-unit backend) against
// the simulated unit with its data sets over loopback TCP.
class SimLinkFixture : public LinkFixture {
protected:
    SimOptions options = defaultSimOptions('K');   // of the next serve()
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(64 * 1024, 0xEE);

    void SetUp() override
    {
        LinkFixture::SetUp();
        setDeviceBackend(&remoteUnitBackend);
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        stopSimServer(server);
        setRemoteUnitEndpoint("");
    }

    // Runs f under the unit's lock (the server thread serves from it).
    template <class F>
    auto withUnit(F f)
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return f();
    }
    // A unit with options and its family's data sets, on one server per test.
    void serve(std::uint32_t protocolEntries = 20)
    {
        initSimUnit(unit, options);
        withUnit([&] {
            store = SimBlockStore{};
            fillFamilyDataSets(store, options.family, factoryConfiguration(options.family), protocolEntries);
        });
        useBlockStore(unit, store);
        if (server)
            return;
        server = startSimServer(unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server))).c_str());
    }
    void setFaults(const SimFaults& faults) { withUnit([&] { unit.options.faults = faults; }); }
    std::vector<std::uint8_t> configuration() { return withUnit([&] { return store.configuration.bytes; }); }

    // Opens the link as a feature window does (discovery, product string,
    // both threads), runs linkRequest until WM_LINK_END or enoughData
    // WM_LINK_DATA, then stops the link; the sink keeps this transfer's
    // notifications. False when it gave up because neither answers nor
    // requests moved on for silenceMs.
    bool transfer(EngineProcedure engine, std::size_t enoughData = 0, int silenceMs = waitMs)
    {
        sink.clear();
        char product[productStringChars + 1];
        EXPECT_TRUE(findDevice() && readProductString(product) && startLinkThreads(engine, &linkRequest));
        // Data notifications and requests seen: neither goes back.
        const auto moves = [&] { return sink.count(WM_LINK_DATA) + withUnit([&] { return unit.requestsSeen; }); };
        auto progress = Clock::now();
        auto seen = moves();
        bool silent = false;
        while (!silent && !sink.waitFor(WM_LINK_END, 1, 5) && (!enoughData || sink.count(WM_LINK_DATA) < enoughData)) {
            const auto now = moves();
            if (now != seen)
                progress = Clock::now();
            silent = msSince(progress) > silenceMs;
            seen = now;
        }
        stopLink();
        EXPECT_TRUE(linkThreadsEnded());
        return !silent;
    }
    // The end code of a transfer that must end by itself (99 if none or several).
    std::uintptr_t endOf(EngineProcedure engine)
    {
        transfer(engine);
        const auto ends = sink.endCodes();
        return ends.size() == 1 ? ends[0] : 99;
    }

    // A read (data null) or write request of a window of the unit's family.
    void blockRequest(std::uint8_t command, std::vector<std::uint8_t>* data = nullptr)
    {
        const bool m = options.family == 'M';
        linkRequest = LinkRequest{.command = command, .dataCommand = cmdWriteBlock,
                                  .data = data ? data->data() : buffer.data(),
                                  .totalLength = data ? static_cast<std::uint32_t>(data->size()) : 0,
                                  .blockSize = static_cast<std::uint8_t>(command == cmdReadProtocol ? 48 : 32),
                                  .crcSelector = static_cast<std::uint8_t>(m ? 2 : 1),
                                  .dataCapacity = static_cast<std::uint32_t>(buffer.size())};
        linkRequest.payload[0] = !m && (command == cmdReadConfiguration || command == cmdAnnounceWrite) ? 3 : 1;
        linkRequest.payload[1] = m ? 2 : 1;
        if (!data)
            std::fill(buffer.begin(), buffer.end(), 0xEE);
    }
    // The monitor's poll of the unit served, each answer processed at once.
    void pollRequest()
    {
        const auto record = static_cast<std::uint8_t>(options.family == 'K' ? 23 : 37);
        linkRequest = LinkRequest{.command = cmdPoll, .blockSize = record, .expectedAnswerType = 1,
                                  .expectedUnitKind = options.kind};
        answerPromptly();
    }
    bool bufferHolds(const std::vector<std::uint8_t>& b) { return std::equal(b.begin(), b.end(), buffer.begin()); }
};
