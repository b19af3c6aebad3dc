#include "sim_server.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "link/net_socket.h"
#include "link/remote_wire.h"

namespace {

struct SimConnection {
    NetSocket socket = invalidSocket;
    std::thread thread;
    std::atomic<bool> finished{false};
};

} // namespace

struct SimServer {
    SimUnit* unit = nullptr;
    NetSocket listener = invalidSocket;
    std::uint16_t port = 0;
    std::thread acceptor;
    std::mutex lock;
    std::condition_variable stopWake;  // cuts answer delays short on stop
    bool stopping = false;
    std::list<SimConnection> connections;
    std::uint32_t accepted = 0;
};

namespace {

constexpr int acceptSliceMs = 100;
// Connections served at once; one more is closed at once, so a client that
// opens connections without end cannot use up the threads.
constexpr std::size_t maxConnections = 64;

bool waitDelay(SimServer* server, std::uint32_t delayMs)
{
    std::unique_lock<std::mutex> hold(server->lock);
    return !server->stopWake.wait_for(hold, std::chrono::milliseconds(delayMs),
                                      [server] { return server->stopping; });
}

// An interrupt endpoint moves one report per frame in each direction: the
// request is taken in at the start of the next frame of the steady clock and
// its answer leaves at the start of the frame after.
void waitForNextFrame(std::uint32_t frameMs)
{
    using namespace std::chrono;
    const auto frame = duration_cast<steady_clock::duration>(milliseconds(frameMs));
    const auto now = steady_clock::now().time_since_epoch();
    const steady_clock::time_point next((now / frame + 1) * frame);
    // MinGW's sleep rounds down to whole milliseconds and may come back
    // before the frame; a request must never be taken in early.
    while (steady_clock::now() < next)
        std::this_thread::sleep_until(next);
}

void serveConnection(SimServer* server, SimConnection* connection)
{
    const NetSocket socket = connection->socket;
    UnitIdentity identity;
    {
        std::lock_guard<std::mutex> hold(server->unit->lock);
        const SimOptions& options = server->unit->options;
        identity = makeIdentity(options.vendorId, options.productId, options.product.c_str());
    }
    std::uint8_t record[identityMaxSize];
    bool open = netSendAll(socket, record, encodeIdentity(identity, record));
    SimSession session;
    std::uint32_t frameMs;
    {
        std::lock_guard<std::mutex> hold(server->unit->lock);
        frameMs = server->unit->options.frameMs;
    }
    while (open) {
        std::uint8_t request[simReportSize];
        if (!netReceiveAll(socket, request, simReportSize, -1))
            break;
        if (frameMs > 0)
            waitForNextFrame(frameMs);
        SimReply reply = answerRequest(*server->unit, session, request);
        if (reply.count > 0 && reply.delayMs > 0 && !waitDelay(server, reply.delayMs))
            break;
        if (reply.count > 0 && frameMs > 0)
            waitForNextFrame(frameMs);
        for (int i = 0; i < reply.count && open; ++i)
            open = netSendAll(socket, reply.reports[i], simReportSize);
        if (reply.disconnect)
            break;
    }
    netShutdown(socket);
    connection->finished = true;
}

void reapFinished(SimServer* server)
{
    std::lock_guard<std::mutex> hold(server->lock);
    for (auto it = server->connections.begin(); it != server->connections.end();) {
        if (it->finished) {
            it->thread.join();
            netClose(it->socket);
            it = server->connections.erase(it);
        } else {
            ++it;
        }
    }
}

void acceptConnections(SimServer* server)
{
    for (;;) {
        {
            std::lock_guard<std::mutex> hold(server->lock);
            if (server->stopping)
                return;
        }
        reapFinished(server);
        NetSocket socket = netAccept(server->listener, acceptSliceMs);
        if (socket == invalidSocket)
            continue;
        std::lock_guard<std::mutex> hold(server->lock);
        if (server->stopping) {
            netClose(socket);
            return;
        }
        if (server->connections.size() >= maxConnections) {
            netClose(socket);
            continue;
        }
        server->connections.emplace_back();
        SimConnection& connection = server->connections.back();
        connection.socket = socket;
        // No thread for it (the system has none to give): the connection
        // is closed, as a busy unit would be unreachable, and the server
        // goes on.
        try {
            connection.thread = std::thread(serveConnection, server, &connection);
        } catch (const std::system_error&) {
            netClose(socket);
            server->connections.pop_back();
            continue;
        }
        ++server->accepted;
    }
}

} // namespace

SimServer* startSimServer(SimUnit& unit, const char* host, std::uint16_t port, std::string* error)
{
    NetSocket listener = netListen(host, port);
    if (listener == invalidSocket) {
        if (error)
            *error = std::string("cannot listen on ") + host + ":" + std::to_string(port);
        return nullptr;
    }
    auto* server = new SimServer;
    server->unit = &unit;
    server->listener = listener;
    server->port = netLocalPort(listener);
    try {
        server->acceptor = std::thread(acceptConnections, server);
    } catch (const std::system_error& failure) {
        if (error)
            *error = std::string("cannot start a thread: ") + failure.what();
        netClose(listener);
        delete server;
        return nullptr;
    }
    return server;
}

std::uint16_t simServerPort(const SimServer* server) { return server->port; }

std::uint32_t simServerConnections(SimServer* server)
{
    std::lock_guard<std::mutex> hold(server->lock);
    return server->accepted;
}

void dropSimConnections(SimServer* server)
{
    std::lock_guard<std::mutex> hold(server->lock);
    for (SimConnection& connection : server->connections)
        netShutdown(connection.socket);
}

void stopSimServer(SimServer* server)
{
    if (!server)
        return;
    {
        std::lock_guard<std::mutex> hold(server->lock);
        server->stopping = true;
        for (SimConnection& connection : server->connections)
            netShutdown(connection.socket);
    }
    server->stopWake.notify_all();
    server->acceptor.join();
    for (SimConnection& connection : server->connections) {
        connection.thread.join();
        netClose(connection.socket);
    }
    netClose(server->listener);
    delete server;
}
