#include "sim_options.h"

#include <cstdlib>
#include <cstring>

#include "link/cp1252.h"
#include "sim_data_sets.h"

namespace {

// A product text typed in a UTF-8 terminal becomes Windows-1252, as the
// program shows it; text that is not UTF-8 is taken as Windows-1252 already.
std::string productText(const char* typed)
{
    std::string result;
    const auto* at = reinterpret_cast<const unsigned char*>(typed);
    while (*at) {
        unsigned int point = *at;
        int extra = point < 0x80 ? 0 : (point & 0xE0) == 0xC0 ? 1 : (point & 0xF0) == 0xE0 ? 2 : -1;
        if (extra < 0)
            return typed;
        if (extra > 0)
            point &= extra == 1 ? 0x1F : 0x0F;
        for (int i = 1; i <= extra; ++i) {
            if ((at[i] & 0xC0) != 0x80)
                return typed;
            point = (point << 6) | (at[i] & 0x3F);
        }
        result += cp1252FromUtf16(static_cast<std::uint16_t>(point));
        at += extra + 1;
    }
    return result;
}

// Decimal or 0x-hex, within limit.
bool parseNumber(const char* text, std::uint32_t limit, std::uint32_t& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    unsigned long long parsed = std::strtoull(hex ? text + 2 : text, &end, hex ? 16 : 10);
    if (*end != '\0' || end == (hex ? text + 2 : text) || text[0] == '-' || parsed > limit)
        return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool parseFirmware(const char* text, std::uint8_t& major, std::uint8_t& minor)
{
    const char* dot = text ? std::strchr(text, '.') : nullptr;
    if (!dot)
        return false;
    std::string majorText(text, static_cast<std::size_t>(dot - text));
    std::uint32_t a = 0, b = 0;
    if (!parseNumber(majorText.c_str(), 15, a) || !parseNumber(dot + 1, 255, b))
        return false;
    major = static_cast<std::uint8_t>(a);
    minor = static_cast<std::uint8_t>(b);
    return true;
}

} // namespace

const char* simUsage()
{
    return "usage: kavix-unitsim --family K|M [options]\n"
           "  --port N              TCP port (default 47251, 0 = any free port)\n"
           "  --host ADDR           listen address (default 127.0.0.1)\n"
           "  --kind N              unit kind reported (default 1 for K, 2 for M)\n"
           "  --firmware MAJ.MIN    firmware version (default 1.23 K, 2.04 M)\n"
           "  --product TEXT        USB product string\n"
           "  --vid N, --pid N      USB vendor / product id (default 0xC251 / 0x1C01)\n"
           "  --switched-off        the unit is switched off (manual control allowed)\n"
           "  --fahrenheit          the unit shows temperatures in degrees F\n"
           "  --errors N            error bits of the status record\n"
           "  --mode N              function mode\n"
           "  --answer-f0           answer polls with code 0xF0 instead of 0x50\n"
           "  --eeprom FILE         keep the configuration in FILE (created with the defaults)\n"
           "  --protocol-entries N  entries of the failure protocol (default 25)\n"
           "  --frame-ms N          USB frames of N ms: a request is taken in at the next frame,\n"
           "                        its answer leaves at the one after (full speed: 1)\n"
           "faults (N counts per connection):\n"
           "  --drop-every N        swallow every Nth answer\n"
           "  --duplicate-every N   repeat the previous answer before every Nth answer\n"
           "  --wrong-code-every N  answer every Nth request with an unexpected code\n"
           "  --mismatch-type       poll answers carry answer type 2\n"
           "  --delay-ms N          delay every answer by N ms\n"
           "  --silent-after N      stop answering after N answers\n"
           "  --disconnect-after N  close the connection after N requests\n"
           "block-transfer faults (each acts once per connection, blocks count from 0):\n"
           "  --out-of-order-block N  send block N+1 when block N is due\n"
           "  --repeat-block N      send block N again after its acknowledgement\n"
           "  --bad-crc-block N     send block N with a wrong CRC\n"
           "  --refuse              refuse every block transfer (0x51)\n"
           "  --announce-answer C   answer a write announcement with 0x52 or 0x53\n"
           "  --eeprom-fails        answer the last written block with 0x62\n"
           "  --resend-from N       answer the first last block with 0x63 naming block N\n"
           "  --busy C              answer 0x64 or 0xF0 before each written block's acknowledgement\n";
}

bool parseSimCommandLine(int argc, const char* const* argv, SimCommandLine& out, std::string& error)
{
    // The family decides the defaults, so find it first.
    char family = 'K';
    bool haveFamily = false;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--family") == 0) {
            const char* value = argv[i + 1];
            if ((value[0] == 'K' || value[0] == 'k' || value[0] == 'M' || value[0] == 'm') && value[1] == '\0') {
                family = static_cast<char>(value[0] & ~0x20);
                haveFamily = true;
            }
        }
    }
    out = SimCommandLine{};
    out.unit = defaultSimOptions(family);
    SimOptions& unit = out.unit;
    SimFaults& faults = unit.faults;

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::uint32_t number = 0;
        auto numeric = [&](std::uint32_t limit) {
            if (!parseNumber(value, limit, number)) {
                error = "bad value for " + option;
                return false;
            }
            ++i;
            return true;
        };
        if (option == "--help" || option == "-h") {
            out.help = true;
        } else if (option == "--family") {
            if (!haveFamily) {
                error = "--family takes K or M";
                return false;
            }
            ++i;
        } else if (option == "--port") {
            if (!numeric(65535))
                return false;
            out.port = static_cast<std::uint16_t>(number);
        } else if (option == "--host") {
            if (!value) {
                error = "--host needs an address";
                return false;
            }
            out.host = value;
            ++i;
        } else if (option == "--kind") {
            if (!numeric(255))
                return false;
            unit.kind = static_cast<std::uint8_t>(number);
        } else if (option == "--firmware") {
            if (!parseFirmware(value, unit.firmwareMajor, unit.firmwareMinor)) {
                error = "--firmware takes MAJOR.MINOR (major 0..15, minor 0..255)";
                return false;
            }
            ++i;
        } else if (option == "--product") {
            if (!value) {
                error = "--product needs a text";
                return false;
            }
            unit.product = productText(value);
            ++i;
        } else if (option == "--vid" || option == "--pid") {
            if (!numeric(0xFFFF))
                return false;
            (option == "--vid" ? unit.vendorId : unit.productId) = static_cast<std::uint16_t>(number);
        } else if (option == "--switched-off") {
            unit.switchedOn = false;
        } else if (option == "--fahrenheit") {
            unit.fahrenheit = true;
        } else if (option == "--errors") {
            if (!numeric(0x1FFFF))
                return false;
            unit.errorBits = number;
        } else if (option == "--mode") {
            if (!numeric(255))
                return false;
            unit.functionMode = static_cast<std::uint8_t>(number);
        } else if (option == "--answer-f0") {
            unit.pollAnswerCode = 0xF0;
        } else if (option == "--drop-every") {
            if (!numeric(1000000))
                return false;
            faults.dropEvery = number;
        } else if (option == "--duplicate-every") {
            if (!numeric(1000000))
                return false;
            faults.duplicateEvery = number;
        } else if (option == "--wrong-code-every") {
            if (!numeric(1000000))
                return false;
            faults.wrongCodeEvery = number;
        } else if (option == "--mismatch-type") {
            faults.mismatchType = true;
        } else if (option == "--delay-ms") {
            if (!numeric(60000))
                return false;
            faults.delayMs = number;
        } else if (option == "--silent-after") {
            if (!numeric(1000000000))
                return false;
            faults.silent = true;
            faults.silentAfter = number;
        } else if (option == "--disconnect-after") {
            if (!numeric(1000000000) || number == 0) {
                error = "bad value for --disconnect-after";
                return false;
            }
            faults.disconnectAfter = number;
        } else if (option == "--eeprom") {
            if (!value || !*value) {
                error = "--eeprom needs a file name";
                return false;
            }
            out.eepromFile = value;
            ++i;
        } else if (option == "--protocol-entries") {
            if (!numeric(1000000))
                return false;
            out.protocolEntries = number;
        } else if (option == "--frame-ms") {
            if (!numeric(1000))
                return false;
            unit.frameMs = number;
        } else if (option == "--out-of-order-block" || option == "--repeat-block" ||
                   option == "--bad-crc-block" || option == "--resend-from") {
            if (!numeric(0xFFFF))
                return false;
            (option == "--out-of-order-block" ? faults.outOfOrderBlock
             : option == "--repeat-block"     ? faults.repeatBlock
             : option == "--bad-crc-block"    ? faults.badCrcBlock
                                              : faults.resendFrom) = number;
        } else if (option == "--refuse") {
            faults.refuseBlocks = true;
        } else if (option == "--eeprom-fails") {
            faults.eepromFails = true;
        } else if (option == "--announce-answer" || option == "--busy") {
            const bool announce = option == "--announce-answer";
            if (!numeric(0xFF) || (announce ? number != 0x52 && number != 0x53 : number != 0x64 && number != 0xF0)) {
                error = announce ? "--announce-answer takes 0x52 or 0x53" : "--busy takes 0x64 or 0xF0";
                return false;
            }
            (announce ? faults.announceAnswer : faults.busyCode) = static_cast<std::uint8_t>(number);
        } else {
            error = "unknown option " + option;
            return false;
        }
    }
    if (!haveFamily && !out.help) {
        error = "--family K|M is required";
        return false;
    }
    if (out.protocolEntries > maxProtocolEntries(unit.family)) {
        error = "--protocol-entries: at most " + std::to_string(maxProtocolEntries(unit.family)) +
                " for this family";
        return false;
    }
    return true;
}
