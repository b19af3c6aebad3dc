#pragma once
#include <cstdint>

// Little-endian fields of reports, unit records and files, read and written
// byte by byte so the host's own byte order and alignment never matter.
inline std::uint16_t readLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
         | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t readLe32Signed(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(readLe32(p));
}

inline void writeLe16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void writeLe32(std::uint8_t* p, std::uint32_t value)
{
    writeLe16(p, static_cast<std::uint16_t>(value & 0xFFFF));
    writeLe16(p + 2, static_cast<std::uint16_t>(value >> 16));
}
