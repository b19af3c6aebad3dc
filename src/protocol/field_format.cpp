#include "protocol/field_format.h"

namespace {

const char* const namesK[7] = {"_AAA", "_A01", "_A02", "_A09", "_A10", "_Init", "_TA11"};

} // namespace

char* appendUnsigned(char* out, std::uint32_t value)
{
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

char* appendDecimal(char* out, std::int32_t value)
{
    if (value >= 0)
        return appendUnsigned(out, static_cast<std::uint32_t>(value));
    *out++ = '-';
    // Negating in unsigned arithmetic keeps INT32_MIN intact.
    return appendUnsigned(out, 0u - static_cast<std::uint32_t>(value));
}

char* appendTenthHours(char* out, std::uint32_t seconds)
{
    out = appendUnsigned(out, seconds / 3600);
    *out++ = '.';
    return appendUnsigned(out, seconds / 360 % 10);
}

char* appendProtocolHours(char* out, std::uint32_t seconds)
{
    out = appendUnsigned(out, seconds / 3600);
    *out++ = ',';
    out = appendUnsigned(out, seconds / 360 % 10);
    *out++ = ' ';
    *out++ = 'h';
    return out;
}

char* appendErrorNameK(char* out, std::uint16_t code)
{
    for (int bit = 0; bit < 7; ++bit)
        if (code == (1u << bit))
            return appendText(out, namesK[bit]);
    static const char hex[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4)
        *out++ = hex[(code >> shift) & 0xF];
    return out;
}

char* appendErrorNameM(char* out, std::uint16_t code)
{
    if (code == 0)
        return appendText(out, "_AAA");
    if (code == 16)
        return appendText(out, "_Init");
    if (code > 16)
        return appendText(out, "???");
    *out++ = '_';
    *out++ = 'A';
    *out++ = static_cast<char>('0' + code / 10);
    *out++ = static_cast<char>('0' + code % 10);
    return out;
}

char* appendText(char* out, const char* text)
{
    while (*text)
        *out++ = *text++;
    return out;
}
