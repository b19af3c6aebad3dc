#pragma once
// kavix-unitsim --run PROGRAM [ARGUMENTS...]: the simulator starts a program
// attached to its unit (KAVIX_UNIT set in the program's environment) and
// ends when the program ends. The training entries of the Start menu use
// it, so that kavix.exe keeps having no command-line options.
#include <cstdint>
#include <string>
#include <vector>

// The command line cut at --run: the simulator's own arguments (argv[0]
// included) come first; everything after --run is the program to start.
struct RunSplit {
    int ownArguments = 0;
    bool runGiven = false;
    std::vector<std::string> program;   // the program and its arguments
};
RunSplit splitRunCommand(int argc, const char* const* argv);

// Where a program reaches a unit that listens on listenHost:port; a
// wildcard listen address is reached on the loopback.
std::string unitAddress(const std::string& listenHost, std::uint16_t port);

// Starts program[0] with program[1..] as its arguments and
// KAVIX_UNIT=address in its environment, and waits for it to end. A name
// without a folder is looked for beside the simulator first on Windows
// (CreateProcess's own order) and on PATH elsewhere. Returns the program's
// exit code; -1 with a message in error when it could not be started.
int runAttached(const std::vector<std::string>& program, const std::string& address, std::string& error);

// One Windows command line that the C runtime and CommandLineToArgvW split
// back into exactly these arguments.
std::string windowsCommandLine(const std::vector<std::string>& arguments);

// The help for --run, printed after the simulator's own options.
std::string runUsage();
