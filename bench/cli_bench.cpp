// kavix-cli against a simulated unit with 1 ms USB frames over the TCP wire:
// configuration, counters and a 1,000-entry protocol, each as a ratio to the
// USB bound (cli_bench_rig.h).
#include <benchmark/benchmark.h>

#include "cli_bench_rig.h"

namespace {

constexpr std::uint32_t frameMs = 1;

void runCommand(benchmark::State& state, const std::vector<std::string>& command)
{
    FramedUnit framed(frameMs, 1000);
    std::vector<std::string> words = {"--unit", framed.endpoint};
    words.insert(words.end(), command.begin(), command.end());
    double seconds = 0;
    double exchanges = 0;
    for (auto _ : state) {
        const CommandTiming timing = timeCommand(framed, words);
        if (!timing.ok) {
            state.SkipWithError(timing.error.c_str());
            return;
        }
        state.SetIterationTime(timing.seconds);
        seconds += timing.seconds;
        exchanges += timing.exchanges;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["exchanges"] = exchanges / runs;
    state.counters["bound_ms"] = usbBoundSeconds(exchanges / runs, frameMs) * 1000;
    state.counters["ratio_to_bound"] = usbBoundSeconds(exchanges / runs, frameMs) / (seconds / runs);
}

void configurationRead(benchmark::State& state) { runCommand(state, {"config", "read", "-o", "FILE"}); }
void counters(benchmark::State& state) { runCommand(state, {"counters"}); }
void protocol(benchmark::State& state) { runCommand(state, {"protocol", "-o", "FILE"}); }

} // namespace

BENCHMARK(configurationRead)->Name("Cli/ConfigurationRead/frame1ms")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(counters)->Name("Cli/Counters/frame1ms")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(protocol)->Name("Cli/Protocol1000/frame1ms")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
