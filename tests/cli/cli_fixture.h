#pragma once
// kavix-cli's commands run in-process against a simulated unit served on the
// loopback, with their output captured.
#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "link/link_control.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "temp_dir.h"

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliFixture : public ::testing::Test {
protected:
    SimOptions options = defaultSimOptions('K');
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    TempDir dir;
    std::string endpoint;

    void TearDown() override
    {
        stopLink();
        stopSimServer(server);
    }

    template <class F>
    auto withUnit(F f)
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return f();
    }
    // A unit of the family's options with its data sets, one server per test.
    void serve(std::uint32_t protocolEntries = 20)
    {
        initSimUnit(unit, options);
        withUnit([&] {
            store = SimBlockStore{};
            fillFamilyDataSets(store, options.family, factoryConfiguration(options.family), protocolEntries);
        });
        useBlockStore(unit, store);
        server = startSimServer(unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));
    }
    void setFaults(const SimFaults& faults) { withUnit([&] { unit.options.faults = faults; }); }

    // kavix-cli with the unit served (unless --unit is among the arguments)
    // and a short stall time, so a silent unit is noticed quickly.
    CliRun cli(std::vector<std::string> arguments, const std::atomic<bool>* interrupted = nullptr)
    {
        std::vector<std::string> all = {"kavix-cli", "--timeout", "1"};
        bool named = false;
        for (const std::string& a : arguments)
            named = named || a == "--unit";
        if (!named && !endpoint.empty()) {
            all.push_back("--unit");
            all.push_back(endpoint);
        }
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<const char*> argv;
        for (const std::string& a : all)
            argv.push_back(a.c_str());
        std::ostringstream out;
        std::ostringstream err;
        CliRun run;
        run.code = runCli(static_cast<int>(argv.size()), argv.data(), CliStreams{out, err, false, interrupted});
        run.out = out.str();
        run.err = err.str();
        return run;
    }
    std::string file(const std::string& name) { return (dir / name).string(); }
};
