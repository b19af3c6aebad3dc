// Device link speed against the simulator over loopback: poll exchanges per
// second, stopLink latency from each state (with and without the monitor's
// release poll), and the CPU an idle link costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"
#include "link/remote_unit.h"
#include "sim_server.h"
#include "notification_counter.h"

namespace {

using Clock = std::chrono::steady_clock;


// One simulated unit and the link pointed at it.
struct BenchRig {
    SimUnit unit;
    SimServer* server = nullptr;
    NotificationCounter sink;

    explicit BenchRig(const SimOptions& options)
    {
        createLinkEvents();
        initSimUnit(unit, options);
        server = startSimServer(unit, "127.0.0.1", 0);
        setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(server ? simServerPort(server) : 1)).c_str());
        setDeviceBackend(&remoteUnitBackend);
        sink.install();
        linkRequest = LinkRequest{};
        linkRequest.command = cmdPoll;
        linkRequest.blockSize = 23;
        linkRequest.expectedAnswerType = 1;
        linkRequest.expectedUnitKind = 1;
    }

    ~BenchRig()
    {
        stopLink();
        NotificationCounter::uninstall();
        setDeviceBackend(nullptr);
        stopSimServer(server);
    }

    bool open()
    {
        char product[65];
        return findDevice() && readProductString(product) && startLinkThreads(pollEngine, &linkRequest);
    }
};

double processCpuSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void PollExchangesPerSecond(benchmark::State& state)
{
    BenchRig rig(defaultSimOptions('K'));
    rig.sink.releaseAtOnce = true;
    if (!rig.server || !rig.open()) {
        state.SkipWithError("simulator link did not open");
        return;
    }
    rig.sink.waitFor([&] { return rig.sink.data >= 1; }, 2000);
    std::uint64_t start = 0;
    {
        std::lock_guard<std::mutex> hold(rig.sink.lock);
        start = rig.sink.data;
    }
    std::uint64_t next = start;
    for (auto _ : state) {
        ++next;
        if (!rig.sink.waitFor([&] { return rig.sink.data >= next; }, 1000)) {
            state.SkipWithError("poll stalled");
            break;
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(next - start));
}
BENCHMARK(PollExchangesPerSecond)->MinTime(2.0)->UseRealTime();

// Where the link is when stopLink comes.
enum class StopState { awaitingAnswer, idling, finishedAndDead, busyPolling };

// The release poll a monitor under manual control leaves in the request:
// the K-Series command record with the manual flag clear.
void setReleasePoll(LinkRequest& request)
{
    request.releaseLength = 23;
    std::fill(std::begin(request.releasePayload), std::end(request.releasePayload), std::uint8_t{0});
}

void StopLinkLatency(benchmark::State& state)
{
    const auto where = static_cast<StopState>(state.range(0));
    const bool release = state.range(1) != 0;
    SimOptions options = defaultSimOptions('K');
    if (where == StopState::awaitingAnswer) {
        options.faults.silent = true;   // reader pending, engine in Await
        options.faults.silentAfter = 0;
    }
    BenchRig rig(options);
    rig.sink.releaseAtOnce = where == StopState::busyPolling;
    std::vector<double> latencies;
    for (auto _ : state) {
        if (where == StopState::finishedAndDead)
            devicePath = "127.0.0.1:1";   // nothing there: reader dead, engine ends with code 0
        {
            std::lock_guard<std::mutex> hold(rig.sink.lock);
            rig.sink.data = rig.sink.ends = 0;
        }
        bool opened = false;
        if (where == StopState::finishedAndDead)
            opened = startLinkThreads(pollEngine, &linkRequest)
                     && rig.sink.waitFor([&] { return rig.sink.ends > 0; }, 3000);
        else
            opened = rig.open()
                     && (where == StopState::awaitingAnswer || rig.sink.waitFor([&] { return rig.sink.data >= 1; }, 3000));
        if (!opened) {
            state.SkipWithError("link did not reach its state");
            break;
        }
        // As the window does on every answer (a new link starts without one).
        if (release)
            setReleasePoll(linkRequest);
        // Somewhere inside a wait slice rather than at its start.
        std::this_thread::sleep_for(std::chrono::milliseconds(where == StopState::idling ? 230 : 37));
        const auto start = Clock::now();
        stopLink();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000);
    }
    if (latencies.empty())
        return;
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(StopLinkLatency)
    ->ArgNames({"state", "release"})
    ->ArgsProduct({{int(StopState::awaitingAnswer), int(StopState::idling), int(StopState::finishedAndDead),
                    int(StopState::busyPolling)},
                   {0, 1}})
    ->Iterations(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// CPU of the whole process (link threads and simulator) while a link is open
// but has nothing to do: engine in Await (unit silent) or in Idle (monitor
// never sets answerProcessed, one poll every 500 ms).
void IdleLinkCpu(benchmark::State& state)
{
    SimOptions options = defaultSimOptions('K');
    const bool awaiting = state.range(0) == 0;
    if (awaiting) {
        options.faults.silent = true;
        options.faults.silentAfter = 0;
    }
    BenchRig rig(options);
    if (!rig.open()) {
        state.SkipWithError("link did not open");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpuStart = processCpuSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        cpu += processCpuSeconds() - cpuStart;
        wall += std::chrono::duration<double>(Clock::now() - start).count();
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
}
BENCHMARK(IdleLinkCpu)->ArgName("idle")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
