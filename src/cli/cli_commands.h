#pragma once
// The commands of kavix-cli. Each prints its results on context.out, its
// messages on context.err, and returns the exit code.
#include <cstdint>
#include <functional>
#include <string>

#include "cli/cli_context.h"

int commandInfo(const CliContext& context);

int commandConfigRead(const CliContext& context, const std::string& output);
// verify: read the block back after programming and compare.
int commandConfigProgram(const CliContext& context, const std::string& input, bool verify);
int commandConfigDefaults(const CliContext& context, const std::string& output);
int commandConfigShow(const CliContext& context, const std::string& file);
int commandConfigDiff(const CliContext& context, const std::string& fileA, const std::string& fileB);

int commandCounters(const CliContext& context);

// output empty: JSON on out only (with --json).
int commandProtocol(const CliContext& context, const std::string& output);

struct MonitorOptions {
    std::string log;        // CSV file, or empty
    std::string chart;      // SVG file, or empty
    double seconds = 0;     // 0: until Ctrl-C
    double interval = 1;    // seconds between logged answers; 0: every answer
};
int commandMonitor(const CliContext& context, const MonitorOptions& options);

struct ServeOptions {
    std::string address = "127.0.0.1";
    std::uint16_t port = 47251;
    // A client that sends no report for this long is cut off: a client that
    // connects and stays silent would otherwise hold the only place.
    double idleSeconds = 60;
    // Tests: told the port once listening; serving ends after this many
    // clients (0: never).
    std::function<void(std::uint16_t)> listening;
    unsigned clientLimit = 0;
};
int commandServe(const CliContext& context, const ServeOptions& options);
