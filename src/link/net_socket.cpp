#include "link/net_socket.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using RawSocket = SOCKET;
using PollLength = ULONG;
#define KAVIX_POLL WSAPoll
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
using RawSocket = int;
using PollLength = nfds_t;
#define KAVIX_POLL poll
#endif

namespace {

RawSocket raw(NetSocket socket) { return static_cast<RawSocket>(socket); }

NetSocket wrap(RawSocket socket)
{
#ifdef _WIN32
    if (socket == INVALID_SOCKET)
        return invalidSocket;
#else
    if (socket < 0)
        return invalidSocket;
#endif
    return static_cast<NetSocket>(socket);
}

void setBlocking(RawSocket socket, bool blocking)
{
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    ioctlsocket(socket, FIONBIO, &nonBlocking);
#else
    int flags = fcntl(socket, F_GETFL, 0);
    fcntl(socket, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
#endif
}

void setNoDelay(RawSocket socket)
{
    // Reports are small and answered one by one: never hold one back.
    int one = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

bool resolve(const char* host, std::uint16_t port, sockaddr_in& address)
{
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host, &address.sin_addr) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
        return false;
    address.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

int pollOne(RawSocket socket, short events, int timeoutMs)
{
    pollfd entry{};
    entry.fd = socket;
    entry.events = events;
    int result = KAVIX_POLL(&entry, static_cast<PollLength>(1), timeoutMs);
    if (result < 0) {
#ifndef _WIN32
        if (errno == EINTR)
            return 0;
#endif
        return -1;
    }
    if (result == 0)
        return 0;
    return 1;
}

bool waitConnected(RawSocket socket, int timeoutMs)
{
#ifdef _WIN32
    // WSAPoll does not report a refused connect; select does, through the
    // exception set.
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, nullptr, &writable, &failed, &limit) == 1 && FD_ISSET(socket, &writable);
#else
    return pollOne(socket, POLLOUT, timeoutMs) == 1;
#endif
}

} // namespace

bool netStartup()
{
#ifdef _WIN32
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
#else
    return true;
#endif
}

NetSocket netConnect(const char* host, std::uint16_t port, int timeoutMs)
{
    if (!netStartup())
        return invalidSocket;
    sockaddr_in address;
    if (!resolve(host, port, address))
        return invalidSocket;
    RawSocket socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (wrap(socket) == invalidSocket)
        return invalidSocket;
    setBlocking(socket, false);
    int result = connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    bool connected = result == 0;
    if (!connected) {
#ifdef _WIN32
        bool inProgress = WSAGetLastError() == WSAEWOULDBLOCK;
#else
        bool inProgress = errno == EINPROGRESS;
#endif
        if (inProgress && waitConnected(socket, timeoutMs)) {
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
            connected = error == 0;
        }
    }
    if (!connected) {
        netClose(wrap(socket));
        return invalidSocket;
    }
    setBlocking(socket, true);
    setNoDelay(socket);
    return wrap(socket);
}

NetSocket netListen(const char* host, std::uint16_t port)
{
    if (!netStartup())
        return invalidSocket;
    sockaddr_in address;
    if (!resolve(host, port, address))
        return invalidSocket;
    RawSocket socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (wrap(socket) == invalidSocket)
        return invalidSocket;
#ifndef _WIN32
    int one = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
#endif
    if (bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket, 8) != 0) {
        netClose(wrap(socket));
        return invalidSocket;
    }
    return wrap(socket);
}

std::uint16_t netLocalPort(NetSocket socket)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(raw(socket), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

NetSocket netAccept(NetSocket listener, int timeoutMs)
{
    if (pollOne(raw(listener), POLLIN, timeoutMs) != 1)
        return invalidSocket;
    RawSocket socket = accept(raw(listener), nullptr, nullptr);
    if (wrap(socket) == invalidSocket)
        return invalidSocket;
    setBlocking(socket, true);
    setNoDelay(socket);
    return wrap(socket);
}

int netWaitReadable(NetSocket socket, int timeoutMs)
{
    return pollOne(raw(socket), POLLIN, timeoutMs);
}

bool netReceiveAll(NetSocket socket, void* buffer, std::size_t count, int timeoutMs)
{
    auto* bytes = static_cast<char*>(buffer);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < count) {
        if (timeoutMs >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()).count();
            if (left < 0 || pollOne(raw(socket), POLLIN, static_cast<int>(left)) != 1)
                return false;
        }
        auto got = recv(raw(socket), bytes + done, static_cast<int>(count - done), 0);
        if (got <= 0) {
#ifndef _WIN32
            if (got < 0 && errno == EINTR)
                continue;
#endif
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool netSendAll(NetSocket socket, const void* data, std::size_t count)
{
    const auto* bytes = static_cast<const char*>(data);
#ifdef MSG_NOSIGNAL
    const int flags = MSG_NOSIGNAL; // a vanished peer must not kill the process
#else
    const int flags = 0;
#endif
    std::size_t done = 0;
    while (done < count) {
        auto sent = send(raw(socket), bytes + done, static_cast<int>(count - done), flags);
        if (sent <= 0) {
#ifndef _WIN32
            if (sent < 0 && errno == EINTR)
                continue;
#endif
            return false;
        }
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

void netShutdown(NetSocket socket)
{
    if (socket == invalidSocket)
        return;
#ifdef _WIN32
    shutdown(raw(socket), SD_BOTH);
#else
    shutdown(raw(socket), SHUT_RDWR);
#endif
}

void netClose(NetSocket socket)
{
    if (socket == invalidSocket)
        return;
#ifdef _WIN32
    closesocket(raw(socket));
#else
    close(raw(socket));
#endif
}

bool netSplitEndpoint(const char* endpoint, char* host, std::size_t hostSize, std::uint16_t& port)
{
    const char* colon = std::strrchr(endpoint, ':');
    if (!colon || colon == endpoint)
        return false;
    std::size_t hostLength = static_cast<std::size_t>(colon - endpoint);
    if (hostLength + 1 > hostSize)
        return false;
    unsigned long value = 0;
    const char* digit = colon + 1;
    if (!*digit)
        return false;
    for (; *digit; ++digit) {
        if (*digit < '0' || *digit > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(*digit - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    std::memcpy(host, endpoint, hostLength);
    host[hostLength] = '\0';
    port = static_cast<std::uint16_t>(value);
    return true;
}
