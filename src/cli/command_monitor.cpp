// monitor: the unit's live state, read-only, as a log and a chart. Manual
// control stays in the window, where its protections are in view.
#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

#include "base/replacing_file.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/monitor_chart.h"
#include "cli/monitor_log.h"
#include "link/link_state.h"
#include "link/poll_engine.h"

namespace {

// The engine polls again by itself after 500 ms without the answer being
// processed; holding it longer than this gains nothing.
constexpr double maxPollHoldSeconds = 0.4;
constexpr std::size_t maxChartSamples = 200000;

// "2026-12-07T14:03:22.125Z"
std::string utcTimestamp(std::chrono::system_clock::time_point when)
{
    const auto sinceEpoch = when.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch).count();
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &seconds);
#else
    gmtime_r(&seconds, &parts);
#endif
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(millis));
    return text;
}

} // namespace

int commandMonitor(const CliContext& context, const MonitorOptions& options)
{
    UnitInfo unit;
    int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    const Family family = unit.family;

    std::ofstream log;
    if (!options.log.empty()) {
        log.open(pathFromAnsi(options.log.c_str()), std::ios::binary | std::ios::trunc);
        if (!log) {
            context.err << "Cannot write the log file " << options.log << ".\n";
            return exitFileError;
        }
        log << monitorLogHeader(family) << std::flush;
    }
    context.out << monitorLogHeader(family) << std::flush;

    std::vector<MonitorSample> samples;
    std::size_t chartStep = 1;   // every chartStep-th logged answer goes into the chart
    std::size_t logged = 0;
    double lastLogged = -1;
    const auto start = std::chrono::steady_clock::now();
    setReadOnlyPoll(linkRequest, family);
    const TransferResult result = runTransfer(
        pollEngine, linkRequest,
        [&](const TerminalNotification& answer) {
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const bool done = options.seconds > 0 && seconds >= options.seconds;
            if (lastLogged >= 0 && seconds < lastLogged + options.interval) {
                // Holding the answer paces the polls; the engine polls again
                // after half a second in any case.
                const double wait = std::min(lastLogged + options.interval - seconds, maxPollHoldSeconds);
                std::this_thread::sleep_for(std::chrono::duration<double>(wait));
                return !done;
            }
            MonitorSample sample;
            if (!decodeMonitorSample(family, answer.bytes, answer.length, seconds, sample))
                return !done;
            lastLogged = seconds;
            const std::string line = monitorLogLine(family, utcTimestamp(std::chrono::system_clock::now()), sample);
            context.out << line << std::flush;
            if (log.is_open())
                log << line << std::flush;
            if (logged++ % chartStep == 0)
                samples.push_back(sample);
            if (samples.size() >= maxChartSamples) {
                // A long session at full speed: keep every other sample, so
                // memory stays bounded whatever the session's length.
                for (std::size_t i = 0; i < samples.size() / 2; ++i)
                    samples[i] = samples[2 * i];
                samples.resize(samples.size() / 2);
                chartStep *= 2;
            }
            return !done;
        },
        transferLimits(context));

    // What was gathered is kept whichever way the session ended.
    code = exitOk;
    if (result.outcome != TransferOutcome::stopped)
        code = transferFailed(context, family, result);
    if (log.is_open() && !log.good()) {
        context.err << "The log file " << options.log << " could not be written completely.\n";
        code = code == exitOk ? exitFileError : code;
    }
    const bool chartWritten =
        !options.chart.empty() && writeMonitorChart(pathFromAnsi(options.chart.c_str()), family, samples);
    if (!options.chart.empty() && !chartWritten) {
        context.err << "Cannot write the chart " << options.chart << ".\n";
        code = code == exitOk ? exitFileError : code;
    }
    context.err << logged << " answers logged";
    if (log.is_open())
        context.err << ", also to " << options.log;
    if (chartWritten)
        context.err << "; chart of " << samples.size() << " samples written to " << options.chart;
    context.err << ".\n";
    return code;
}
