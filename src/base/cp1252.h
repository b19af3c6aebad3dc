#pragma once
#include <cstdint>

// Windows-1252 <-> UTF-16 for the few texts that cross the device boundary
// (the product string). Unmappable characters become '?'.
char cp1252FromUtf16(std::uint16_t unit);
std::uint16_t utf16FromCp1252(char byte);
