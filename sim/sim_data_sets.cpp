#include "sim_data_sets.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/le_bytes.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "link/report_format.h"
#include "protocol/protocol_entries.h"
#include "protocol/run_counters.h"

namespace {

void put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    writeLe16(bytes.data() + at, static_cast<std::uint16_t>(value));
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    writeLe32(bytes.data() + at, value);
}

constexpr std::uint8_t configurationBlockSize = 32;
constexpr std::uint8_t countersBlockSize = 32;

// Compressor i of an M-Series unit runs a little less than the one before.
std::uint32_t compressorShare(std::uint32_t value, int compressor)
{
    return value / 100 * static_cast<std::uint32_t>(95 - 7 * compressor);
}

void writeProtocolEntryK(std::vector<std::uint8_t>& bytes, std::uint32_t i)
{
    const std::size_t at = static_cast<std::size_t>(i) * sizeof(ProtocolEntryK);
    const std::uint32_t onTime = 36000 + i * 5400 + (i * 37) % 600;
    put16(bytes, at + offsetof(ProtocolEntryK, errorCode), 1u << (i % 7));
    put16(bytes, at + offsetof(ProtocolEntryK, errorCounter), i / 7 + 1);
    put32(bytes, at + offsetof(ProtocolEntryK, onTime), onTime);
    put32(bytes, at + offsetof(ProtocolEntryK, coolTime), onTime / 10 * 6);
    put32(bytes, at + offsetof(ProtocolEntryK, heatTime), onTime / 10 * 2);
    put32(bytes, at + offsetof(ProtocolEntryK, startCounter), 40 + i * 9);
    put32(bytes, at + offsetof(ProtocolEntryK, eventCounter), i + 1);
}

void writeProtocolEntryM(std::vector<std::uint8_t>& bytes, std::uint32_t i)
{
    const std::size_t at = static_cast<std::size_t>(i) * sizeof(ProtocolEntryM);
    const std::uint32_t onTime = 72000 + i * 7200 + (i * 53) % 900;
    put16(bytes, at + offsetof(ProtocolEntryM, errorCode), i % 17);
    put16(bytes, at + offsetof(ProtocolEntryM, errorCounter), i / 17 + 1);
    put32(bytes, at + offsetof(ProtocolEntryM, onTime), onTime);
    put32(bytes, at + offsetof(ProtocolEntryM, coolTime), onTime / 10 * 7);
    put32(bytes, at + offsetof(ProtocolEntryM, heatTime), onTime / 10);
    for (int c = 0; c < 6; ++c) {
        put32(bytes, at + offsetof(ProtocolEntryM, startCounters) + 4 * c, compressorShare(100 + i * 12, c));
        put32(bytes, at + offsetof(ProtocolEntryM, runTimes) + 4 * c, compressorShare(onTime / 10 * 7, c));
    }
    put32(bytes, at + offsetof(ProtocolEntryM, eventCounter), i + 1);
}

} // namespace

std::uint32_t maxProtocolEntries(char family)
{
    const std::size_t bytes = 65534u * blockDataField;
    return static_cast<std::uint32_t>(bytes / (family == 'M' ? sizeof(ProtocolEntryM) : sizeof(ProtocolEntryK)));
}

std::vector<std::uint8_t> factoryConfiguration(char family)
{
    const auto* start = family == 'M' ? reinterpret_cast<const std::uint8_t*>(&mSeriesDefaultParameters)
                                      : reinterpret_cast<const std::uint8_t*>(&kSeriesDefaultParameters);
    const std::size_t size = family == 'M' ? mSeriesParameterBlockSize : kSeriesParameterBlockSize;
    return std::vector<std::uint8_t>(start, start + size);
}

std::vector<std::uint8_t> runningCounters(char family)
{
    if (family == 'M') {
        std::vector<std::uint8_t> bytes(sizeof(RunCountersM), 0);
        put32(bytes, offsetof(RunCountersM, onTime), 9876543);
        put32(bytes, offsetof(RunCountersM, coolTime), 6543210);
        put32(bytes, offsetof(RunCountersM, heatTime), 1234567);
        for (int c = 0; c < 6; ++c) {
            put32(bytes, offsetof(RunCountersM, startCounters) + 4 * c, compressorShare(21000, c));
            put32(bytes, offsetof(RunCountersM, runTimes) + 4 * c, compressorShare(6543210, c));
        }
        for (int e = 0; e < 17; ++e)
            put16(bytes, offsetof(RunCountersM, errorCounters) + 2 * e, static_cast<std::uint32_t>((e * 7) % 11));
        return bytes;
    }
    std::vector<std::uint8_t> bytes(sizeof(RunCountersK), 0);
    put32(bytes, offsetof(RunCountersK, onTime), 4567890);
    put32(bytes, offsetof(RunCountersK, coolTime), 2901234);
    put32(bytes, offsetof(RunCountersK, heatTime), 812345);
    put32(bytes, offsetof(RunCountersK, startCounter), 15432);
    const std::uint16_t errors[7] = {3, 1, 0, 2, 0, 5, 12};
    for (int e = 0; e < 7; ++e)
        put16(bytes, offsetof(RunCountersK, errorCounters) + 2 * e, errors[e]);
    return bytes;
}

std::vector<std::uint8_t> failureProtocol(char family, std::uint32_t count)
{
    const bool m = family == 'M';
    if (count > maxProtocolEntries(family))
        count = maxProtocolEntries(family);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count) * (m ? sizeof(ProtocolEntryM) : sizeof(ProtocolEntryK)));
    for (std::uint32_t i = 0; i < count; ++i) {
        if (m)
            writeProtocolEntryM(bytes, i);
        else
            writeProtocolEntryK(bytes, i);
    }
    return bytes;
}

void fillFamilyDataSets(SimBlockStore& store, char family, const std::vector<std::uint8_t>& configuration,
                        std::uint32_t protocolEntries)
{
    if (protocolEntries > maxProtocolEntries(family))
        protocolEntries = maxProtocolEntries(family);
    setSimDataSet(store, cmdReadConfiguration, configuration, configurationBlockSize, 1);
    setSimDataSet(store, cmdReadCounters, runningCounters(family), countersBlockSize, 1);
    setSimDataSet(store, cmdReadProtocol, failureProtocol(family, protocolEntries),
                  static_cast<std::uint8_t>(blockDataField),
                  static_cast<std::uint16_t>(protocolEntries > 0xFFFF ? 0xFFFF : protocolEntries));
}

bool loadEepromImage(const std::string& path, char family, std::vector<std::uint8_t>& configuration,
                     std::string& error)
{
    const std::size_t size = family == 'M' ? mSeriesParameterBlockSize : kSeriesParameterBlockSize;
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (!std::filesystem::exists(status)) {
        configuration = factoryConfiguration(family);
        if (!saveEepromImage(path, configuration)) {
            error = "cannot create " + path;
            return false;
        }
        return true;
    }
    // A folder cannot be read, a device may never end: only a file will do.
    if (!std::filesystem::is_regular_file(status)) {
        error = path + " is not a file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    // One byte more than the image tells a longer file from the right one.
    std::vector<std::uint8_t> bytes(size + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read " + path;
        return false;
    }
    if (got != size) {
        error = path + " is not a " + (family == 'M' ? "M" : "K") + "-Series EEPROM image (" +
                std::to_string(size) + " bytes)";
        return false;
    }
    bytes.resize(size);
    configuration = bytes;
    return true;
}

bool saveEepromImage(const std::string& path, const std::vector<std::uint8_t>& configuration)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(configuration.data(), 1, configuration.size(), file) == configuration.size();
    return std::fclose(file) == 0 && written;
}
