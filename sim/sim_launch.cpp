#include "sim_launch.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

RunSplit splitRunCommand(int argc, const char* const* argv)
{
    RunSplit split;
    split.ownArguments = argc;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") != 0)
            continue;
        split.ownArguments = i;
        split.runGiven = true;
        split.program.assign(argv + i + 1, argv + argc);
        break;
    }
    return split;
}

std::string unitAddress(const std::string& listenHost, std::uint16_t port)
{
    const bool wildcard = listenHost.empty() || listenHost == "0.0.0.0";
    return (wildcard ? std::string("127.0.0.1") : listenHost) + ":" + std::to_string(port);
}

std::string windowsCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += argument;
            continue;
        }
        // Backslashes are literal except before a quote, where they pair up.
        line += '"';
        std::size_t backslashes = 0;
        for (char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            if (c == '"')
                line.append(backslashes * 2 + 1, '\\');
            else
                line.append(backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}

std::string runUsage()
{
    return "Starting a program on the simulated unit:\n"
           "  --run PROGRAM [ARGUMENTS...]\n"
           "                              start PROGRAM with KAVIX_UNIT set to this unit and end\n"
           "                              when it ends (its exit code); must come last, for example\n"
           "                              --family K --switched-off --port 0 --run kavix.exe\n";
}

#ifdef _WIN32

namespace {

// Started from a shortcut, the simulator has a console window of its own,
// which a trainee does not need beside the tool; started from a terminal
// it shares the terminal's console and keeps it.
bool closeOwnConsole()
{
    DWORD processes[2];
    if (GetConsoleWindow() == nullptr || GetConsoleProcessList(processes, 2) != 1)
        return false;
    return FreeConsole() != 0;
}

} // namespace

int runAttached(const std::vector<std::string>& program, const std::string& address, std::string& error)
{
    if (program.empty()) {
        error = "--run needs a program";
        return -1;
    }
    const bool consoleClosed = closeOwnConsole();
    SetEnvironmentVariableA("KAVIX_UNIT", address.c_str());
    std::string commandLine = windowsCommandLine(program);
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!consoleClosed) {
        // A terminal program started from here writes where the simulator writes.
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION started;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, !consoleClosed, 0, nullptr, nullptr,
                        &startup, &started)) {
        error = "cannot start " + program[0] + " (Windows error " + std::to_string(GetLastError()) + ")";
        if (consoleClosed)
            MessageBoxA(nullptr, ("kavix-unitsim: " + error).c_str(), "Quarnel Polarund Expert Tool",
                        MB_OK | MB_ICONERROR);
        return -1;
    }
    CloseHandle(started.hThread);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    return static_cast<int>(code);
}

#else

int runAttached(const std::vector<std::string>& program, const std::string& address, std::string& error)
{
    if (program.empty()) {
        error = "--run needs a program";
        return -1;
    }
    std::vector<char*> argv;
    for (const std::string& argument : program)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    setenv("KAVIX_UNIT", address.c_str(), 1);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (failed != 0) {
        error = "cannot start " + program[0] + ": " + std::strerror(failed);
        return -1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("lost ") + program[0] + ": " + std::strerror(errno);
            return -1;
        }
    }
    // A program ended by a signal reports it as a shell does.
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

#endif
