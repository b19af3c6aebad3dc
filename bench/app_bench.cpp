#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "base/crc16.h"
#include "base/decimal.h"
#include "app/settings.h"

// CRC over one 64-byte report payload, a configuration image and a 2 MiB buffer.
static void BM_Crc16(benchmark::State& state)
{
    std::vector<unsigned char> data(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 131);
    for (auto _ : state)
        benchmark::DoNotOptimize(crc16(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc16)->Arg(64)->Arg(186)->Arg(2 * 1024 * 1024);

static void BM_ParseDecimal(benchmark::State& state)
{
    const char* texts[] = {"-12", "65535", "2147483647", "12 "};
    for (auto _ : state)
        for (const char* t : texts)
            benchmark::DoNotOptimize(parseDecimal(t));
}
BENCHMARK(BM_ParseDecimal);

static void BM_SettingsRoundTrip(benchmark::State& state)
{
    const auto path = std::filesystem::temp_directory_path() / "kavix-bench.ini";
    AppState app;
    std::memset(&app, 0, sizeof app);
    for (auto _ : state) {
        saveSettings(app, path);
        benchmark::DoNotOptimize(loadSettings(app, path));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SettingsRoundTrip);
