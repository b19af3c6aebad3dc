// kavix-cli serve as its own process, sharing a simulated unit (reached over
// the TCP wire here, as it would be over USB) with one client at a time.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "cli/cli_context.h"
#include "cli_fixture.h"
#include "link/net_socket.h"
#include "link/remote_wire.h"

extern char** environ;

namespace {

// The serve process, with its port read from what it prints.
class ServeProcess {
public:
    explicit ServeProcess(const std::string& unitEndpoint)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const char* argv[] = {KAVIX_CLI_PATH, "--unit", unitEndpoint.c_str(), "serve", "--port", "0", nullptr};
        if (posix_spawn(&pid_, KAVIX_CLI_PATH, &actions, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
        fcntl(output_, F_SETFL, O_NONBLOCK);
        const std::string marker = "127.0.0.1:";
        waitForOutput([&] { return text_.find('\n', text_.find(marker)) != std::string::npos; });
        const auto at = text_.find(marker);
        if (at != std::string::npos)
            port_ = static_cast<std::uint16_t>(std::atoi(text_.c_str() + at + marker.size()));
    }
    ~ServeProcess()
    {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0)
            close(output_);
    }
    std::string endpoint() const { return "127.0.0.1:" + std::to_string(port_); }
    std::uint16_t port() const { return port_; }
    // All it printed so far.
    std::string output()
    {
        drain();
        return text_;
    }
    // Interrupts it as Ctrl-C does; its exit code, or -1 when it does not
    // end within timeoutMs.
    int interrupt(int timeoutMs)
    {
        kill(pid_, SIGINT);
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

private:
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
    std::uint16_t port_ = 0;
    bool ended_ = false;
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

} // namespace
