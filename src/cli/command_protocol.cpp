// protocol: the failure protocol read as the protocol-read window reads it,
// saved as its save command saves it.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/replacing_file.h"
#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "link/block_read_engine.h"
#include "link/link_state.h"
#include "protocol/field_format.h"
#include "protocol/protocol_columns.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

constexpr std::uint8_t protocolDataSet = 1;

// "[#######.............]  120/500 blocks", redrawn in place.
void drawProgress(std::ostream& err, std::uint32_t done, std::int32_t total)
{
    constexpr int width = 40;
    const int filled = total > 0 ? static_cast<int>(std::min<std::int64_t>(done, total) * width / total) : 0;
    err << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
        << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << done << '/' << total << " blocks"
        << std::flush;
}

std::string columnText(Family family, const unsigned char* bytes, std::size_t size, std::int32_t index, int column)
{
    char field[fieldTextMax + 1];
    char* end = field;
    if (family == Family::m) {
        ProtocolEntryM entry;
        if (readProtocolEntryM(bytes, size, index, entry))
            end = appendColumnM(field, entry, column);
    } else {
        ProtocolEntryK entry;
        if (readProtocolEntryK(bytes, size, index, entry))
            end = appendColumnK(field, entry, column);
    }
    return std::string(field, end);
}

nlohmann::ordered_json protocolJson(Family family, const UnitInfo& unit, const ProtocolData& protocol)
{
    const int columns = family == Family::m ? columnCountM : columnCountK;
    const int firstHeader = family == Family::m ? firstHeaderTextM : firstHeaderTextK;
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    const std::int32_t count = readableEntries(protocol, family);
    for (std::int32_t i = 0; i < count; ++i) {
        nlohmann::ordered_json entry = nlohmann::ordered_json::object();
        for (int c = 0; c < columns; ++c)
            entry[utf8FromCp1252(text(firstHeader + c))] =
                utf8FromCp1252(columnText(family, protocol.bytes, protocol.size, i, c));
        entries.push_back(entry);
    }
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
    setDataSetRequest(linkRequest, cmdReadProtocol, protocolDataSet, familyUnitKind(family),
                      static_cast<std::uint8_t>(protocolBlockSize));
    linkRequest.data = buffer.data();
    linkRequest.dataCapacity = static_cast<std::uint32_t>(buffer.size());
    linkRequest.crcSelector = familyUnitKind(family);
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
    if (!output.empty() && end.protocolAvailable && !writeProtocolCsv(family, pathFromAnsi(output.c_str()), protocol, uiText)) {
        printMessage(context, text(textSaveFailed));
        return exitFileError;
    }
    if (context.json)
        context.out << protocolJson(family, unit, protocol).dump(2) << '\n';
    return exitOk;
}
