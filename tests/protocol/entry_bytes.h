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

// Protocol entries of entrySize bytes each, zeros unless given: error code
// and error counter (two bytes each), then four-byte fields in the order the
// unit sends them. An empty list leaves its entry zero.
inline std::vector<unsigned char> entryBytes(std::size_t entrySize,
                                             std::initializer_list<std::initializer_list<std::uint32_t>> entries)
{
    std::vector<unsigned char> bytes(entrySize * entries.size(), 0);
    std::size_t at = 0;
    for (const auto& fields : entries) {
        std::size_t field = at;
        int k = 0;
        for (std::uint32_t value : fields) {
            const int size = k++ < 2 ? 2 : 4;
            putLe(bytes, field, value, size);
            field += size;
        }
        at += entrySize;
    }
    return bytes;
}

inline std::string asString(const std::vector<unsigned char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
