#include "sim_options.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "base/cp1252.h"
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

// What the command line named. Values stay text until the family, which
// decides the defaults, is known.
struct Given {
    std::optional<std::string> family, host, firmware, product, eeprom;
    std::vector<std::pair<std::string, std::string>> numbers;   // option, value, in order
    bool switchedOff = false, fahrenheit = false, answerF0 = false;
    bool mismatchType = false, refuse = false, eepromFails = false, eepromForgets = false;
};

struct NumericOption {
    const char* name;
    const char* group;
    const char* help;
    std::uint32_t limit;
    void (*apply)(SimCommandLine& line, std::uint32_t value);
};

const char* const unitGroup = "The unit";
const char* const faultGroup = "Faults (N counts per connection)";
const char* const blockGroup = "Block-transfer faults (each acts once per connection, blocks count from 0)";

const NumericOption numericOptions[] = {
    {"--port", unitGroup, "TCP port (default 47251, 0 = any free port)", 65535,
     [](SimCommandLine& l, std::uint32_t v) { l.port = static_cast<std::uint16_t>(v); }},
    {"--kind", unitGroup, "unit kind reported (default 1 for K, 2 for M); requests of another family are refused", 255,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.kind = static_cast<std::uint8_t>(v); }},
    {"--vid", unitGroup, "USB vendor id (default 0xC251)", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.vendorId = static_cast<std::uint16_t>(v); }},
    {"--pid", unitGroup, "USB product id (default 0x1C01)", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.productId = static_cast<std::uint16_t>(v); }},
    {"--errors", unitGroup, "error bits of the status record", 0x1FFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.errorBits = v; }},
    {"--mode", unitGroup, "function mode", 255,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.functionMode = static_cast<std::uint8_t>(v); }},
    {"--protocol-entries", unitGroup, "entries of the failure protocol (default 25)", 1000000,
     [](SimCommandLine& l, std::uint32_t v) { l.protocolEntries = v; }},
    {"--frame-ms", unitGroup,
     "USB frames of N ms: a request is taken in at the next frame, its answer leaves at the one after (full speed: 1)",
     1000, [](SimCommandLine& l, std::uint32_t v) { l.unit.frameMs = v; }},
    {"--drop-every", faultGroup, "swallow every Nth answer", 1000000,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.dropEvery = v; }},
    {"--duplicate-every", faultGroup, "repeat the previous answer before every Nth answer", 1000000,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.duplicateEvery = v; }},
    {"--wrong-code-every", faultGroup, "answer every Nth request with an unexpected code", 1000000,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.wrongCodeEvery = v; }},
    {"--delay-ms", faultGroup, "delay every answer by N ms", 60000,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.delayMs = v; }},
    {"--silent-after", faultGroup, "stop answering after N answers", 1000000000,
     [](SimCommandLine& l, std::uint32_t v) {
         l.unit.faults.silent = true;
         l.unit.faults.silentAfter = v;
     }},
    {"--disconnect-after", faultGroup, "close the connection after N requests", 1000000000,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.disconnectAfter = v; }},
    {"--out-of-order-block", blockGroup, "send block N+1 when block N is due", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.outOfOrderBlock = v; }},
    {"--repeat-block", blockGroup, "send block N again after its acknowledgement", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.repeatBlock = v; }},
    {"--bad-crc-block", blockGroup, "send block N with a wrong CRC", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.badCrcBlock = v; }},
    {"--resend-from", blockGroup, "answer the first last block with 0x63 naming block N", 0xFFFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.resendFrom = v; }},
    {"--announce-answer", blockGroup, "answer a write announcement with 0x52 or 0x53", 0xFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.announceAnswer = static_cast<std::uint8_t>(v); }},
    {"--busy", blockGroup, "answer 0x64 or 0xF0 before each written block's acknowledgement", 0xFF,
     [](SimCommandLine& l, std::uint32_t v) { l.unit.faults.busyCode = static_cast<std::uint8_t>(v); }},
};

// Values a number within its limit still cannot take: the message, or
// nullptr when it is fine.
const char* refusedValue(const std::string& option, std::uint32_t value)
{
    if (option == "--disconnect-after" && value == 0)
        return "bad value for --disconnect-after";
    if (option == "--announce-answer" && value != 0x52 && value != 0x53)
        return "--announce-answer takes 0x52 or 0x53";
    if (option == "--busy" && value != 0x64 && value != 0xF0)
        return "--busy takes 0x64 or 0xF0";
    return nullptr;
}

void describeOptions(CLI::App& app, Given& given)
{
    app.allow_extras();
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("--family", given.family, "K or M (required)")->type_name("K|M")->group(unitGroup);
    app.add_option("--host", given.host, "listen address (default 127.0.0.1)")->type_name("ADDR")->group(unitGroup);
    app.add_option("--firmware", given.firmware, "firmware version (default 1.23 K, 2.04 M)")
        ->type_name("MAJ.MIN")->group(unitGroup);
    app.add_option("--product", given.product, "USB product string")->type_name("TEXT")->group(unitGroup);
    app.add_option("--eeprom", given.eeprom, "keep the configuration in FILE (created with the defaults)")
        ->type_name("FILE")->group(unitGroup);
    app.add_flag("--switched-off", given.switchedOff, "the unit is switched off (manual control allowed)")
        ->group(unitGroup);
    app.add_flag("--fahrenheit", given.fahrenheit, "the unit shows temperatures in degrees F")->group(unitGroup);
    app.add_flag("--answer-f0", given.answerF0, "answer polls with code 0xF0 instead of 0x50")->group(unitGroup);
    app.add_flag("--mismatch-type", given.mismatchType, "poll answers carry answer type 2")->group(faultGroup);
    app.add_flag("--refuse", given.refuse, "refuse every block transfer (0x51)")->group(blockGroup);
    app.add_flag("--eeprom-fails", given.eepromFails, "answer the last written block with 0x62")->group(blockGroup);
    app.add_flag("--eeprom-forgets", given.eepromForgets,
                 "acknowledge the last written block but keep the old configuration")
        ->group(blockGroup);
    for (const NumericOption& option : numericOptions) {
        const std::string name = option.name;
        app.add_option_function<std::string>(
               name, [&given, name](const std::string& value) { given.numbers.emplace_back(name, value); },
               option.help)
            ->type_name("N")
            ->group(option.group);
    }
}

// An option given last without its value, in the program's words.
std::string missingValueMessage(const std::string& option)
{
    if (option == "--host")
        return "--host needs an address";
    if (option == "--product")
        return "--product needs a text";
    if (option == "--eeprom")
        return "--eeprom needs a file name";
    if (option == "--family")
        return "--family takes K or M";
    if (option == "--firmware")
        return "--firmware takes MAJOR.MINOR (major 0..15, minor 0..255)";
    return "bad value for " + option;
}

// The named values on the family's defaults; false with a message on a bad one.
bool applyGiven(const Given& given, SimCommandLine& line, std::string& error)
{
    SimOptions& unit = line.unit;
    if (given.host)
        line.host = *given.host;
    if (given.firmware && !parseFirmware(given.firmware->c_str(), unit.firmwareMajor, unit.firmwareMinor)) {
        error = "--firmware takes MAJOR.MINOR (major 0..15, minor 0..255)";
        return false;
    }
    if (given.product)
        unit.product = productText(given.product->c_str());
    if (given.eeprom) {
        if (given.eeprom->empty()) {
            error = "--eeprom needs a file name";
            return false;
        }
        line.eepromFile = *given.eeprom;
    }
    unit.switchedOn = !given.switchedOff;
    unit.fahrenheit = given.fahrenheit;
    if (given.answerF0)
        unit.pollAnswerCode = 0xF0;
    unit.faults.mismatchType = given.mismatchType;
    unit.faults.refuseBlocks = given.refuse;
    unit.faults.eepromFails = given.eepromFails;
    unit.faults.eepromForgets = given.eepromForgets;
    for (const auto& [name, value] : given.numbers) {
        for (const NumericOption& option : numericOptions) {
            if (name != option.name)
                continue;
            std::uint32_t number = 0;
            if (!parseNumber(value.c_str(), option.limit, number)) {
                error = "bad value for " + name;
                return false;
            }
            if (const char* refused = refusedValue(name, number)) {
                error = refused;
                return false;
            }
            option.apply(line, number);
        }
    }
    if (line.protocolEntries > maxProtocolEntries(unit.family)) {
        error = "--protocol-entries: at most " + std::to_string(maxProtocolEntries(unit.family)) +
                " for this family";
        return false;
    }
    return true;
}

const char* const description = "Plays a K-Series or M-Series control unit for kavix.exe (KAVIX_UNIT=host:port).";

} // namespace

std::string simUsage()
{
    Given given;
    CLI::App app(description, "kavix-unitsim");
    describeOptions(app, given);
    return app.help();
}

bool parseSimCommandLine(int argc, const char* const* argv, SimCommandLine& out, std::string& error)
{
    Given given;
    CLI::App app(description, "kavix-unitsim");
    describeOptions(app, given);
    SimCommandLine line;
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        line.help = true;
    } catch (const CLI::ArgumentMismatch&) {
        error = missingValueMessage(argc > 1 ? argv[argc - 1] : "");
        return false;
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return false;
    }
    if (!app.remaining().empty()) {
        error = "unknown option " + app.remaining().front();
        return false;
    }
    char family = 'K';
    if (given.family) {
        const std::string& value = *given.family;
        if (value.size() != 1 || (value[0] != 'K' && value[0] != 'k' && value[0] != 'M' && value[0] != 'm')) {
            error = "--family takes K or M";
            return false;
        }
        family = static_cast<char>(value[0] & ~0x20);
    } else if (!line.help) {
        error = "--family K|M is required";
        return false;
    }
    line.unit = defaultSimOptions(family);
    if (!applyGiven(given, line, error))
        return false;
    out = line;
    return true;
}
