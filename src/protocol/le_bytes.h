#pragma once
#include <cstdint>

// Little-endian fields of unit records, read byte by byte so the host's own
// byte order and alignment never matter.
inline std::uint16_t readLe16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
         | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::int32_t readLe32Signed(const unsigned char* p)
{
    return static_cast<std::int32_t>(readLe32(p));
}
