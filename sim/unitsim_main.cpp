// kavix-unitsim: plays a K-Series or M-Series control unit for kavix.exe
// (KAVIX_UNIT=host:port) and for the tests.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "sim_blocks.h"
#include "sim_data_sets.h"
#include "sim_launch.h"
#include "sim_options.h"
#include "sim_server.h"

namespace {
std::atomic<bool> stopRequested{false};
extern "C" void requestStop(int) { stopRequested = true; }
} // namespace

int main(int argc, char** argv)
{
    SimCommandLine commandLine;
    std::string error;
    const RunSplit run = splitRunCommand(argc, argv);
    bool understood = parseSimCommandLine(run.ownArguments, argv, commandLine, error);
    if (understood && run.runGiven && run.program.empty()) {
        error = "--run needs a program";
        understood = false;
    }
    if (!understood) {
        std::fprintf(stderr, "kavix-unitsim: %s\n%s%s", error.c_str(), simUsage().c_str(), runUsage().c_str());
        return 2;
    }
    if (commandLine.help) {
        std::fputs((simUsage() + runUsage()).c_str(), stdout);
        return 0;
    }
    static SimUnit unit;
    initSimUnit(unit, commandLine.unit);
    // Block transfers are served from the family's data sets; the
    // configuration comes from the EEPROM file when one is named.
    std::vector<std::uint8_t> configuration = factoryConfiguration(commandLine.unit.family);
    if (!commandLine.eepromFile.empty() &&
        !loadEepromImage(commandLine.eepromFile, commandLine.unit.family, configuration, error)) {
        std::fprintf(stderr, "kavix-unitsim: %s\n", error.c_str());
        return 1;
    }
    static SimBlockStore blocks;
    fillFamilyDataSets(blocks, commandLine.unit.family, configuration, commandLine.protocolEntries);
    blocks.eepromFile = commandLine.eepromFile;
    useBlockStore(unit, blocks);
    SimServer* server = startSimServer(unit, commandLine.host.c_str(), commandLine.port, &error);
    if (!server) {
        std::fprintf(stderr, "kavix-unitsim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::printf("kavix-unitsim: %s-Series unit (kind %u, firmware %u.%02u) on %s:%u\n"
                "KAVIX_UNIT=%s:%u\n",
                commandLine.unit.family == 'M' ? "M" : "K", static_cast<unsigned>(commandLine.unit.kind),
                static_cast<unsigned>(commandLine.unit.firmwareMajor),
                static_cast<unsigned>(commandLine.unit.firmwareMinor), commandLine.host.c_str(),
                static_cast<unsigned>(simServerPort(server)), commandLine.host.c_str(),
                static_cast<unsigned>(simServerPort(server)));
    std::fflush(stdout);
    if (run.runGiven) {
        const int code = runAttached(run.program, unitAddress(commandLine.host, simServerPort(server)), error);
        stopSimServer(server);
        if (code < 0)
            std::fprintf(stderr, "kavix-unitsim: %s\n", error.c_str());
        return code < 0 ? 1 : code;
    }
    while (!stopRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stopSimServer(server);
    return 0;
}
