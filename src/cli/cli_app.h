#pragma once
// kavix-cli's command line: options, sub-commands and their help, and the
// dispatch to the commands. The program's main and the tests both call it.
#include <atomic>
#include <ostream>

struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;                   // progress bars only on a terminal
    const std::atomic<bool>* interrupted = nullptr;
    const char* environmentUnit = nullptr;        // KAVIX_UNIT, when set
};

// Returns the exit code (cli_context.h).
int runCli(int argc, const char* const* argv, const CliStreams& streams);
