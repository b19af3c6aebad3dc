// The program's USB path (HID backend, virtual USB unit) against its TCP
// path (remote-unit backend), both talking to the same simulated unit in
// this process: failure-protocol block reads per second and stopLink
// latency while polling. Prints both and their ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "link/block_read_engine.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"
#include "link/remote_unit.h"
#include "link/win/hid_backend.h"
#include "sim_blocks.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "vusb_install.h"
#include "notification_counter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t protocolEntries = 1000;
constexpr int reads = 7;
constexpr int stops = 40;


NotificationCounter sink;
std::vector<std::uint8_t> destination(2 * 1024 * 1024);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool openLink(EngineProcedure engine)
{
    char product[65];
    return findDevice() && readProductString(product) && startLinkThreads(engine, &linkRequest);
}

// Seconds of one whole protocol read, or a negative value if it failed.
double timedProtocolRead()
{
    linkRequest = LinkRequest{};
    linkRequest.command = cmdReadProtocol;
    linkRequest.data = destination.data();
    linkRequest.dataCapacity = static_cast<std::uint32_t>(destination.size());
    linkRequest.blockSize = 48;
    linkRequest.crcSelector = 1;
    linkRequest.payload[0] = 1;
    linkRequest.payload[1] = 1;
    sink.reset();
    const auto start = Clock::now();
    if (!openLink(blockReadEngine))
        return -1;
    const bool ended = sink.waitFor([] { return sink.endCode >= 0; }, 60000);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const bool completed = ended && sink.endCode == endCompleted;
    stopLink();
    return completed ? seconds : -1;
}

// Milliseconds of stopLink while the monitor's polls run; with release, the
// request carries the release poll a monitor under manual control leaves.
double timedStopWhilePolling(std::mt19937& random, bool release)
{
    linkRequest = LinkRequest{};
    linkRequest.command = cmdPoll;
    linkRequest.blockSize = 23;
    linkRequest.expectedAnswerType = 1;
    linkRequest.expectedUnitKind = 1;
    sink.reset();
    if (!openLink(pollEngine) || !sink.waitFor([] { return sink.data > 0; }, 5000))
        return -1;
    if (release)
        linkRequest.releaseLength = 23;
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
    const auto start = Clock::now();
    stopLink();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct PathResult {
    double blocksPerSecond = 0;
    double stopMedianMs = 0;
    double stopMaxMs = 0;
    double releaseStopMedianMs = 0;   // with the release poll
    double releaseStopMaxMs = 0;
    bool ok = true;
};

PathResult measure(const char* name)
{
    PathResult result;
    const double blocks = protocolEntries * 24.0 / 48.0;
    std::vector<double> readSeconds;
    for (int i = 0; i < reads; ++i) {
        const double seconds = timedProtocolRead();
        if (seconds < 0) {
            std::printf("%s: protocol read %d failed\n", name, i);
            result.ok = false;
            return result;
        }
        readSeconds.push_back(seconds);
    }
    result.blocksPerSecond = blocks / median(readSeconds);
    for (bool release : {false, true}) {
        std::mt19937 random(7);
        std::vector<double> stopMs;
        for (int i = 0; i < stops; ++i) {
            const double ms = timedStopWhilePolling(random, release);
            if (ms < 0) {
                std::printf("%s: polling did not start\n", name);
                result.ok = false;
                return result;
            }
            stopMs.push_back(ms);
        }
        (release ? result.releaseStopMedianMs : result.stopMedianMs) = median(stopMs);
        (release ? result.releaseStopMaxMs : result.stopMaxMs) = *std::max_element(stopMs.begin(), stopMs.end());
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint32_t frameMs = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 0;
    static SimUnit unit;
    SimOptions options = defaultSimOptions('K');
    options.frameMs = frameMs;
    initSimUnit(unit, options);
    static SimBlockStore store;
    fillFamilyDataSets(store, 'K', factoryConfiguration('K'), protocolEntries);
    useBlockStore(unit, store);
    SimServer* server = startSimServer(unit, "127.0.0.1", 0);
    if (!server)
        return 1;
    const std::string endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));

    std::string error;
    if (!installVirtualUsb(wineSidePathW(KAVIX_VUSB_DIR), {endpoint}, error)) {
        std::printf("virtual USB: %s\n", error.c_str());
        return 1;
    }
    createLinkEvents();
    sink.install();
    setDeviceBackend(&hidBackend);
    for (int waited = 0; !findDevice() && waited < 10000; waited += 50)
        Sleep(50);

    std::printf("Simulated K-Series unit at %s, frames of %u ms, protocol of %u entries (%u blocks)\n",
                endpoint.c_str(), frameMs, protocolEntries, protocolEntries / 2);
    const PathResult usb = measure("USB");
    setRemoteUnitEndpoint(endpoint.c_str());
    setDeviceBackend(&remoteUnitBackend);
    const PathResult tcp = measure("TCP");
    removeVirtualUsb(error);
    stopSimServer(server);
    if (!usb.ok || !tcp.ok)
        return 1;

    std::printf("%-22s %12s %12s %10s\n", "", "USB (HID)", "TCP", "USB/TCP");
    std::printf("%-22s %12.0f %12.0f %10.2f\n", "block reads, blocks/s", usb.blocksPerSecond, tcp.blocksPerSecond,
                usb.blocksPerSecond / tcp.blocksPerSecond);
    std::printf("%-22s %12.2f %12.2f %10.2f\n", "stopLink median, ms", usb.stopMedianMs, tcp.stopMedianMs,
                usb.stopMedianMs / tcp.stopMedianMs);
    std::printf("%-22s %12.2f %12.2f %10.2f\n", "stopLink max, ms", usb.stopMaxMs, tcp.stopMaxMs,
                usb.stopMaxMs / tcp.stopMaxMs);
    std::printf("%-22s %12.2f %12.2f %10.2f\n", "+ release, median, ms", usb.releaseStopMedianMs,
                tcp.releaseStopMedianMs, usb.releaseStopMedianMs / tcp.releaseStopMedianMs);
    std::printf("%-22s %12.2f %12.2f %10.2f\n", "+ release, max, ms", usb.releaseStopMaxMs, tcp.releaseStopMaxMs,
                usb.releaseStopMaxMs / tcp.releaseStopMaxMs);
    return 0;
}
