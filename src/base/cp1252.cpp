#include "base/cp1252.h"

namespace {
// UTF-16 for bytes 0x80..0x9F; 0 marks the five unassigned bytes.
const std::uint16_t highControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
} // namespace

char cp1252FromUtf16(std::uint16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return static_cast<char>(unit);
    for (int i = 0; i < 32; ++i)
        if (highControls[i] != 0 && highControls[i] == unit)
            return static_cast<char>(0x80 + i);
    return '?';
}

std::uint16_t utf16FromCp1252(char byte)
{
    auto value = static_cast<unsigned char>(byte);
    if (value >= 0x80 && value <= 0x9F)
        return highControls[value - 0x80] ? highControls[value - 0x80] : u'?';
    return value;
}
