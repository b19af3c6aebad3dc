#pragma once
#include <cstddef>
#include <cstdint>

// A thin TCP layer over POSIX sockets and Winsock, just what the remote unit
// and the simulator need. Every blocking call is bounded by a time-out or can
// be woken by shutdownSocket from another thread.
using NetSocket = std::intptr_t;
inline constexpr NetSocket invalidSocket = -1;

// Winsock needs a start-up call; harmless elsewhere. Safe to call repeatedly.
bool netStartup();

// Connects to host:port (IPv4), giving up after timeoutMs.
NetSocket netConnect(const char* host, std::uint16_t port, int timeoutMs);
// Listens on host:port (port 0 picks a free one).
NetSocket netListen(const char* host, std::uint16_t port);
std::uint16_t netLocalPort(NetSocket socket);
// Accepts one connection; invalidSocket on time-out or error.
NetSocket netAccept(NetSocket listener, int timeoutMs);

// 1 readable (or closed by the peer), 0 time-out, -1 error.
int netWaitReadable(NetSocket socket, int timeoutMs);
// Receives exactly count bytes; false on close, error, or (timeoutMs >= 0)
// when the bytes do not arrive in time.
bool netReceiveAll(NetSocket socket, void* buffer, std::size_t count, int timeoutMs);
bool netSendAll(NetSocket socket, const void* data, std::size_t count);

// Ends both directions: a receive blocked in another thread returns.
void netShutdown(NetSocket socket);
void netClose(NetSocket socket);

// Splits "host:port"; false if the port is missing or not 1..65535.
bool netSplitEndpoint(const char* endpoint, char* host, std::size_t hostSize, std::uint16_t& port);
