#pragma once
// kavix-cli's commands run in-process against a simulated unit served on the
// loopback, with their output captured.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "link/link_control.h"
#include "served_unit.h"
#include "temp_dir.h"

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliFixture : public ::testing::Test {
protected:
    ServedUnit served;
    TempDir dir;

    void TearDown() override
    {
        stopLink();
        served.stop();
    }
    void serve(char family = 'K', std::uint32_t protocolEntries = 20, const ServedUnit::Adjust& adjust = nullptr)
    {
        served.start(family, protocolEntries, adjust);
    }
    std::uint32_t programmings()
    {
        return served.change([](SimUnit&, SimBlockStore& store) { return store.programmings; });
    }

    // kavix-cli with the unit served (unless --unit is among the arguments)
    // and a short stall time, so a silent unit is noticed quickly.
    CliRun cli(std::vector<std::string> arguments, const std::atomic<bool>* interrupted = nullptr)
    {
        std::vector<std::string> all = {"kavix-cli", "--timeout", "1"};
        bool named = false;
        for (const std::string& a : arguments)
            named = named || a == "--unit";
        if (!named && !served.endpoint.empty()) {
            all.push_back("--unit");
            all.push_back(served.endpoint);
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
