#pragma once
// A plot of a monitor session as an SVG file: the two temperatures and the
// mains voltage over time, with each output and error bit as a band below.
#include <filesystem>
#include <vector>

#include "app/family.h"
#include "cli/monitor_log.h"

// Writes the chart of samples (in time order) to path, replacing any file
// there only once it is complete. False when it could not be written.
bool writeMonitorChart(const std::filesystem::path& path, Family family, const std::vector<MonitorSample>& samples);

// The SVG document itself (UTF-8).
std::string monitorChartSvg(Family family, const std::vector<MonitorSample>& samples);
