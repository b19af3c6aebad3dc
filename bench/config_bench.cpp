#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/texts.h"
#include "config/config_file.h"
#include "config/k_config_form.h"
#include "config/k_parameter_check.h"
#include "config/m_parameter_check.h"
#include "config/temperature_conversion.h"

// The whole check of a valid block: every test runs, none stops it early.
static void BM_ConfigCheckK(benchmark::State& state)
{
    KParameterBlock block = kSeriesDefaultParameters;
    for (auto _ : state) {
        benchmark::DoNotOptimize(block);
        benchmark::DoNotOptimize(checkKParameters(block));
    }
}
BENCHMARK(BM_ConfigCheckK);

static void BM_ConfigCheckM(benchmark::State& state)
{
    MParameterBlock block = mSeriesDefaultParameters;
    for (auto _ : state) {
        benchmark::DoNotOptimize(block);
        benchmark::DoNotOptimize(checkMParameters(block));
    }
}
BENCHMARK(BM_ConfigCheckM);

// Both directions of every rule over 256 values.
static void BM_ConfigConversions(benchmark::State& state)
{
    for (auto _ : state) {
        int sum = 0;
        for (int v = -128; v < 128; ++v) {
            sum += temperatureToFahrenheit(v) + temperatureToCelsius(v) + setTemperatureToFahrenheit(v)
                 + setTemperatureToCelsius(v) + differenceToFahrenheit(v) + differenceToCelsius(v)
                 + calibrationToFahrenheit(v) + calibrationToCelsius(v);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 256 * 8);
}
BENCHMARK(BM_ConfigConversions);

// A unit switch as the window does it: gathers, fill and defaults column.
static void BM_ConfigFormUnitSwitch(benchmark::State& state)
{
    selectLanguageTexts(1);
    KSeriesConfigForm form;
    form.create();
    form.loadDefaults();
    int unit = 0;
    for (auto _ : state) {
        unit = 1 - unit;
        form.rows()[rowTemperatureUnit].value = unit;
        form.unitChanged();
        benchmark::DoNotOptimize(form.block);
    }
}
BENCHMARK(BM_ConfigFormUnitSwitch);

static std::filesystem::path benchFile()
{
    return std::filesystem::temp_directory_path() / "kavix-config-bench.cbf";
}

// Temporary file, write, rename over the target.
static void BM_ConfigFileSave(benchmark::State& state)
{
    const auto path = benchFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(saveConfigFile(path, kSeriesConfigFile, &kSeriesDefaultParameters));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_ConfigFileSave);

static void BM_ConfigFileLoad(benchmark::State& state)
{
    const auto path = benchFile();
    saveConfigFile(path, kSeriesConfigFile, &kSeriesDefaultParameters);
    KParameterBlock block;
    for (auto _ : state)
        benchmark::DoNotOptimize(loadConfigFile(path, kSeriesConfigFile, &block));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_ConfigFileLoad);
