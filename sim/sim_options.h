#pragma once
#include <cstdint>
#include <string>

#include "sim_unit.h"

inline constexpr std::uint32_t defaultProtocolEntries = 25;

// Command line of kavix-unitsim.
struct SimCommandLine {
    SimOptions unit;
    std::string host = "127.0.0.1";   // loopback only unless asked
    std::uint16_t port = 47251;
    bool help = false;
    std::string eepromFile;           // keeps the programmed configuration across runs
    std::uint32_t protocolEntries = defaultProtocolEntries;
};

inline constexpr std::uint16_t defaultSimPort = 47251;

// Parses argv[1..]; false with a message in error on a bad option.
bool parseSimCommandLine(int argc, const char* const* argv, SimCommandLine& out, std::string& error);

// The options with their help, as --help prints them.
std::string simUsage();
