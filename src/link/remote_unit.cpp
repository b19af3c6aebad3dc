#include "link/remote_unit.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "link/remote_wire.h"
#include "link/report_format.h"

namespace {

std::string endpoint;

// One connection. Reads complete on a receiver thread (the socket has no
// overlapped reads that could signal our events); writes complete at once.
// The read's event belongs to the connection, like a device's transfer.
struct RemoteConnection {
    NetSocket socket = invalidSocket;
    UnitIdentity identity;
    std::mutex lock;
    std::condition_variable wake;
    bool stopping = false;
    bool gone = false;
    bool readWanted = false;
    bool readOk = false;
    std::uint8_t* readBuffer = nullptr;
    LinkEvent readDone{EventReset::manual};
    std::thread receiver;
};

RemoteConnection* connection(DeviceHandle device) { return static_cast<RemoteConnection*>(device); }

void receiveReports(RemoteConnection* remote)
{
    std::unique_lock<std::mutex> hold(remote->lock);
    for (;;) {
        remote->wake.wait(hold, [remote] { return remote->stopping || remote->readWanted; });
        if (remote->stopping)
            return;
        hold.unlock();
        std::uint8_t report[reportSize];
        const bool ok = netReceiveAll(remote->socket, report, reportSize, -1);
        hold.lock();
        if (ok && !remote->stopping)
            std::memcpy(remote->readBuffer, report, reportSize);
        remote->readOk = ok;
        if (!ok)
            remote->gone = true;
        remote->readWanted = false;
        hold.unlock();
        setEvent(remote->readDone);
        hold.lock();
    }
}

bool connectTo(const std::string& path, NetSocket& socket, UnitIdentity& identity)
{
    char host[256];
    std::uint16_t port = 0;
    if (!netSplitEndpoint(path.c_str(), host, sizeof host, port))
        return false;
    socket = netConnect(host, port, remoteConnectTimeoutMs);
    if (socket == invalidSocket)
        return false;
    if (!receiveIdentity(socket, identity, remoteConnectTimeoutMs)) {
        netClose(socket);
        socket = invalidSocket;
        return false;
    }
    return true;
}

void listRemote(DeviceVisitor visit, void* context)
{
    if (endpoint.empty())
        return;
    NetSocket socket;
    UnitIdentity identity;
    if (!connectTo(endpoint, socket, identity))
        return;
    netClose(socket);
    DeviceInfo device;
    device.path = endpoint;
    device.vendorId = identity.vendorId;
    device.productId = identity.productId;
    visit(context, device);
}

void closeRemote(DeviceHandle device)
{
    RemoteConnection* remote = connection(device);
    if (!remote)
        return;
    {
        std::lock_guard<std::mutex> hold(remote->lock);
        remote->stopping = true;
    }
    remote->wake.notify_all();
    netShutdown(remote->socket);
    if (remote->receiver.joinable())
        remote->receiver.join();
    netClose(remote->socket);
    delete remote;
}

DeviceHandle openRemote(const std::string& path, bool forReports)
{
    auto* remote = new RemoteConnection;
    if (!connectTo(path, remote->socket, remote->identity)) {
        delete remote;
        return nullptr;
    }
    if (forReports) {
        try {
            remote->receiver = std::thread(receiveReports, remote);
        } catch (...) {
            closeRemote(remote);
            return nullptr;
        }
    }
    return remote;
}

bool remoteProductString(DeviceHandle device, std::uint16_t* units128)
{
    RemoteConnection* remote = connection(device);
    std::memset(units128, 0, 128 * sizeof(std::uint16_t));
    for (int i = 0; i < remote->identity.productUnits && i < 127; ++i)
        units128[i] = remote->identity.product[i];
    return true;
}

IoStatus remoteStartRead(DeviceHandle device, std::uint8_t* report, LinkEvent** completion)
{
    RemoteConnection* remote = connection(device);
    if (!remote || !remote->receiver.joinable())
        return IoStatus::failed;
    std::lock_guard<std::mutex> hold(remote->lock);
    if (remote->gone)
        return IoStatus::gone;
    if (remote->readWanted)
        return IoStatus::failed;
    resetEvent(remote->readDone);
    remote->readWanted = true;
    remote->readBuffer = report;
    remote->wake.notify_one();
    *completion = &remote->readDone;
    return IoStatus::pending;
}

IoStatus remoteStartWrite(DeviceHandle device, const std::uint8_t* report, LinkEvent**)
{
    RemoteConnection* remote = connection(device);
    if (!remote)
        return IoStatus::failed;
    {
        std::lock_guard<std::mutex> hold(remote->lock);
        if (remote->gone)
            return IoStatus::gone;
    }
    if (netSendAll(remote->socket, report, reportSize))
        return IoStatus::done;
    std::lock_guard<std::mutex> hold(remote->lock);
    remote->gone = true;
    return IoStatus::gone;
}

bool remoteReadResult(DeviceHandle device)
{
    RemoteConnection* remote = connection(device);
    std::lock_guard<std::mutex> hold(remote->lock);
    return remote->readOk;
}

bool remoteWriteResult(DeviceHandle) { return true; }

// Writes complete at once; there is never one to cancel.
void remoteCancelWrite(DeviceHandle) {}

} // namespace

const DeviceBackend remoteUnitBackend = {
    "remote", listRemote, openRemote, closeRemote, remoteProductString,
    remoteStartRead, remoteStartWrite, remoteReadResult, remoteWriteResult, remoteCancelWrite,
};

void setRemoteUnitEndpoint(const char* value)
{
    endpoint = value ? value : "";
}
