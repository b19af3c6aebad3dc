#include "cli/unit_bridge.h"

#include <chrono>
#include <thread>

#include "link/device_discovery.h"
#include "link/link_device.h"
#include "link/report_format.h"

namespace {

constexpr int sliceMs = 10;
constexpr int clientSliceMs = 100;
// A device that fails every read without saying it is gone counts as gone
// after this many attempts in a row.
constexpr int failedReadLimit = 200;
// A write the device has not taken in this time will not be taken.
constexpr int writeLimitMs = 5000;

struct Bridge {
    NetSocket client;
    const std::atomic<bool>& stop;
    int idleMs;
    std::chrono::steady_clock::time_point lastReport = std::chrono::steady_clock::now();
    bool idle = false;
    std::atomic<bool> quit{false};
    std::atomic<bool> gone{false};
};

bool ending(const Bridge& bridge) { return bridge.quit || bridge.stop; }

// Device to client. Owns the device's close, so that closing it, which ends
// a pending read, happens while the read's buffer still exists.
void carryAnswers(Bridge& bridge)
{
    std::uint8_t report[reportSize];
    int failures = 0;
    while (!ending(bridge)) {
        IoStatus status = linkStartRead(report);
        if (status == IoStatus::pending) {
            while (!ending(bridge) && linkAwaitRead(nullptr, sliceMs) != 0) {
            }
            if (ending(bridge))
                break;
            status = linkReadResult() ? IoStatus::done : IoStatus::failed;
        }
        if (status == IoStatus::gone || (status == IoStatus::failed && ++failures > failedReadLimit)) {
            bridge.gone = true;
            break;
        }
        if (status == IoStatus::failed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(sliceMs));
            continue;
        }
        failures = 0;
        if (!netSendAll(bridge.client, report, reportSize))
            break;
    }
    closeLinkDevice();
    // Wakes the other direction, which may be waiting for the client.
    bridge.quit = true;
}

// One request to the device; false when the device did not take it.
bool deliver(Bridge& bridge, const std::uint8_t* report)
{
    IoStatus status = linkStartWrite(report);
    if (status == IoStatus::pending) {
        bool completed = false;
        for (int waited = 0; !completed && !ending(bridge) && waited < writeLimitMs; waited += sliceMs)
            completed = linkAwaitWrite(nullptr, sliceMs) == 0;
        if (!completed) {
            linkCancelWrite();
            return false;
        }
        status = linkWriteResult() ? IoStatus::done : IoStatus::failed;
    }
    if (status == IoStatus::gone)
        bridge.gone = true;
    return status == IoStatus::done;
}

// The client's next report, or false when it leaves, stays silent for the
// idle time, or stop comes first.
bool awaitReport(Bridge& bridge, std::uint8_t* report)
{
    for (;;) {
        if (ending(bridge))
            return false;
        const auto silent = std::chrono::steady_clock::now() - bridge.lastReport;
        if (silent >= std::chrono::milliseconds(bridge.idleMs)) {
            bridge.idle = true;
            return false;
        }
        const int ready = netWaitReadable(bridge.client, clientSliceMs);
        if (ready < 0)
            return false;
        if (ready > 0) {
            bridge.lastReport = std::chrono::steady_clock::now();
            return netReceiveAll(bridge.client, report, reportSize, 1000);
        }
    }
}

} // namespace

BridgeEnd bridgeClient(NetSocket client, const std::atomic<bool>& stop, int idleMs)
{
    Bridge bridge{client, stop, idleMs};
    std::uint8_t request[reportSize];
    if (!awaitReport(bridge, request))
        return stop ? BridgeEnd::stopped : bridge.idle ? BridgeEnd::idle : BridgeEnd::clientLeft;
    if (!openLinkDevice(devicePath))
        return BridgeEnd::deviceGone;

    std::thread answers(carryAnswers, std::ref(bridge));
    bool more = true;
    while (more) {
        // A report the device refuses is lost, as on the wire; the client's
        // engine sends it again.
        deliver(bridge, request);
        more = !bridge.gone && awaitReport(bridge, request);
    }
    bridge.quit = true;
    answers.join();
    if (bridge.gone)
        return BridgeEnd::deviceGone;
    return stop ? BridgeEnd::stopped : bridge.idle ? BridgeEnd::idle : BridgeEnd::clientLeft;
}
