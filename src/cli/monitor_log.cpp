#include "cli/monitor_log.h"

#include <algorithm>
#include <cmath>

#include "base/le_bytes.h"
#include "monitor/monitor_format.h"
#include "monitor/monitor_records.h"

// The log's columns, in this order; scripts read them by name, so new ones
// go before "inputs" only with care and never change meaning:
//   timestamp          as handed in (ISO 8601); quoted if it holds a comma or quote
//   seconds            since the first answer, 3 decimals
//   on                 1 while the unit is switched on
//   unit               C or F, the unit of the two temperatures on this line
//   K: evaporator,room / M: water,room    one decimal
//   mains_voltage      volts; M then mains_frequency, hertz
//   K: blower_power / M: blower1_power,blower2_power    percent
//   function_mode      as the monitor window shows it (F1 ... F7, F?)
//   firmware           d.dd
//   outputs            hex word, then one 0/1 column per named output bit
//   errors             hex word, then one 0/1 column per error indicator
//   inputs             hex word
// The hex words carry "0x" (K 4 digits, M 8) so spreadsheets keep them as
// text instead of reading "12E4" as a number.

namespace {

const MonitorBitName outputsK[] = {
    {0, "blower", "Blower"},
    {1, "compressor", "Compressor"},
    {2, "sea_water_pump", "Sea water pump"},
    {3, "reversing_valve", "Reversing valve"},
};

const MonitorBitName errorsK[] = {
    {0, "err_aaa_low_voltage", "AAA low voltage"},
    {1, "err_a01_low_pressure", "A01 low pressure"},
    {2, "err_a02_high_pressure", "A02 high pressure"},
    {3, "err_a09_cabin_sensor", "A09 cabin sensor"},
    {4, "err_a10_evaporator_sensor", "A10 evaporator sensor"},
    {5, "err_init", "Init / system blocked"},
};

const MonitorBitName outputsM[] = {
    {0, "blower1", "Blower 1"},
    {1, "blower2", "Blower 2"},
    {2, "sea_water_pump", "Sea water pump"},
    {3, "cooling_water_pump", "Cooling water pump"},
    {4, "reversing_valve", "Reversing valve"},
    {5, "relay1", "Relay 1"},
    {6, "relay2", "Relay 2"},
    {7, "relay3", "Relay 3"},
    {8, "compressor1", "Compressor 1"},
    {9, "compressor2", "Compressor 2"},
    {10, "compressor3", "Compressor 3"},
    {11, "compressor4", "Compressor 4"},
    {12, "compressor5", "Compressor 5"},
    {13, "compressor6", "Compressor 6"},
};

const MonitorBitName errorsM[] = {
    {0, "err_aaa_low_voltage", "AAA low voltage"},
    {1, "err_a01_low_pressure_1", "A01 low pressure comp. 1"},
    {2, "err_a02_high_pressure_1", "A02 high pressure comp. 1"},
    {3, "err_a03_low_pressure_2", "A03 low pressure comp. 2"},
    {4, "err_a04_high_pressure_2", "A04 high pressure comp. 2"},
    {5, "err_a05_low_pressure_3", "A05 low pressure comp. 3"},
    {6, "err_a06_high_pressure_3", "A06 high pressure comp. 3"},
    {7, "err_a07_low_pressure_4", "A07 low pressure comp. 4"},
    {8, "err_a08_high_pressure_4", "A08 high pressure comp. 4"},
    {9, "err_a09_cabin_sensor", "A09 cabin sensor"},
    {10, "err_a10_water_sensor", "A10 cooling water sensor"},
    {11, "err_a11_low_pressure_5", "A11 low pressure comp. 5"},
    {12, "err_a12_high_pressure_5", "A12 high pressure comp. 5"},
    {13, "err_a13_low_pressure_6", "A13 low pressure comp. 6"},
    {14, "err_a14_high_pressure_6", "A14 high pressure comp. 6"},
    {15, "err_a15_water_flow", "A15 cooling water flow"},
    {16, "err_init", "Init / system blocked"},
};

double tenthsAt(const std::uint8_t* p) { return static_cast<std::int16_t>(readLe16(p)) / 10.0; }

// Returns the flags word; the caller picks the temperature copies by it.
std::uint16_t decodeK(const std::uint8_t* s, MonitorSample& out)
{
    using R = MonitorStatusK;
    const std::uint16_t flags = readLe16(s + offsetof(R, flags));
    const bool f = (flags & 1) != 0;
    out.firmware = readLe16(s + offsetof(R, firmware));
    out.outputs = s[offsetof(R, outputs)];
    out.inputs = s[offsetof(R, inputs)];
    out.blowerPower[0] = s[offsetof(R, blowerPower)];
    out.temperature[0] = tenthsAt(s + (f ? offsetof(R, evaporatorF) : offsetof(R, evaporatorC)));
    out.temperature[1] = tenthsAt(s + (f ? offsetof(R, roomF) : offsetof(R, roomC)));
    out.mainsVoltage = readLe16(s + offsetof(R, mainsVoltage));
    out.errorBits = readLe16(s + offsetof(R, errorWord));
    out.functionMode = s[offsetof(R, functionMode)];
    return flags;
}

std::uint16_t decodeM(const std::uint8_t* s, MonitorSample& out)
{
    using R = MonitorStatusM;
    const std::uint16_t flags = readLe16(s + offsetof(R, flags));
    const bool f = (flags & 1) != 0;
    out.firmware = readLe16(s + offsetof(R, firmware));
    out.outputs = readLe32(s + offsetof(R, outputs));
    out.inputs = readLe32(s + offsetof(R, inputs));
    out.blowerPower[0] = s[offsetof(R, blowerPower)];
    out.blowerPower[1] = s[offsetof(R, blowerPower) + 1];
    out.temperature[0] = tenthsAt(s + (f ? offsetof(R, waterF) : offsetof(R, waterC)));
    out.temperature[1] = tenthsAt(s + (f ? offsetof(R, roomF) : offsetof(R, roomC)));
    out.mainsVoltage = readLe16(s + offsetof(R, mainsVoltage));
    out.mainsFrequency = s[offsetof(R, mainsFrequency)];
    out.errorBits = readLe32(s + offsetof(R, errorBits));
    out.functionMode = s[offsetof(R, functionMode)];
    return flags;
}

void addField(std::string& line, const char* text)
{
    line += ',';
    line += text;
}

void addNumber(std::string& line, long long value) { addField(line, std::to_string(value).c_str()); }

void addTemperature(std::string& line, double degrees)
{
    char field[monitorTextSize];
    formatTenths(static_cast<std::int32_t>(std::lround(degrees * 10)), field);
    addField(line, field);
}

void addWord(std::string& line, Family family, std::uint32_t word)
{
    char field[monitorTextSize];
    if (family == Family::m)
        formatHex8(word, field);
    else
        formatHex4(static_cast<std::uint16_t>(word), field);
    line += ",0x";
    line += field;
}

void addBits(std::string& line, std::span<const MonitorBitName> names, std::uint32_t word)
{
    for (const MonitorBitName& name : names)
        addField(line, ((word >> name.bit) & 1u) != 0 ? "1" : "0");
}

void addTimestamp(std::string& line, const std::string& timestamp)
{
    if (timestamp.find_first_of(",\"\r\n") == std::string::npos) {
        line += timestamp;
        return;
    }
    line += '"';
    for (char c : timestamp) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

} // namespace

std::span<const MonitorBitName> monitorOutputBits(Family family)
{
    if (family == Family::m)
        return outputsM;
    return outputsK;
}

std::span<const MonitorBitName> monitorErrorBits(Family family)
{
    if (family == Family::m)
        return errorsM;
    return errorsK;
}

void appendFixed(std::string& out, double value, int decimals)
{
    decimals = std::clamp(decimals, 0, 9);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    double scaled = value * static_cast<double>(scale);
    if (std::isnan(scaled)) {
        out += "nan";
        return;
    }
    // Clamped, as llround is not defined beyond long long.
    scaled = std::clamp(scaled, -1e17, 1e17);
    const long long n = std::llround(scaled);
    const unsigned long long magnitude = n < 0 ? 0ull - static_cast<unsigned long long>(n)
                                               : static_cast<unsigned long long>(n);
    if (n < 0)
        out += '-';
    out += std::to_string(magnitude / static_cast<unsigned long long>(scale));
    if (decimals == 0)
        return;
    const std::string fraction = std::to_string(magnitude % static_cast<unsigned long long>(scale));
    out += '.';
    out.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
    out += fraction;
}

bool decodeMonitorSample(Family family, const std::uint8_t* status, std::size_t length, double seconds,
                         MonitorSample& out)
{
    const std::size_t need = family == Family::m ? sizeof(MonitorStatusM) : sizeof(MonitorStatusK);
    if (!status || length < need)
        return false;
    MonitorSample sample;
    sample.seconds = seconds;
    const std::uint16_t flags = family == Family::m ? decodeM(status, sample) : decodeK(status, sample);
    sample.fahrenheit = (flags & 0x0001) != 0;
    sample.switchedOn = (flags & 0x8000) != 0;
    out = sample;
    return true;
}

std::string monitorLogHeader(Family family)
{
    const bool m = family == Family::m;
    std::string line = "timestamp,seconds,on,unit";
    line += m ? ",water,room,mains_voltage,mains_frequency,blower1_power,blower2_power"
              : ",evaporator,room,mains_voltage,blower_power";
    line += ",function_mode,firmware,outputs";
    for (const MonitorBitName& name : monitorOutputBits(family))
        addField(line, name.column);
    line += ",errors";
    for (const MonitorBitName& name : monitorErrorBits(family))
        addField(line, name.column);
    line += ",inputs\n";
    return line;
}

std::string monitorLogLine(Family family, const std::string& timestamp, const MonitorSample& sample)
{
    const bool m = family == Family::m;
    char field[monitorTextSize];
    std::string line;
    addTimestamp(line, timestamp);
    line += ',';
    appendFixed(line, sample.seconds, 3);
    addField(line, sample.switchedOn ? "1" : "0");
    addField(line, sample.fahrenheit ? "F" : "C");
    addTemperature(line, sample.temperature[0]);
    addTemperature(line, sample.temperature[1]);
    addNumber(line, sample.mainsVoltage);
    if (m)
        addNumber(line, sample.mainsFrequency);
    addNumber(line, sample.blowerPower[0]);
    if (m)
        addNumber(line, sample.blowerPower[1]);
    if (m)
        formatFunctionModeM(sample.functionMode, field);
    else
        formatFunctionModeK(sample.functionMode, field);
    addField(line, field);
    formatFirmware(sample.firmware, field);
    addField(line, field);
    addWord(line, family, sample.outputs);
    addBits(line, monitorOutputBits(family), sample.outputs);
    addWord(line, family, sample.errorBits);
    addBits(line, monitorErrorBits(family), sample.errorBits);
    addWord(line, family, sample.inputs);
    line += '\n';
    return line;
}
