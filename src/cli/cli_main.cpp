// kavix-cli: the control unit from a terminal, for end-of-line programming,
// fleet service and remote support.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>
#endif

#include "cli/cli_app.h"
#include "cli/cli_context.h"

namespace {

std::atomic<bool> interrupted{false};

// Ctrl-C and SIGTERM first ask the command to end by itself: a transfer
// stops within about a second, a monitor still writes its files. A command
// blocked where it cannot look (a log FIFO that nobody reads, output that
// the terminal does not take) is ended after this grace, and a second
// signal ends it at once.
constexpr int graceSeconds = 5;

#ifdef _WIN32
BOOL WINAPI onConsoleEvent(DWORD)
{
    // Each event runs here on a thread of its own.
    if (interrupted.exchange(true))
        std::_Exit(exitInterrupted);
    Sleep(graceSeconds * 1000);
    std::_Exit(exitInterrupted);
}

void watchSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}
#else
extern "C" void onInterrupt(int)
{
    if (interrupted.exchange(true))
        std::_Exit(exitInterrupted);
}

// The signals go to one thread that waits for them, so the grace runs
// whatever the other threads are blocked in. Without that thread, a plain
// handler sets the flag.
void watchSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    try {
        std::thread([signals] {
            int received = 0;
            while (sigwait(&signals, &received) != 0) {
            }
            interrupted = true;
            // Until the grace is over or a second signal comes. A wait cut
            // short otherwise (a stop and continue, a debugger or leak
            // checker attaching at exit) goes on.
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(graceSeconds);
            for (;;) {
                const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
                    end - std::chrono::steady_clock::now()).count();
                if (left <= 0)
                    break;
                const timespec wait{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
                if (sigtimedwait(&signals, nullptr, &wait) > 0 || errno != EINTR)
                    break;
            }
            std::_Exit(exitInterrupted);
        }).detach();
    } catch (...) {
        pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
    }
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
#endif
    watchSignals();
    const CliStreams streams{std::cout, std::cerr, errIsTerminal(), &interrupted, std::getenv("KAVIX_UNIT")};
    const int code = runCli(argc, argv, streams);
    std::cout.flush();
    return code;
}
