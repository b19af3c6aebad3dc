#include "monitor/monitor_format.h"

#include <cstdio>

void formatTenths(std::int32_t tenths, char* out)
{
    if (tenths >= 0) {
        std::snprintf(out, monitorTextSize, "%d.%d", static_cast<int>(tenths / 10),
                      static_cast<int>(tenths % 10));
        return;
    }
    // Magnitude computed unsigned, so even the most negative value has one.
    const unsigned int magnitude = 0u - static_cast<unsigned int>(tenths);
    std::snprintf(out, monitorTextSize, "-%u.%u", magnitude / 10, magnitude % 10);
}

void formatDecimal(std::int32_t value, char* out)
{
    std::snprintf(out, monitorTextSize, "%d", static_cast<int>(value));
}

// unsigned int is 32 bits on every target, unlike long, so "%X" gives the
// same digits on Windows and Linux.
void formatHex4(std::uint16_t value, char* out)
{
    std::snprintf(out, monitorTextSize, "%.4X", static_cast<unsigned int>(value));
}

void formatHex8(std::uint32_t value, char* out)
{
    std::snprintf(out, monitorTextSize, "%.8X", static_cast<unsigned int>(value));
}

void formatFunctionModeK(std::uint8_t mode, char* out)
{
    if (mode == 3)
        std::snprintf(out, monitorTextSize, "F7");
    else
        std::snprintf(out, monitorTextSize, "F%d", mode + 1);
}

void formatFunctionModeM(std::uint8_t mode, char* out)
{
    static const char* const names[6] = {"F1", "F2", "F3", "F4", "F5", "F7"};
    std::snprintf(out, monitorTextSize, "%s", mode < 6 ? names[mode] : "F?");
}

void formatFirmware(std::uint16_t version, char* out)
{
    out[0] = static_cast<char>('0' + ((version >> 8) & 0xF));
    out[1] = '.';
    out[2] = static_cast<char>('0' + ((version >> 4) & 0xF));
    out[3] = static_cast<char>('0' + (version & 0xF));
    out[4] = '\0';
}
