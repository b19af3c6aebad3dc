#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The unit found by the last successful findDevice; empty before the first
// search and from the start of each search until a unit is found. Survives
// stopLink.
extern std::string devicePath;

inline constexpr std::size_t productStringChars = 64;

// Searches the present devices for vendor 0xC251 / product 0x1C01 and keeps
// the first match's path. The unit is not left open.
bool findDevice();

// Opens the unit by devicePath, reads its product string into out (at most
// 64 characters, always terminated) and closes it again.
bool readProductString(char out[productStringChars + 1]);

// Windows-1252 text from the driver's UTF-16 product string: at most 64
// code units, ending at the first zero.
void productTextFromUnits(const std::uint16_t* units128, char out[productStringChars + 1]);
