#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/texts.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_display.h"

#ifdef __linux__
#include <sys/resource.h>
#endif

namespace {

// A full protocol buffer of plausible, varied entries (little-endian).
std::vector<unsigned char> fullProtocol()
{
    std::vector<unsigned char> buffer(protocolBufferSize);
    std::uint32_t x = 12345;
    for (auto& b : buffer) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
    }
    return buffer;
}

const std::vector<unsigned char>& protocolBytes()
{
    static const std::vector<unsigned char> buffer = fullProtocol();
    return buffer;
}

void reportPeakMemory(benchmark::State& state)
{
#ifdef __linux__
    rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) == 0)
        state.counters["peak_rss_kib"] = static_cast<double>(usage.ru_maxrss);
#else
    (void)state;
#endif
}

void exportFull(benchmark::State& state, Family family)
{
    const auto& buffer = protocolBytes();
    const auto count = static_cast<std::int32_t>(protocolBufferSize / protocolEntrySize(family));
    const ProtocolData protocol{buffer.data(), buffer.size(), count};
    const auto path = std::filesystem::temp_directory_path()
                    / (family == Family::k ? "kavix-bench-k.csv" : "kavix-bench-m.csv");
    for (auto _ : state) {
        if (!writeProtocolCsv(family, path, protocol, germanTexts))
            state.SkipWithError("write failed");
    }
    std::error_code error;
    state.counters["entries"] = count;
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path, error));
    std::filesystem::remove(path, error);
    reportPeakMemory(state);
}

} // namespace

// Saving a full buffer: 87,381 K-Series / 30,840 M-Series entries.
static void BM_ProtocolCsvExportFullK(benchmark::State& state) { exportFull(state, Family::k); }
BENCHMARK(BM_ProtocolCsvExportFullK)->Unit(benchmark::kMillisecond);

static void BM_ProtocolCsvExportFullM(benchmark::State& state) { exportFull(state, Family::m); }
BENCHMARK(BM_ProtocolCsvExportFullM)->Unit(benchmark::kMillisecond);

// Everything a paint needs for the list: the visible lines of a 1200-pixel
// high display, scrolled near the end of a protocol of range(1) entries.
// The cost must be the same for a small and a full protocol.
static void BM_ProtocolDisplayVisibleLines(benchmark::State& state)
{
    const Family family = state.range(0) == 1 ? Family::m : Family::k;
    const std::int32_t count = static_cast<std::int32_t>(state.range(1));
    const auto& buffer = protocolBytes();
    const ProtocolData protocol{buffer.data(), buffer.size(), count};
    const DisplayMetrics metrics{1600, 1200, 8, 16, 5, 14};
    const int lines = visibleLineCount(family, metrics);
    const std::int32_t top = count > lines / 2 ? count - lines / 2 : 0;
    const int offset = family == Family::k ? 0 : 4;
    for (auto _ : state) {
        HeaderText header[1 + maxShownColumns];
        benchmark::DoNotOptimize(headerTexts(family, offset, metrics, germanTexts, header));
        const VisibleEntries shown = visibleEntries(top, lines, readableEntries(protocol, family));
        DisplayText line[1 + maxShownColumns];
        int texts = 0;
        for (std::int32_t i = shown.first; i < shown.end; ++i)
            texts += displayLineTexts(family, protocol, i, i - shown.first, offset, metrics, line);
        benchmark::DoNotOptimize(texts);
        benchmark::ClobberMemory();
    }
    state.counters["lines"] = lines;
}
BENCHMARK(BM_ProtocolDisplayVisibleLines)
    ->Args({0, 200})
    ->Args({0, 87381})
    ->Args({1, 200})
    ->Args({1, 30840});
