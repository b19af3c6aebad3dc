#pragma once
#include <cstddef>
#include <cstdint>

#include "app/family.h"
#include "link/data_set_request.h"

// Failure-protocol entries as the unit sends them: back to back from the
// start of the protocol buffer, entry i at 24 * i (K-Series) or 68 * i
// (M-Series), whatever the 48-byte blocks they arrived in.

inline constexpr std::size_t protocolBufferSize = 2 * 1024 * 1024;
inline constexpr std::size_t protocolBlockSize = dataSetBlockSize(DataSet::protocol);

#pragma pack(push, 1)
struct ProtocolEntryK {
    std::uint16_t errorCode;     // one bit per failure kind
    std::uint16_t errorCounter;
    std::uint32_t onTime;        // seconds
    std::uint32_t coolTime;
    std::uint32_t heatTime;
    std::uint32_t startCounter;
    std::uint32_t eventCounter;
};

struct ProtocolEntryM {
    std::uint16_t errorCode;     // failure number 0 to 16
    std::uint16_t errorCounter;
    std::uint32_t onTime;        // seconds
    std::uint32_t coolTime;
    std::uint32_t heatTime;
    std::uint32_t startCounters[6];
    std::uint32_t runTimes[6];   // seconds
    std::uint32_t eventCounter;
};
#pragma pack(pop)

static_assert(sizeof(ProtocolEntryK) == 24);
static_assert(offsetof(ProtocolEntryK, errorCounter) == 2);
static_assert(offsetof(ProtocolEntryK, onTime) == 4);
static_assert(offsetof(ProtocolEntryK, coolTime) == 8);
static_assert(offsetof(ProtocolEntryK, heatTime) == 12);
static_assert(offsetof(ProtocolEntryK, startCounter) == 16);
static_assert(offsetof(ProtocolEntryK, eventCounter) == 20);

static_assert(sizeof(ProtocolEntryM) == 68);
static_assert(offsetof(ProtocolEntryM, errorCounter) == 2);
static_assert(offsetof(ProtocolEntryM, onTime) == 4);
static_assert(offsetof(ProtocolEntryM, coolTime) == 8);
static_assert(offsetof(ProtocolEntryM, heatTime) == 12);
static_assert(offsetof(ProtocolEntryM, startCounters) == 16);
static_assert(offsetof(ProtocolEntryM, runTimes) == 40);
static_assert(offsetof(ProtocolEntryM, eventCounter) == 64);

static_assert(protocolBufferSize / sizeof(ProtocolEntryK) == 87381);
static_assert(protocolBufferSize / sizeof(ProtocolEntryM) == 30840);

// 24 for the K-Series, 68 for the M-Series.
std::size_t protocolEntrySize(Family family);

// The protocol as the display and the writers see it: the buffer with its
// size and the entry count, which they never trust beyond the buffer.
struct ProtocolData {
    const unsigned char* bytes;
    std::size_t size;
    std::int32_t count;
};

// Entries that can be read: count, but none below 0 and none that would not
// lie wholly inside the buffer.
std::int32_t readableEntries(const ProtocolData& protocol, Family family);

// Entry index, decoded little-endian. False (entry untouched) when it is not
// wholly inside the buffer.
bool readProtocolEntryK(const unsigned char* bytes, std::size_t size, std::int32_t index,
                        ProtocolEntryK& entry);
bool readProtocolEntryM(const unsigned char* bytes, std::size_t size, std::int32_t index,
                        ProtocolEntryM& entry);

// The entry count a transfer may claim: the count the unit announced, but no
// more entries than fit in the buffer's capacity nor than the bytes the
// transfer actually delivered (both in bytes). Never negative.
std::int32_t clampProtocolCount(std::int64_t announced, Family family,
                                std::size_t capacity, std::size_t delivered);
