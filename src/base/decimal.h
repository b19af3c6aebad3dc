#pragma once
#include <cstdint>

// Decimal text to a 32-bit value, read from the right. An optional '-' or '+'
// may stand left of the digits; anything else (blanks included) gives 65535.
// Arithmetic wraps without a check; the empty text gives 0.
std::int32_t parseDecimal(const char* text);
