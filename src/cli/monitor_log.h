#pragma once
// The monitor's live state as lines of a CSV log, one per poll answer.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "app/family.h"

// One poll answer, decoded: status points at the answer from report byte 4
// on (MonitorStatusK / MonitorStatusM), length bytes readable.
struct MonitorSample {
    double seconds = 0;          // since the first answer
    bool fahrenheit = false;     // the unit shows °F (status flag bit 0)
    bool switchedOn = false;     // status flag bit 15
    double temperature[2] = {};  // K: evaporator, room; M: water, room; in the unit's unit
    int mainsVoltage = 0;
    int mainsFrequency = 0;      // M only
    std::uint32_t outputs = 0;
    std::uint32_t inputs = 0;
    std::uint32_t errorBits = 0;
    int blowerPower[2] = {};     // K: only [0]
    std::uint8_t functionMode = 0;
    std::uint16_t firmware = 0;
};

// False when the answer is too short for the family's record.
bool decodeMonitorSample(Family family, const std::uint8_t* status, std::size_t length, double seconds,
                         MonitorSample& out);

// Header line and one line per sample, each ending in "\n". timestamp is the
// wall-clock time of the answer, already formatted (ISO 8601).
std::string monitorLogHeader(Family family);
std::string monitorLogLine(Family family, const std::string& timestamp, const MonitorSample& sample);

// An output or error bit the monitor window has an indicator for: its CSV
// column (also the chart band's id) and the chart band's label, plain ASCII.
struct MonitorBitName {
    int bit;
    const char* column;
    const char* label;
};

// In bit order: K outputs 0-3, errors 0-5; M outputs 0-13, errors 0-16.
std::span<const MonitorBitName> monitorOutputBits(Family family);
std::span<const MonitorBitName> monitorErrorBits(Family family);

// value with exactly decimals (0-9) digits after the point, rounded; built
// from integers so the C library's locale never changes the point. NaN is
// written "nan", which no reader takes for a number.
void appendFixed(std::string& out, double value, int decimals);
