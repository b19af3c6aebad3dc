#include "base/decimal.h"

#include <cstring>

std::int32_t parseDecimal(const char* text)
{
    // Unsigned arithmetic: the value wraps modulo 2^32 instead of overflowing.
    std::uint32_t value = 0;
    std::uint32_t factor = 1;
    std::size_t i = std::strlen(text);
    while (i > 0) {
        const char c = text[--i];
        if (c >= '0' && c <= '9') {
            value += static_cast<std::uint32_t>(c - '0') * factor;
            factor *= 10;
            continue;
        }
        if (c == '-')
            return static_cast<std::int32_t>(0u - value);
        if (c == '+')
            return static_cast<std::int32_t>(value);
        return 65535;
    }
    return static_cast<std::int32_t>(value);
}
