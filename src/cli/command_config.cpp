// config read / program / defaults / show / diff: the configuration window's
// commands, with the same file format, checks and messages. Unlike the
// window, nothing here changes a value on its way: a read is saved byte for
// byte, and a file is programmed byte for byte or not at all.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/replacing_file.h"
#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/config_listing.h"
#include "cli/console_text.h"
#include "config/config_file.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/data_set_request.h"
#include "link/link_state.h"

namespace {

constexpr std::size_t readCapacity = 64 * 1024;

const ConfigFileFormat& fileFormat(Family family) { return family == Family::m ? mSeriesConfigFile : kSeriesConfigFile; }

int fileFailure(const CliContext& context, int failureText, const std::string& name)
{
    printMessage(context, text(failureText));
    context.err << "File: " << name << '\n';
    return failureText == textFileWrongUnit ? exitWrongUnit : exitFileError;
}

// A file of the family asked for, or of the family its header names.
int loadAnyConfigFile(const CliContext& context, const std::string& name, Family& family,
                      std::vector<unsigned char>& block)
{
    block.assign(configImageCapacity, 0);
    const std::filesystem::path path = pathFromAnsi(name.c_str());
    family = context.family.value_or(Family::k);
    int failure = loadConfigFile(path, fileFormat(family), block.data());
    if (failure == textFileWrongUnit && !context.family) {
        family = Family::m;
        failure = loadConfigFile(path, fileFormat(family), block.data());
        if (failure == textFileWrongUnit)
            family = Family::k;
    }
    if (failure)
        return fileFailure(context, failure, name);
    block.resize(fileFormat(family).blockSize);
    return exitOk;
}

int saveBlock(const CliContext& context, Family family, const unsigned char* block, const std::string& name)
{
    const int saved = saveConfigFile(pathFromAnsi(name.c_str()), fileFormat(family), block);
    if (saved)
        return fileFailure(context, saved, name);
    context.err << "Wrote " << configFileSize(fileFormat(family)) << " bytes (" << familyName(family)
                << " configuration) to " << name << ".\n";
    return exitOk;
}

// Reads the unit's block; received: the bytes of it that came.
int readBlock(const CliContext& context, const UnitInfo& unit, std::vector<unsigned char>& data,
              std::size_t& received)
{
    data.assign(readCapacity, 0);
    received = 0;
    setDataSetRead(linkRequest, DataSet::configuration, familyUnitKind(unit.family), data.data(),
                   static_cast<std::uint32_t>(data.size()));
    const TransferResult result = runTransfer(
        blockReadEngine, linkRequest,
        [&](const TerminalNotification& block) {
            const std::size_t end =
                (static_cast<std::size_t>(block.lParam) + 1) * dataSetBlockSize(DataSet::configuration);
            received = std::max(received, std::min(end, data.size()));
            return true;
        },
        transferLimits(context));
    if (result.outcome == TransferOutcome::ended && result.endCode == endCompleted)
        return exitOk;
    return transferFailed(context, unit.family, result);
}

int writeBlock(const CliContext& context, const UnitInfo& unit, std::vector<unsigned char>& block)
{
    setConfigurationProgram(linkRequest, familyUnitKind(unit.family), block.data(),
                            static_cast<std::uint32_t>(block.size()));
    const TransferResult result = runTransfer(blockWriteEngine, linkRequest, nullptr, transferLimits(context));
    if (result.outcome == TransferOutcome::ended && result.endCode == endProgrammed)
        return exitOk;
    return transferFailed(context, unit.family, result);
}

void printDifferences(std::ostream& out, const std::vector<ConfigDifference>& differences)
{
    for (const ConfigDifference& d : differences)
        out << utf8FromCp1252(describeDifference(d)) << '\n';
}

void printInvalid(const CliContext& context, const std::vector<ConfigParameter>& invalid)
{
    for (const ConfigParameter& p : invalid)
        context.err << "  " << utf8FromCp1252(describeInvalidValue(p)) << '\n';
}

// Whether the block cannot be programmed as it is, with the reasons on
// err: values the window cannot show (it would change them), the program's
// check as the window runs it before programming, and values the window
// would change on their way.
bool blockRefused(const CliContext& context, Family family, const unsigned char* block)
{
    const std::vector<ConfigParameter> unshowable = unshowableValues(family, block);
    if (!unshowable.empty()) {
        context.err << "The configuration holds values the configuration window cannot show:\n";
        printInvalid(context, unshowable);
        return true;
    }
    std::unique_ptr<ConfigForm> form = newConfigForm(family);
    form->takeBlock(block);
    form->gatherAll();
    const std::string checkFailure = form->checkFailure();
    if (!checkFailure.empty()) {
        printMessage(context, checkFailure);
        return true;
    }
    // The window derives each temperature's other copy and tidies bits it
    // does not show: a block it would change is not programmed either.
    const std::vector<ConfigDifference> changes = diffConfiguration(family, block, form->blockBytes());
    if (!changes.empty()) {
        context.err << "The configuration window would change these values:\n";
        for (const ConfigDifference& d : changes)
            context.err << "  " << utf8FromCp1252(describeDifference(d)) << '\n';
        return true;
    }
    return false;
}

std::string familyText(Family family) { return familyName(family); }

// Unit names for machines: no window abbreviations.
nlohmann::ordered_json jsonUnit(const std::string& unit)
{
    if (unit.empty())
        return nullptr;
    if (unit == unitTenthCelsius)
        return utf8FromCp1252("0.1 °C");
    if (unit == unitTenthFahrenheit)
        return utf8FromCp1252("0.1 °F");
    if (unit == unitBySecond)
        return "s";
    return utf8FromCp1252(unit);
}

// A list's item, or the stored number when it has none.
nlohmann::ordered_json jsonValue(bool isList, const std::string& shown, long stored, bool valid)
{
    if (isList && valid)
        return utf8FromCp1252(shown);
    return stored;
}

nlohmann::ordered_json parameterJson(const ConfigParameter& p)
{
    nlohmann::ordered_json entry = {{"group", utf8FromCp1252(p.group)}, {"label", utf8FromCp1252(p.label)}};
    if (!p.hasBytes) {   // "Blower power at": which level group the window shows first
        entry["value"] = utf8FromCp1252(p.value);
        return entry;
    }
    entry["value"] = jsonValue(p.isList, p.value, p.stored, p.valid);
    entry["stored"] = p.stored;
    entry["unit"] = jsonUnit(p.unit);
    entry["default"] = jsonValue(p.isList, p.defaultValue, p.defaultStored, true);
    entry["valid"] = p.valid;
    entry["limits"] = utf8FromCp1252(p.limits);
    return entry;
}

nlohmann::ordered_json differenceJson(const ConfigDifference& d)
{
    if (d.offset >= 0)
        return {{"offset", d.offset}, {"a", d.storedBefore}, {"b", d.storedAfter}};
    return {{"group", utf8FromCp1252(d.group)}, {"label", utf8FromCp1252(d.label)},
            {"a", d.storedBefore},          {"b", d.storedAfter},
            {"a_shown", utf8FromCp1252(d.before)}, {"b_shown", utf8FromCp1252(d.after)},
            {"unit", jsonUnit(d.unit)}};
}

} // namespace

int commandConfigRead(const CliContext& context, const std::string& output)
{
    UnitInfo unit;
    std::vector<unsigned char> data;
    std::size_t received = 0;
    int code = openUnit(context, unit);
    if (code == exitOk)
        code = readBlock(context, unit, data, received);
    if (code != exitOk)
        return code;
    printMessage(context, text(textConfigurationRead));
    // A backup: the unit's bytes as they are, whatever the check says.
    code = saveBlock(context, unit.family, data.data(), output);
    if (code != exitOk)
        return code;

    // Valid: what config program would send back as it is.
    const std::size_t size = fileFormat(unit.family).blockSize;
    bool valid = true;
    if (received < size) {
        context.err << "The unit sent only " << received << " of its " << size
                    << " bytes; the file has zeros for the rest.\n";
        valid = false;
    }
    if (blockRefused(context, unit.family, data.data()))
        valid = false;
    if (valid)
        return exitOk;
    context.err << "Saved as read, but not valid: the file cannot be programmed as it is.\n";
    return exitSavedNotValid;
}

int commandConfigProgram(const CliContext& context, const std::string& input, bool verify)
{
    UnitInfo unit;
    int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    const ConfigFileFormat& format = fileFormat(unit.family);
    std::vector<unsigned char> file(configImageCapacity, 0);
    const int failure = loadConfigFile(pathFromAnsi(input.c_str()), format, file.data());
    if (failure)
        return fileFailure(context, failure, input);
    file.resize(format.blockSize);

    printMessage(context, std::string(text(textDisplayHint)) + text(textDisplayHint + 1));
    if (blockRefused(context, unit.family, file.data())) {
        context.err << "Nothing was sent.\n";
        return exitCheckFailed;
    }
    std::vector<unsigned char> sent = file;   // the engine reads it while it runs
    code = writeBlock(context, unit, sent);
    if (code != exitOk)
        return code;
    printMessage(context, text(textProgrammed));
    context.err << "Programmed the " << file.size() << " bytes of " << input << " into the unit.\n";
    if (!verify)
        return exitOk;

    std::vector<unsigned char> readBack;
    std::size_t received = 0;
    code = readBlock(context, unit, readBack, received);
    if (code != exitOk)
        return code;
    if (received >= file.size() && std::memcmp(readBack.data(), file.data(), file.size()) == 0) {
        context.err << "Read back: the unit holds the configuration sent.\n";
        return exitOk;
    }
    context.err << "Read back: the unit holds a configuration other than the one sent:\n";
    if (received < file.size())
        context.err << "The unit sent only " << received << " of " << file.size() << " bytes.\n";
    printDifferences(context.err, diffConfiguration(unit.family, file.data(), readBack.data()));
    return exitVerifyFailed;
}

int commandConfigDefaults(const CliContext& context, const std::string& output)
{
    Family family = context.family.value_or(Family::k);
    if (!context.family) {
        UnitInfo unit;
        const int code = openUnit(context, unit);
        if (code != exitOk)
            return code;
        family = unit.family;
    }
    std::unique_ptr<ConfigForm> form = newConfigForm(family);
    form->loadDefaults();
    form->gatherAll();
    return saveBlock(context, family, form->blockBytes(), output);
}

int commandConfigShow(const CliContext& context, const std::string& file)
{
    Family family;
    std::vector<unsigned char> block;
    const int code = loadAnyConfigFile(context, file, family, block);
    if (code != exitOk)
        return code;
    const std::vector<ConfigParameter> parameters = listConfiguration(family, block.data());
    if (!context.json) {
        context.out << familyText(family) << '\n' << utf8FromCp1252(formatConfigListing(parameters));
        return exitOk;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ConfigParameter& p : parameters)
        list.push_back(parameterJson(p));
    const nlohmann::ordered_json document = {{"family", familyText(family)}, {"parameters", list}};
    context.out << document.dump(2) << '\n';
    return exitOk;
}

int commandConfigDiff(const CliContext& context, const std::string& fileA, const std::string& fileB)
{
    Family familyA;
    Family familyB;
    std::vector<unsigned char> a;
    std::vector<unsigned char> b;
    int code = loadAnyConfigFile(context, fileA, familyA, a);
    if (code == exitOk)
        code = loadAnyConfigFile(context, fileB, familyB, b);
    if (code != exitOk)
        return code;
    if (familyA != familyB)
        return fileFailure(context, textFileWrongUnit, fileB);
    const std::vector<ConfigDifference> differences = diffConfiguration(familyA, a.data(), b.data());
    if (!context.json) {
        printDifferences(context.out, differences);
        return exitOk;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ConfigDifference& d : differences)
        list.push_back(differenceJson(d));
    const nlohmann::ordered_json document = {{"family", familyText(familyA)}, {"differences", list}};
    context.out << document.dump(2) << '\n';
    return exitOk;
}
