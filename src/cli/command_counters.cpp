// counters: the running counters as a table, laid out as the window pairs
// its labels and fields.
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "link/block_read_engine.h"
#include "link/link_state.h"
#include "protocol/run_counter_layout.h"
#include "protocol/run_counters.h"

namespace {

constexpr std::uint8_t countersBlockSize = 32;
constexpr std::uint8_t countersDataSet = 1;
constexpr std::size_t readCapacity = 64 * 1024;

struct CounterRow {
    std::string group;
    std::string label;
    std::string value;
    bool hours;
};

// The window's controls in creation order: each label is followed by its
// field, an "h" mark on a field's line (right of it) makes it hours.
std::vector<CounterRow> counterRows(Family family, const CounterField* fields, int fieldCount)
{
    CounterControl controls[counterControlMax];
    // Units large enough that no two lines share a pixel row.
    const int count = runCounterControls(family, 8, 16, controls);
    std::vector<CounterRow> rows;
    std::string group;
    for (int i = 0; i < count; ++i) {
        const CounterControl& c = controls[i];
        if (c.kind == CounterControlKind::groupBox)
            group = text(c.text);
        if (c.kind != CounterControlKind::label || i + 1 >= count ||
            controls[i + 1].kind != CounterControlKind::valueField)
            continue;
        const CounterControl& field = controls[i + 1];
        CounterRow row{group, text(c.text), "?", false};
        for (int f = 0; f < fieldCount; ++f)
            if (fields[f].id == field.id)
                row.value = fields[f].text;
        for (int h = 0; h < count; ++h)
            if (controls[h].kind == CounterControlKind::hourMark && controls[h].rect.y == field.rect.y &&
                controls[h].rect.x > field.rect.x && controls[h].rect.x <= field.rect.x + field.rect.width + 8)
                row.hours = true;
        rows.push_back(row);
    }
    return rows;
}

std::vector<CounterRow> readRows(Family family, const std::vector<unsigned char>& data)
{
    if (family == Family::m) {
        RunCounterViewM view;
        resetRunCounterView(view);
        runCounterReadEnded(view, counterReadComplete, data.data(), data.size());
        CounterField fields[counterFieldCountM];
        runCounterFields(view, fields);
        return counterRows(family, fields, counterFieldCountM);
    }
    RunCounterViewK view;
    resetRunCounterView(view);
    runCounterReadEnded(view, counterReadComplete, data.data(), data.size());
    CounterField fields[counterFieldCountK];
    runCounterFields(view, fields);
    return counterRows(family, fields, counterFieldCountK);
}

nlohmann::ordered_json numberOrText(const std::string& value)
{
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (!value.empty() && end && *end == '\0')
        return number;
    return value;
}

void printTable(std::ostream& out, const std::vector<CounterRow>& rows)
{
    std::size_t width = 0;
    for (const CounterRow& row : rows)
        width = std::max(width, utf8FromCp1252(row.label).size());
    std::string group;
    for (const CounterRow& row : rows) {
        if (row.group != group) {
            group = row.group;
            out << (&row == &rows.front() ? "" : "\n") << utf8FromCp1252(group) << '\n';
        }
        const std::string label = utf8FromCp1252(row.label);
        out << "  " << label << std::string(width - label.size() + 2, ' ') << row.value << (row.hours ? " h" : "")
            << '\n';
    }
}

} // namespace

int commandCounters(const CliContext& context)
{
    UnitInfo unit;
    int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    std::vector<unsigned char> data(readCapacity, 0);
    setDataSetRequest(linkRequest, cmdReadCounters, countersDataSet, familyUnitKind(unit.family), countersBlockSize);
    linkRequest.data = data.data();
    linkRequest.dataCapacity = static_cast<std::uint32_t>(data.size());
    linkRequest.crcSelector = familyUnitKind(unit.family);
    const TransferResult result = runTransfer(blockReadEngine, linkRequest, nullptr, transferLimits(context));
    if (result.outcome != TransferOutcome::ended || result.endCode != endCompleted)
        return transferFailed(context, unit.family, result);

    const std::vector<CounterRow> rows = readRows(unit.family, data);
    if (!context.json) {
        context.out << familyName(unit.family) << " - " << utf8FromCp1252(unit.product) << "\n\n";
        printTable(context.out, rows);
        return exitOk;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CounterRow& row : rows)
        list.push_back({{"group", utf8FromCp1252(row.group)},
                        {"label", utf8FromCp1252(row.label)},
                        {"value", numberOrText(row.value)},
                        {"unit", row.hours ? "h" : ""}});
    const nlohmann::ordered_json document = {
        {"family", familyName(unit.family)}, {"product", utf8FromCp1252(unit.product)}, {"counters", list}};
    context.out << document.dump(2) << '\n';
    return exitOk;
}
