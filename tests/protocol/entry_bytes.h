#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Builds unit data the way the unit lays it out: little-endian fields.
inline void putLe16(std::vector<unsigned char>& bytes, std::size_t at, std::uint16_t value)
{
    bytes.at(at) = static_cast<unsigned char>(value);
    bytes.at(at + 1) = static_cast<unsigned char>(value >> 8);
}

inline void putLe32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

struct RawEntryK {
    std::uint16_t code, counter;
    std::uint32_t on, cool, heat, starts, event;
};

struct RawEntryM {
    std::uint16_t code, counter;
    std::uint32_t on, cool, heat, starts[6], runs[6], event;
};

inline void putEntryK(std::vector<unsigned char>& bytes, std::size_t index, const RawEntryK& e)
{
    const std::size_t at = 24 * index;
    putLe16(bytes, at, e.code);
    putLe16(bytes, at + 2, e.counter);
    putLe32(bytes, at + 4, e.on);
    putLe32(bytes, at + 8, e.cool);
    putLe32(bytes, at + 12, e.heat);
    putLe32(bytes, at + 16, e.starts);
    putLe32(bytes, at + 20, e.event);
}

inline void putEntryM(std::vector<unsigned char>& bytes, std::size_t index, const RawEntryM& e)
{
    const std::size_t at = 68 * index;
    putLe16(bytes, at, e.code);
    putLe16(bytes, at + 2, e.counter);
    putLe32(bytes, at + 4, e.on);
    putLe32(bytes, at + 8, e.cool);
    putLe32(bytes, at + 12, e.heat);
    for (int c = 0; c < 6; ++c) {
        putLe32(bytes, at + 16 + 4 * c, e.starts[c]);
        putLe32(bytes, at + 40 + 4 * c, e.runs[c]);
    }
    putLe32(bytes, at + 64, e.event);
}

inline std::string asString(const std::vector<unsigned char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
