// kavix-cli serve as its own process, sharing a simulated unit (reached over
// the TCP wire here, as it would be over USB) with one client at a time.
#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>
#include <thread>

#include "cli/cli_context.h"
#include "cli_fixture.h"
#include "link/net_socket.h"
#include "link/remote_wire.h"

extern char** environ;

namespace {

// kavix-cli as a process of its own, what it prints on stderr collected.
class CliProcess {
public:
    explicit CliProcess(const std::vector<std::string>& arguments)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        std::vector<char*> argv = {const_cast<char*>(KAVIX_CLI_PATH)};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KAVIX_CLI_PATH, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
        fcntl(output_, F_SETFL, O_NONBLOCK);
    }
    ~CliProcess()
    {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0)
            close(output_);
    }
    // All it printed so far.
    std::string output()
    {
        drain();
        return text_;
    }
    // Its exit code once it has ended; -1 when it does not end within
    // timeoutMs, -2 when a signal ended it.
    int wait(int timeoutMs)
    {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
    // Interrupts it as Ctrl-C does (or with another signal); as wait.
    int interrupt(int timeoutMs, int signal = SIGINT)
    {
        kill(pid_, signal);
        return wait(timeoutMs);
    }

protected:
    void drain()
    {
        char buffer[512];
        ssize_t n;
        while ((n = read(output_, buffer, sizeof buffer)) > 0)
            text_.append(buffer, static_cast<std::size_t>(n));
    }
    template <class Done>
    void waitForOutput(Done done)
    {
        for (int waited = 0; waited < 10000 && !done(); waited += 10) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            drain();
        }
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string text_;
    bool ended_ = false;
};

// The serve process, with its port read from what it prints.
class ServeProcess : public CliProcess {
public:
    explicit ServeProcess(const std::string& unitEndpoint, const std::vector<std::string>& more = {})
        : CliProcess(serveArguments(unitEndpoint, more))
    {
        const std::string marker = "127.0.0.1:";
        waitForOutput([&] { return text_.find('\n', text_.find(marker)) != std::string::npos; });
        const auto at = text_.find(marker);
        if (at != std::string::npos)
            port_ = static_cast<std::uint16_t>(std::atoi(text_.c_str() + at + marker.size()));
    }
    std::string endpoint() const { return "127.0.0.1:" + std::to_string(port_); }
    std::uint16_t port() const { return port_; }

private:
    static std::vector<std::string> serveArguments(const std::string& unitEndpoint, const std::vector<std::string>& more)
    {
        std::vector<std::string> arguments = {"--unit", unitEndpoint, "serve", "--port", "0"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }
    std::uint16_t port_ = 0;
};

class CliServeTest : public CliFixture {
protected:
    // kavix-cli attached to the shared unit.
    CliRun viaServe(const ServeProcess& serve, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--unit", serve.endpoint()});
        return cli(arguments);
    }
};

TEST_F(CliServeTest, ClientsOneAfterAnotherGetTheUnitsOwnData)
{
    serve('K', 300);
    ServeProcess shared(served.endpoint);
    ASSERT_NE(shared.port(), 0) << shared.output();
    ASSERT_EQ(cli({"protocol", "-o", file("direct.csv")}).code, exitOk);
    for (int client = 0; client < 3; ++client) {
        const CliRun run = viaServe(shared, {"protocol", "-o", file("shared.csv")});
        ASSERT_EQ(run.code, exitOk) << run.err;
        EXPECT_EQ(readBytes(dir / "shared.csv"), readBytes(dir / "direct.csv"));
    }
    EXPECT_EQ(viaServe(shared, {"config", "program", file("missing.cbf")}).code, exitFileError);
    EXPECT_EQ(shared.interrupt(3000), 0);
}

TEST_F(CliServeTest, OneClientAtATimeAndALeavingClientFreesTheUnit)
{
    serve();
    ServeProcess shared(served.endpoint);
    ASSERT_NE(shared.port(), 0) << shared.output();
    // A client that holds the unit: identity read, one poll sent.
    const NetSocket holder = netConnect("127.0.0.1", shared.port(), 1000);
    UnitIdentity identity;
    ASSERT_TRUE(receiveIdentity(holder, identity, 2000));
    std::uint8_t poll[65] = {0, 1, 0x3A, 0};
    ASSERT_TRUE(netSendAll(holder, poll, sizeof poll));
    std::uint8_t answer[65];
    ASSERT_TRUE(netReceiveAll(holder, answer, sizeof answer, 2000));
    EXPECT_EQ(answer[1], 1);

    EXPECT_EQ(viaServe(shared, {"info"}).code, exitNoUnit);
    netClose(holder);
    EXPECT_EQ(viaServe(shared, {"info"}).code, exitOk);
    EXPECT_EQ(shared.interrupt(3000), 0);
}

TEST_F(CliServeTest, AUnitThatGoesAwayCutsTheClientOffAndComesBack)
{
    serve('K', 2000);
    ServeProcess shared(served.endpoint);
    ASSERT_NE(shared.port(), 0) << shared.output();
    // Unplugged part-way through a long read.
    std::thread unplug([this] {
        for (int waited = 0; waited < 5000 && served.requestsSeen() < 100; waited += 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        dropSimConnections(served.server);
    });
    const CliRun cut = viaServe(shared, {"protocol", "-o", file("p.csv")});
    unplug.join();
    EXPECT_EQ(cut.code, exitDeviceGone) << cut.err;
    EXPECT_NE(shared.output().find("USB-Error !"), std::string::npos);
    EXPECT_EQ(viaServe(shared, {"counters"}).code, exitOk);

    // No unit behind serve at all: the client is turned away.
    served.stop();
    EXPECT_EQ(viaServe(shared, {"info"}).code, exitNoUnit);
    EXPECT_EQ(shared.interrupt(3000), 0);
}

// A client that connects and sends nothing is cut off after the idle time,
// so the one place is free again for the next.
TEST_F(CliServeTest, AClientThatSendsNothingLosesItsPlaceAfterTheIdleTime)
{
    serve();
    ServeProcess shared(served.endpoint, {"--idle", "0.5"});
    ASSERT_NE(shared.port(), 0) << shared.output();
    const NetSocket silent = netConnect("127.0.0.1", shared.port(), 1000);
    UnitIdentity identity;
    ASSERT_TRUE(receiveIdentity(silent, identity, 2000));
    // Waiting for its place (discovery waits a second for the identity), a
    // client gets it once the silent one is cut off.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const CliRun run = viaServe(shared, {"info"});
    EXPECT_EQ(run.code, exitOk) << run.err;
    EXPECT_NE(shared.output().find("sent nothing for 0.5 s and was cut off"), std::string::npos) << shared.output();
    netClose(silent);
    EXPECT_EQ(shared.interrupt(3000), 0);
}

// An input that is no regular file is refused at once: a FIFO would block
// the read until some writer came.
TEST_F(CliServeTest, AFifoAsInputIsRefusedAndSignalsEndABlockedCommand)
{
    const std::string fifo = file("fifo.cbf");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CliProcess show({"config", "show", fifo});
    int code = show.wait(5000);
    if (code == -1)
        code = show.interrupt(3000, SIGTERM);
    EXPECT_EQ(code, exitFileError) << show.output();

    // A monitor whose log is a FIFO nobody reads blocks in opening it; SIGTERM
    // still ends it, within its grace.
    serve();
    CliProcess monitor({"--unit", served.endpoint, "monitor", "--log", file("fifo.cbf")});
    for (int waited = 0; waited < 5000 && served.requestsSeen() == 0; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GT(served.requestsSeen(), 0u);
    EXPECT_EQ(monitor.interrupt(10000, SIGTERM), exitInterrupted) << monitor.output();
}

} // namespace
