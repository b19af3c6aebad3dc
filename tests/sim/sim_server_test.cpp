// The simulator's server under load it must survive: more connections than
// it serves at once, and a system without threads to give.
#include <gtest/gtest.h>

#include <vector>

#include "link/net_socket.h"
#include "link/remote_wire.h"
#include "sim_server.h"

#ifndef _WIN32
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

bool greeted(NetSocket socket)
{
    UnitIdentity identity;
    return socket != invalidSocket && receiveIdentity(socket, identity, 2000);
}

} // namespace

// A client opening connection after connection gets 64 served at once;
// the next is closed at once, and a place is free again once one goes.
TEST(SimServer, ServesAtMostSixtyFourConnectionsAtOnce)
{
    ASSERT_TRUE(netStartup());
    SimUnit unit;
    initSimUnit(unit, defaultSimOptions('K'));
    SimServer* server = startSimServer(unit, "127.0.0.1", 0);
    ASSERT_NE(server, nullptr);
    std::vector<NetSocket> open;
    for (int i = 0; i < 64; ++i) {
        open.push_back(netConnect("127.0.0.1", simServerPort(server), 1000));
        ASSERT_TRUE(greeted(open.back())) << i;
    }
    NetSocket refused = netConnect("127.0.0.1", simServerPort(server), 1000);
    EXPECT_FALSE(greeted(refused));
    netClose(refused);
    netClose(open.back());
    open.pop_back();
    bool servedAgain = false;
    for (int attempt = 0; attempt < 50 && !servedAgain; ++attempt) {
        NetSocket next = netConnect("127.0.0.1", simServerPort(server), 1000);
        servedAgain = greeted(next);
        netClose(next);
    }
    EXPECT_TRUE(servedAgain);
    for (NetSocket s : open)
        netClose(s);
    stopSimServer(server);
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Without a thread to give (every thread stack is larger than the address
// space allows), kavix-unitsim says so and ends with code 1, where it once
// aborted. (Not under the sanitizers, which need the address space.)
TEST(SimServer, KavixUnitsimReportsAThreadItCannotStart)
{
    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit stack{1024L * 1024 * 1024, 1024L * 1024 * 1024};
        const rlimit space{512L * 1024 * 1024, 512L * 1024 * 1024};
        setrlimit(RLIMIT_STACK, &stack);
        setrlimit(RLIMIT_AS, &space);
        dup2(output[1], STDERR_FILENO);
        const char* argv[] = {KAVIX_UNITSIM_PATH, "--family", "K", "--port", "0", nullptr};
        execv(KAVIX_UNITSIM_PATH, const_cast<char**>(argv));
        _exit(127);
    }
    close(output[1]);
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = read(output[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    close(output[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status) << ": " << text;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(text.rfind("kavix-unitsim: cannot start a thread", 0), 0u) << text;
}
#endif
