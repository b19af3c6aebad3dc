#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Builds unit data the way the unit lays it out: little-endian fields.
inline void putLe(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

// A protocol entry at byte offset at: error code and error counter (two
// bytes each), then four-byte fields in the order the unit sends them.
inline void putEntry(std::vector<unsigned char>& bytes, std::size_t at,
                     std::initializer_list<std::uint32_t> fields)
{
    int k = 0;
    for (std::uint32_t value : fields) {
        const int size = k++ < 2 ? 2 : 4;
        putLe(bytes, at, value, size);
        at += size;
    }
}

inline std::string asString(const std::vector<unsigned char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
