#include "base/crc16.h"

namespace {

// One table entry per byte value: the register after shifting that byte
// through eight rounds. Built at compile time from the bitwise rule.
struct Crc16Table {
    std::uint16_t entry[256];
    constexpr Crc16Table() : entry() {
        for (unsigned value = 0; value < 256; ++value) {
            std::uint16_t reg = static_cast<std::uint16_t>(value);
            for (int bit = 0; bit < 8; ++bit)
                reg = (reg & 1u) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001u)
                                 : static_cast<std::uint16_t>(reg >> 1);
            entry[value] = reg;
        }
    }
};

constexpr Crc16Table table;

} // namespace

std::uint16_t crc16(const void* data, std::size_t count)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint16_t reg = 0xFFFF;
    for (std::size_t i = 0; i < count; ++i)
        reg = static_cast<std::uint16_t>((reg >> 8) ^ table.entry[(reg ^ bytes[i]) & 0xFFu]);
    return reg;
}
