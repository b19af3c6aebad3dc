#pragma once
#include <cstdint>

// Texts of the monitors' value fields. Every function writes a zero-terminated
// text of at most 15 characters into out (16 bytes), the same on every
// platform.
inline constexpr int monitorTextSize = 16;

// Tenths of a unit with one decimal: 235 "23.5", -5 "-0.5", -123 "-12.3".
void formatTenths(std::int32_t tenths, char* out);
// Plain decimal ("%d").
void formatDecimal(std::int32_t value, char* out);
// Upper-case hexadecimal with exactly 4 or 8 digits.
void formatHex4(std::uint16_t value, char* out);
void formatHex8(std::uint32_t value, char* out);
// Function modes: K-Series shows mode 3 as "F7" and every other m as F(m+1);
// M-Series shows 0-5 as F1-F5, F7 and anything above as "F?".
void formatFunctionModeK(std::uint8_t mode, char* out);
void formatFunctionModeM(std::uint8_t mode, char* out);
// Firmware version word as "d.dd" from bits 8-11, 4-7, 0-3; each digit is
// '0' plus the nibble, so 10-15 become ':' to '?'. Bits 12-15 are not shown.
void formatFirmware(std::uint16_t version, char* out);
