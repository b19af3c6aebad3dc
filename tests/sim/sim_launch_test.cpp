// kavix-unitsim --run: a program started on the simulated unit, the
// command line that takes it there, and the simulator ending with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "served_unit.h"
#include "sim_launch.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>
#else
#include <nlohmann/json.hpp>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

// kavix-cli as the program to start; under Wine its build-tree path is on
// drive Z:.
std::string cliProgram()
{
    const std::string path = KAVIX_CLI_PATH;
#ifdef _WIN32
    return path[0] == '/' ? "Z:" + path : path;
#else
    return path;
#endif
}

// kavix-cli's exit codes that the tests below provoke.
constexpr int cliNoUnit = 3;
constexpr int cliWrongUnit = 4;

} // namespace

TEST(SimLaunch, TheCommandLineIsCutAtTheFirstRun)
{
    struct Row {
        std::vector<const char*> argv;
        int ownArguments;
        bool runGiven;
        std::vector<std::string> program;
    };
    const Row rows[] = {
        {.argv = {"sim", "--family", "K"}, .ownArguments = 3, .runGiven = false, .program = {}},
        {.argv = {"sim", "--family", "K", "--run", "kavix.exe"}, .ownArguments = 3, .runGiven = true,
         .program = {"kavix.exe"}},
        // What follows belongs to the program, a --run of its own included.
        {.argv = {"sim", "--run", "tool", "--port", "1", "--run"}, .ownArguments = 1, .runGiven = true,
         .program = {"tool", "--port", "1", "--run"}},
        {.argv = {"sim", "--family", "M", "--run"}, .ownArguments = 3, .runGiven = true, .program = {}},
    };
    for (const Row& row : rows) {
        const RunSplit split = splitRunCommand(static_cast<int>(row.argv.size()), row.argv.data());
        EXPECT_EQ(split.ownArguments, row.ownArguments) << row.argv.size();
        EXPECT_EQ(split.runGiven, row.runGiven) << row.argv.size();
        EXPECT_EQ(split.program, row.program) << row.argv.size();
    }
    // A unit listening on every address is reached on the loopback.
    EXPECT_EQ(unitAddress("0.0.0.0", 47251), "127.0.0.1:47251");
    EXPECT_EQ(unitAddress("127.0.0.2", 5), "127.0.0.2:5");
}

TEST(SimLaunch, WindowsCommandLinesQuoteOnlyWhatNeedsIt)
{
    struct Row {
        std::string argument;
        std::string quoted;
    };
    const Row rows[] = {
        {.argument = "kavix.exe", .quoted = "kavix.exe"},
        {.argument = "", .quoted = "\"\""},
        {.argument = "Simulated unit (training) ", .quoted = "\"Simulated unit (training) \""},
        {.argument = "say \"hi\"", .quoted = "\"say \\\"hi\\\"\""},
        // Backslashes count only before a quote, the closing one included.
        {.argument = "C:\\Kavix\\", .quoted = "C:\\Kavix\\"},
        {.argument = "C:\\My Kavix\\", .quoted = "\"C:\\My Kavix\\\\\""},
        {.argument = "a\\\\\"b", .quoted = "\"a\\\\\\\\\\\"b\""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(windowsCommandLine({row.argument}), row.quoted) << row.argument;
    EXPECT_EQ(windowsCommandLine({"kavix-cli.exe", "--product", "A B"}), "kavix-cli.exe --product \"A B\"");
#ifdef _WIN32
    // Windows' own splitting gives every argument back.
    std::vector<std::string> all = {"program"};
    for (const Row& row : rows)
        all.push_back(row.argument);
    const std::string line = windowsCommandLine(all);
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(std::wstring(line.begin(), line.end()).c_str(), &count);
    ASSERT_NE(split, nullptr);
    ASSERT_EQ(count, static_cast<int>(all.size()));
    for (int i = 0; i < count; ++i) {
        const std::wstring wide = split[i];
        EXPECT_EQ(std::string(wide.begin(), wide.end()), all[static_cast<std::size_t>(i)]);
    }
    LocalFree(split);
#endif
}

TEST(SimLaunch, TheProgramReachesTheUnitAndItsExitCodeComesBack)
{
    ServedUnit served;
    served.start('M', 0);
    std::string error;
    EXPECT_EQ(runAttached({cliProgram(), "counters"}, served.endpoint, error), 0) << error;
    // Asked for the other family, kavix-cli ends with its wrong-unit code.
    EXPECT_EQ(runAttached({cliProgram(), "--family", "K", "counters"}, served.endpoint, error), cliWrongUnit);
    served.stop();
    EXPECT_EQ(runAttached({cliProgram(), "counters"}, served.endpoint, error), cliNoUnit);

    EXPECT_EQ(runAttached({"kavix-no-such-program"}, served.endpoint, error), -1);
    EXPECT_NE(error.find("cannot start kavix-no-such-program"), std::string::npos) << error;
}

#ifndef _WIN32

namespace {

struct Finished {
    int code = -1;
    std::string output;   // stdout and stderr together
};

// kavix-unitsim run to its end.
Finished runSimulator(const std::vector<std::string>& arguments)
{
    Finished finished;
    int ends[2];
    if (pipe(ends) != 0)
        return finished;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    std::vector<char*> argv = {const_cast<char*>(KAVIX_UNITSIM_PATH)};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const bool started = posix_spawn(&child, KAVIX_UNITSIM_PATH, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        finished.output.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    int status = 0;
    if (started && waitpid(child, &status, 0) == child && WIFEXITED(status))
        finished.code = WEXITSTATUS(status);
    return finished;
}

} // namespace

TEST(SimLaunch, TheSimulatorServesTheProgramItStartedAndEndsWithIt)
{
    const Finished run = runSimulator({"--family", "M", "--switched-off", "--port", "0", "--product",
                                       "Simulated unit (training)", "--run", KAVIX_CLI_PATH, "info", "--json"});
    ASSERT_EQ(run.code, 0) << run.output;
    const auto info = nlohmann::json::parse(run.output.substr(run.output.find('{')));
    EXPECT_EQ(info["family"], "M-Series");
    EXPECT_EQ(info["product"], "Simulated unit (training)");

    struct Row {
        std::vector<std::string> arguments;
        int code;
        std::string says;
    };
    const Row rows[] = {
        // The program's own failure is the simulator's exit code.
        {.arguments = {"--family", "K", "--port", "0", "--run", KAVIX_CLI_PATH, "--family", "M", "counters"},
         .code = cliWrongUnit, .says = "False ControlUnit"},
        {.arguments = {"--family", "K", "--port", "0", "--run"}, .code = 2, .says = "--run needs a program"},
        {.arguments = {"--family", "K", "--port", "0", "--run", "kavix-no-such-program"}, .code = 1,
         .says = "cannot start kavix-no-such-program"},
    };
    for (const Row& row : rows) {
        const Finished ended = runSimulator(row.arguments);
        EXPECT_EQ(ended.code, row.code) << ended.output;
        EXPECT_NE(ended.output.find(row.says), std::string::npos) << ended.output;
    }
}

#endif
