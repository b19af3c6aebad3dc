#pragma once
#include <cstddef>
#include <cstdint>

// CRC-16/MODBUS (reflected polynomial 0xA001, start 0xFFFF, no final XOR).
// Stored low byte first after the data it covers, so the CRC over data plus
// CRC is 0.
std::uint16_t crc16(const void* data, std::size_t count);
