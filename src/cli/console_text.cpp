#include "cli/console_text.h"

#include <cstdio>

#include "base/cp1252.h"

namespace {

void appendUtf8(std::string& out, std::uint16_t unit)
{
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

} // namespace

std::string utf8FromCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        appendUtf8(out, utf16FromCp1252(c));
    return out;
}

std::string terminalTextFromCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const std::uint16_t unit = utf16FromCp1252(c);
        if (unit < 0x20 || unit == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(unit));
            out += escaped;
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}
