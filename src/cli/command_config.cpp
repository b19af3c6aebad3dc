// config read / program / defaults / show / diff: the configuration window's
// commands, with the same file format, checks and messages.
#include <cstring>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/replacing_file.h"
#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/config_listing.h"
#include "cli/console_text.h"
#include "config/config_file.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/link_state.h"

namespace {

constexpr std::uint8_t configBlockBytes = 32;
constexpr std::size_t readCapacity = 64 * 1024;

const ConfigFileFormat& fileFormat(Family family) { return family == Family::m ? mConfigFile : kConfigFile; }

std::uint8_t configDataSet(Family family) { return family == Family::m ? mDataVersion : kDataVersion; }

int fileFailure(const CliContext& context, int failureText)
{
    printMessage(context, text(failureText));
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
        return fileFailure(context, failure);
    block.resize(fileFormat(family).blockSize);
    return exitOk;
}

// As Save to File does: everything gathered, the check, then the file.
int saveChecked(const CliContext& context, ConfigForm& form, const std::string& name)
{
    form.gatherAll();
    const std::string failure = form.checkFailure();
    if (!failure.empty()) {
        printMessage(context, failure);
        return exitCheckFailed;
    }
    const int saved = saveConfigFile(pathFromAnsi(name.c_str()), fileFormat(form.family()), form.blockBytes());
    return saved ? fileFailure(context, saved) : exitOk;
}

int readBlock(const CliContext& context, const UnitInfo& unit, std::vector<unsigned char>& data)
{
    data.assign(readCapacity, 0);
    setDataSetRequest(linkRequest, cmdReadConfiguration, configDataSet(unit.family), familyUnitKind(unit.family),
                      configBlockBytes);
    linkRequest.data = data.data();
    linkRequest.dataCapacity = static_cast<std::uint32_t>(data.size());
    linkRequest.crcSelector = familyUnitKind(unit.family);
    const TransferResult result = runTransfer(blockReadEngine, linkRequest, nullptr, transferLimits(context));
    if (result.outcome == TransferOutcome::ended && result.endCode == endCompleted)
        return exitOk;
    return transferFailed(context, unit.family, result);
}

int writeBlock(const CliContext& context, const UnitInfo& unit, std::vector<unsigned char>& block)
{
    setDataSetRequest(linkRequest, cmdAnnounceWrite, configDataSet(unit.family), familyUnitKind(unit.family),
                      configBlockBytes);
    linkRequest.dataCommand = cmdWriteBlock;
    linkRequest.data = block.data();
    linkRequest.finalState = 0xFF;
    linkRequest.totalLength = static_cast<std::uint32_t>(block.size());
    const TransferResult result = runTransfer(blockWriteEngine, linkRequest, nullptr, transferLimits(context));
    if (result.outcome == TransferOutcome::ended && result.endCode == endProgrammed)
        return exitOk;
    return transferFailed(context, unit.family, result);
}

void printDifferences(std::ostream& out, const std::vector<ConfigDifference>& differences)
{
    for (const ConfigDifference& d : differences)
        out << utf8FromCp1252(d.group) << " / " << utf8FromCp1252(d.label) << ": " << utf8FromCp1252(d.before)
            << " -> " << utf8FromCp1252(d.after) << '\n';
}

std::string familyText(Family family) { return familyName(family); }

} // namespace

int commandConfigRead(const CliContext& context, const std::string& output)
{
    UnitInfo unit;
    std::vector<unsigned char> data;
    int code = openUnit(context, unit);
    if (code == exitOk)
        code = readBlock(context, unit, data);
    if (code != exitOk)
        return code;
    std::unique_ptr<ConfigForm> form = newConfigForm(unit.family);
    form->takeBlock(data.data());
    code = saveChecked(context, *form, output);
    if (code == exitOk)
        printMessage(context, text(textConfigurationRead));
    return code;
}

int commandConfigProgram(const CliContext& context, const std::string& input, bool verify)
{
    UnitInfo unit;
    int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    std::vector<unsigned char> block(configImageCapacity, 0);
    const int failure = loadConfigFile(pathFromAnsi(input.c_str()), fileFormat(unit.family), block.data());
    if (failure)
        return fileFailure(context, failure);

    std::unique_ptr<ConfigForm> form = newConfigForm(unit.family);
    form->takeBlock(block.data());
    printMessage(context, std::string(text(textDisplayHint)) + text(textDisplayHint + 1));
    form->gatherAll();
    const std::string checkFailure = form->checkFailure();
    if (!checkFailure.empty()) {
        printMessage(context, checkFailure);
        return exitCheckFailed;
    }
    std::vector<unsigned char> programmed(form->blockBytes(), form->blockBytes() + form->blockSize());
    std::vector<unsigned char> sent = programmed;   // the engine reads it while it runs
    code = writeBlock(context, unit, sent);
    if (code != exitOk)
        return code;
    printMessage(context, text(textProgrammed));
    if (!verify)
        return exitOk;

    std::vector<unsigned char> readBack;
    code = readBlock(context, unit, readBack);
    if (code != exitOk)
        return code;
    if (std::memcmp(readBack.data(), programmed.data(), programmed.size()) == 0) {
        context.err << "Read back: the unit holds the configuration sent.\n";
        return exitOk;
    }
    context.err << "Read back: the unit holds a configuration other than the one sent:\n";
    printDifferences(context.err, diffConfiguration(unit.family, programmed.data(), readBack.data()));
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
    return saveChecked(context, *form, output);
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
        list.push_back({{"group", utf8FromCp1252(p.group)},
                        {"label", utf8FromCp1252(p.label)},
                        {"value", utf8FromCp1252(p.value)},
                        {"unit", utf8FromCp1252(p.unit)},
                        {"default", utf8FromCp1252(p.defaultValue)}});
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
        return fileFailure(context, textFileWrongUnit);
    const std::vector<ConfigDifference> differences = diffConfiguration(familyA, a.data(), b.data());
    if (!context.json) {
        printDifferences(context.out, differences);
        return exitOk;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ConfigDifference& d : differences)
        list.push_back({{"group", utf8FromCp1252(d.group)},
                        {"label", utf8FromCp1252(d.label)},
                        {"a", utf8FromCp1252(d.before)},
                        {"b", utf8FromCp1252(d.after)}});
    const nlohmann::ordered_json document = {{"family", familyText(familyA)}, {"differences", list}};
    context.out << document.dump(2) << '\n';
    return exitOk;
}
