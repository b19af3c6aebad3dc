#include "protocol/protocol_entries.h"

#include "base/le_bytes.h"

std::size_t protocolEntrySize(Family family)
{
    return family == Family::k ? sizeof(ProtocolEntryK) : sizeof(ProtocolEntryM);
}

namespace {

bool entryInside(std::size_t size, std::int32_t index, std::size_t entrySize)
{
    return index >= 0 && static_cast<std::size_t>(index) < size / entrySize;
}

} // namespace

std::int32_t readableEntries(const ProtocolData& protocol, Family family)
{
    if (!protocol.bytes)
        return 0;
    return clampProtocolCount(protocol.count, family, protocol.size, protocol.size);
}

bool readProtocolEntryK(const unsigned char* bytes, std::size_t size, std::int32_t index,
                        ProtocolEntryK& entry)
{
    if (!bytes || !entryInside(size, index, sizeof(ProtocolEntryK)))
        return false;
    const unsigned char* p = bytes + sizeof(ProtocolEntryK) * static_cast<std::size_t>(index);
    entry.errorCode = readLe16(p);
    entry.errorCounter = readLe16(p + 2);
    entry.onTime = readLe32(p + 4);
    entry.coolTime = readLe32(p + 8);
    entry.heatTime = readLe32(p + 12);
    entry.startCounter = readLe32(p + 16);
    entry.eventCounter = readLe32(p + 20);
    return true;
}

bool readProtocolEntryM(const unsigned char* bytes, std::size_t size, std::int32_t index,
                        ProtocolEntryM& entry)
{
    if (!bytes || !entryInside(size, index, sizeof(ProtocolEntryM)))
        return false;
    const unsigned char* p = bytes + sizeof(ProtocolEntryM) * static_cast<std::size_t>(index);
    entry.errorCode = readLe16(p);
    entry.errorCounter = readLe16(p + 2);
    entry.onTime = readLe32(p + 4);
    entry.coolTime = readLe32(p + 8);
    entry.heatTime = readLe32(p + 12);
    for (int c = 0; c < 6; ++c) {
        entry.startCounters[c] = readLe32(p + 16 + 4 * c);
        entry.runTimes[c] = readLe32(p + 40 + 4 * c);
    }
    entry.eventCounter = readLe32(p + 64);
    return true;
}

std::int32_t clampProtocolCount(std::int64_t announced, Family family,
                                std::size_t capacity, std::size_t delivered)
{
    if (announced <= 0)
        return 0;
    const std::size_t entrySize = protocolEntrySize(family);
    const std::size_t bytes = capacity < delivered ? capacity : delivered;
    const std::size_t fit = bytes / entrySize;
    if (static_cast<std::uint64_t>(announced) > fit)
        return static_cast<std::int32_t>(fit > 0x7FFFFFFF ? 0x7FFFFFFF : fit);
    return static_cast<std::int32_t>(announced > 0x7FFFFFFF ? 0x7FFFFFFF : announced);
}
