#pragma once
// A simulated unit with the family's data sets, served on a loopback port,
// for the tests that talk to it as the program would.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "sim_data_sets.h"
#include "sim_server.h"
#include "sim_unit.h"

struct ServedUnit {
    std::unique_ptr<SimUnit> unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::string endpoint;

    using Adjust = std::function<void(SimOptions&)>;
    // A new unit and server in place of any before.
    void start(char family, std::uint32_t protocolEntries, const Adjust& adjust = nullptr)
    {
        stop();
        SimOptions options = defaultSimOptions(family);
        if (adjust)
            adjust(options);
        unit = std::make_unique<SimUnit>();
        store = SimBlockStore{};
        initSimUnit(*unit, options);
        fillFamilyDataSets(store, family, factoryConfiguration(family), protocolEntries);
        useBlockStore(*unit, store);
        server = startSimServer(*unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));
    }
    void stop()
    {
        if (server)
            stopSimServer(server);
        server = nullptr;
    }
    // Changes or reads the unit while it serves.
    template <typename Change>
    auto change(Change change)
    {
        std::lock_guard<std::mutex> hold(unit->lock);
        return change(*unit, store);
    }
    std::uint32_t requestsSeen() { return change([](SimUnit& u, SimBlockStore&) { return u.requestsSeen; }); }
    SimLiveState live() { return change([](SimUnit& u, SimBlockStore&) { return u.live; }); }
    void setFaults(const SimFaults& faults)
    {
        change([&](SimUnit& u, SimBlockStore&) { u.options.faults = faults; });
    }
};
