// kavix-cli: the control unit from a terminal, for end-of-line programming,
// fleet service and remote support.
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/cli_app.h"

namespace {

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

#ifdef _WIN32
BOOL WINAPI onConsoleEvent(DWORD) {
    interrupted = true;
    return TRUE;
}
#endif

bool errIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Everything printed is UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#endif
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const CliStreams streams{std::cout, std::cerr, errIsTerminal(), &interrupted, std::getenv("KAVIX_UNIT")};
    const int code = runCli(argc, argv, streams);
    std::cout.flush();
    return code;
}
