// protocol: the failure protocol read as the protocol-read window reads it,
// saved as its save command saves it.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/replacing_file.h"
#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "link/block_read_engine.h"
#include "link/data_set_request.h"
#include "link/link_state.h"
#include "protocol/field_format.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

// "[#######.............]  120/500 blocks", redrawn in place.
void drawProgress(std::ostream& err, std::uint32_t done, std::int32_t total)
{
    constexpr int width = 40;
    const int filled = total > 0 ? static_cast<int>(std::min<std::int64_t>(done, total) * width / total) : 0;
    err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
        << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << done << '/' << total << " blocks"
        << std::flush;
}

std::string errorName(Family family, std::uint16_t code)
{
    char name[fieldTextMax + 1];
    char* end = family == Family::m ? appendErrorNameM(name, code) : appendErrorNameK(name, code);
    return std::string(name, static_cast<std::size_t>(end - name));
}

// The fields both families' entries have.
template <typename Entry> nlohmann::ordered_json commonEntryJson(Family family, const Entry& e)
{
    return {{"event_counter", e.eventCounter},
            {"error_code", e.errorCode},
            {"error_name", errorName(family, e.errorCode)},
            {"error_counter", e.errorCounter},
            {"on_time_s", e.onTime},
            {"cool_time_s", e.coolTime},
            {"heat_time_s", e.heatTime}};
}

// One entry with stable keys and its numbers as numbers; times in seconds.
nlohmann::ordered_json entryJson(Family family, const ProtocolData& protocol, std::int32_t index)
{
    if (family == Family::m) {
        ProtocolEntryM e{};
        readProtocolEntryM(protocol.bytes, protocol.size, index, e);
        nlohmann::ordered_json entry = commonEntryJson(family, e);
        entry["start_counters"] = e.startCounters;
        entry["run_times_s"] = e.runTimes;
        return entry;
    }
    ProtocolEntryK e{};
    readProtocolEntryK(protocol.bytes, protocol.size, index, e);
    nlohmann::ordered_json entry = commonEntryJson(family, e);
    entry["start_counter"] = e.startCounter;
    return entry;
}

nlohmann::ordered_json protocolJson(Family family, const UnitInfo& unit, const ProtocolData& protocol)
{
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    const std::int32_t count = readableEntries(protocol, family);
    for (std::int32_t i = 0; i < count; ++i)
        entries.push_back(entryJson(family, protocol, i));
    return {{"family", familyName(family)}, {"product", utf8FromCp1252(unit.product)}, {"entries", entries}};
}

} // namespace

int commandProtocol(const CliContext& context, const std::string& output)
{
    UnitInfo unit;
    const int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    const Family family = unit.family;
    std::vector<unsigned char> buffer(protocolBufferSize, 0);
    ProtocolReadout readout;
    startProtocolReadout(readout, family, buffer.size());
    setDataSetRead(linkRequest, DataSet::protocol, familyUnitKind(family), buffer.data(),
                   static_cast<std::uint32_t>(buffer.size()));
    const TransferResult result = runTransfer(
        blockReadEngine, linkRequest,
        [&](const TerminalNotification& block) {
            protocolBlockAccepted(readout, block.bytes, static_cast<std::uint32_t>(block.lParam));
            if (context.progress)
                drawProgress(context.err, static_cast<std::uint32_t>(block.lParam), readout.totalBlocks);
            return true;
        },
        transferLimits(context));
    if (context.progress && readout.firstBlockSeen)
        context.err << '\n';
    if (result.outcome != TransferOutcome::ended)
        return transferFailed(context, family, result);

    const ReadoutEnd end = protocolReadoutEnded(readout, static_cast<int>(result.endCode));
    switch (end.message) {
    case ReadoutMessage::noEntries:
        printMessage(context, text(textNoEntries));
        break;
    case ReadoutMessage::entriesRead: {
        char message[128];
        formatEntriesRead(end.count, text(textEntriesRead), message, sizeof message);
        printMessage(context, message);
        break;
    }
    default:
        return transferFailed(context, family, result);
    }

    const ProtocolData protocol = {buffer.data(), buffer.size(), end.count};
    // As in the program, a protocol without entries cannot be saved.
    if (!output.empty() && end.protocolAvailable) {
        if (!writeProtocolCsv(family, pathFromAnsi(output.c_str()), protocol, uiText)) {
            printMessage(context, text(textSaveFailed));
            context.err << "File: " << output << '\n';
            return exitFileError;
        }
        context.err << "Wrote " << readableEntries(protocol, family) << " entries to " << output << ".\n";
    } else if (!output.empty()) {
        context.err << "No file written.\n";
    }
    if (context.json)
        context.out << protocolJson(family, unit, protocol).dump(2) << '\n';
    return exitOk;
}
