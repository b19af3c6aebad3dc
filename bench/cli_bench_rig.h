#pragma once
// kavix-cli's commands against a simulated K-Series unit with USB frames,
// timed, with the exchanges each took and the USB bound for them.
//
// The bound: a request is taken in at the next frame and its answer leaves
// at the frame after, so the exchanges of one link take two frames each,
// except the first, which may arrive just before a frame. Every command
// opens the link twice: the poll that identifies the unit, then its transfer.
#include <chrono>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "sim_data_sets.h"
#include "sim_server.h"

inline constexpr double cliLinksPerCommand = 2;

struct FramedUnit {
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::string endpoint;
    std::uint32_t frameMs;

    FramedUnit(std::uint32_t frame, std::uint32_t protocolEntries) : frameMs(frame)
    {
        SimOptions options = defaultSimOptions('K');
        options.frameMs = frameMs;
        initSimUnit(unit, options);
        fillFamilyDataSets(store, 'K', factoryConfiguration('K'), protocolEntries);
        useBlockStore(unit, store);
        server = startSimServer(unit, "127.0.0.1", 0);
        endpoint = "127.0.0.1:" + std::to_string(server ? simServerPort(server) : 1);
    }
    ~FramedUnit() { stopSimServer(server); }

    std::uint32_t requests()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return unit.requestsSeen;
    }
};

struct CommandTiming {
    bool ok = false;
    std::string error;
    double seconds = 0;
    std::uint32_t exchanges = 0;
};

// One run of kavix-cli with words (after the program name); "FILE" stands
// for a scratch file.
inline CommandTiming timeCommand(FramedUnit& framed, std::vector<std::string> words)
{
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "kavix-cli-bench.out";
    words.insert(words.begin(), "kavix-cli");
    std::vector<const char*> argv;
    for (std::string& word : words) {
        if (word == "FILE")
            word = scratch.string();
        argv.push_back(word.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    CommandTiming timing;
    const std::uint32_t before = framed.requests();
    const auto start = std::chrono::steady_clock::now();
    timing.ok = runCli(static_cast<int>(argv.size()), argv.data(), CliStreams{out, err}) == 0;
    timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.exchanges = framed.requests() - before;
    timing.error = err.str();
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    return timing;
}

// The least time the exchanges can take on USB frames, in seconds.
inline double usbBoundSeconds(double exchanges, std::uint32_t frameMs)
{
    return (2 * exchanges - cliLinksPerCommand) * frameMs / 1000.0;
}
