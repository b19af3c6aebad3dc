// Block transfers against the simulator over loopback: read throughput with
// a zero-latency unit, a 1,000-block protocol read against USB frame timing,
// and a full 2 MiB protocol read with the process's memory watched.
#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "link/block_read_engine.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/remote_unit.h"
#include "protocol/protocol_entries.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "notification_counter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Resident memory of the process in KiB (0 where it cannot be read).
long residentKiB()
{
    long kib = 0;
#ifdef __linux__
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1)
                break;
        std::fclose(status);
    }
#endif
    return kib;
}

// A simulated unit serving a protocol of so many entries, and the link.
struct ProtocolRig {
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    NotificationCounter sink;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(protocolBufferSize, 0);

    ProtocolRig(char family, std::uint32_t entries, std::uint32_t frameMs)
    {
        createLinkEvents();
        SimOptions options = defaultSimOptions(family);
        options.frameMs = frameMs;
        initSimUnit(unit, options);
        fillFamilyDataSets(store, family, factoryConfiguration(family), entries);
        useBlockStore(unit, store);
        server = startSimServer(unit, "127.0.0.1", 0);
        setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(server ? simServerPort(server) : 1)).c_str());
        setDeviceBackend(&remoteUnitBackend);
        sink.install();
        linkRequest = LinkRequest{};
        linkRequest.command = cmdReadProtocol;
        linkRequest.payload[0] = 1;
        linkRequest.payload[1] = family == 'M' ? 2 : 1;
        linkRequest.data = buffer.data();
        linkRequest.dataCapacity = static_cast<std::uint32_t>(buffer.size());
        linkRequest.blockSize = 48;
        linkRequest.crcSelector = linkRequest.payload[1];
    }
    ~ProtocolRig()
    {
        stopLink();
        NotificationCounter::uninstall();
        setDeviceBackend(nullptr);
        stopSimServer(server);
    }

    long peakKiB = 0;   // resident memory seen while the last read ran

    // One whole read; the seconds it took, or a negative value on failure.
    double read(std::uint64_t& blocks)
    {
        peakKiB = residentKiB();
        sink.reset();
        const auto start = Clock::now();
        if (!server || !findDevice() || !startLinkThreads(blockReadEngine, &linkRequest))
            return -1;
        std::unique_lock<std::mutex> hold(sink.lock);
        // Looks at the memory every 50 ms while the blocks flow.
        const auto deadline = start + std::chrono::seconds(120);
        while (sink.ends == 0 && Clock::now() < deadline) {
            sink.changed.wait_for(hold, std::chrono::milliseconds(50), [this] { return sink.ends > 0; });
            const long now = residentKiB();
            if (now > peakKiB)
                peakKiB = now;
        }
        const bool ended = sink.ends > 0;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        blocks = sink.data;
        const bool complete = ended && sink.endCode == endCompleted;
        hold.unlock();
        stopLink();
        return complete ? seconds : -1;
    }
};

// 4,000 K-Series entries: 2,000 blocks of 48 bytes per read.
void BlockReadThroughput(benchmark::State& state)
{
    ProtocolRig rig('K', 4000, 0);
    std::uint64_t total = 0;
    double seconds = 0;
    for (auto _ : state) {
        std::uint64_t blocks = 0;
        const double took = rig.read(blocks);
        if (took < 0) {
            state.SkipWithError("read did not complete");
            return;
        }
        state.SetIterationTime(took);
        total += blocks;
        seconds += took;
    }
    state.counters["blocks_per_s"] = static_cast<double>(total) / seconds;
}
BENCHMARK(BlockReadThroughput)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// 2,000 K-Series entries: 1,000 blocks, each answer at the next 1 ms frame.
// The USB bound is one report each way per millisecond: 2.0 s.
void FramedProtocolRead1000Blocks(benchmark::State& state)
{
    ProtocolRig rig('K', 2000, 1);
    double worst = 0;
    for (auto _ : state) {
        std::uint64_t blocks = 0;
        const double took = rig.read(blocks);
        if (took < 0 || blocks != 1000) {
            state.SkipWithError("read did not complete");
            return;
        }
        state.SetIterationTime(took);
        if (took > worst)
            worst = took;
    }
    state.counters["worst_s"] = worst;
    state.counters["worst_ratio_to_usb_bound"] = worst / 2.0;
}
BENCHMARK(FramedProtocolRead1000Blocks)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// 30,840 M-Series entries fill the 2 MiB protocol buffer: 43,690 blocks.
void Full2MiBProtocolRead(benchmark::State& state)
{
    ProtocolRig rig('M', 30840, 0);
    long before = 0, after = 0;
    for (auto _ : state) {
        std::uint64_t blocks = 0;
        rig.read(blocks);   // once to warm up every page and allocation
        before = residentKiB();
        const double took = rig.read(blocks);
        after = residentKiB();
        if (took < 0 || blocks != 43690) {
            state.SkipWithError("read did not complete");
            return;
        }
        state.SetIterationTime(took);
        state.counters["blocks"] = static_cast<double>(blocks);
    }
    state.counters["rss_growth_KiB"] = static_cast<double>(after - before);
    state.counters["rss_peak_over_start_KiB"] = static_cast<double>(rig.peakKiB - before);
    state.counters["rss_KiB"] = static_cast<double>(after);
}
BENCHMARK(Full2MiBProtocolRead)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
