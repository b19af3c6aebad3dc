// counters: the running counters as a table, laid out as the window pairs
// its labels and fields.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/texts.h"
#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "link/block_read_engine.h"
#include "link/data_set_request.h"
#include "link/link_state.h"
#include "protocol/run_counter_layout.h"
#include "protocol/run_counters.h"

namespace {

constexpr std::size_t readCapacity = 64 * 1024;

struct CounterRow {
    std::string group;
    std::string label;
    std::string value;        // as the window shows it
    bool hours;
    long long stored = 0;     // the record's value: seconds for times, else the count
    bool known = false;       // a field of the record
    bool seconds = false;     // stored is a time
};

// The record's value of each field id, and whether it is a time (seconds).
struct RawField {
    int id;
    long long value;
    bool seconds;
};

std::vector<RawField> rawFields(const RunCountersK& r)
{
    std::vector<RawField> fields = {{0, r.onTime, true}, {1, r.coolTime, true}, {2, r.heatTime, true},
                                    {3, r.startCounter, false}};
    for (int k = 0; k < 7; ++k)
        fields.push_back({5 + k, r.errorCounters[k], false});
    return fields;
}

std::vector<RawField> rawFields(const RunCountersM& r)
{
    std::vector<RawField> fields = {{0, r.onTime, true}, {1, r.coolTime, true}, {2, r.heatTime, true}};
    for (int c = 0; c < 6; ++c) {
        fields.push_back({8 + c, r.startCounters[c], false});
        fields.push_back({14 + c, r.runTimes[c], true});
    }
    for (int k = 0; k < 17; ++k)
        fields.push_back({32 + k, r.errorCounters[k], false});
    return fields;
}

// The window's controls in creation order: each label is followed by its
// field, an "h" mark on a field's line (right of it) makes it hours.
std::vector<CounterRow> counterRows(Family family, const CounterField* fields, int fieldCount,
                                    const std::vector<RawField>& raw)
{
    ControlPlace controls[counterControlMax];
    const int count = runCounterControls(family, controls);
    // Units large enough that no two lines share a pixel row.
    PixelRect rect[counterControlMax];
    for (int i = 0; i < count; ++i)
        rect[i] = pixelsOf(controls[i].rect, 8, 16);
    std::vector<CounterRow> rows;
    std::string group;
    for (int i = 0; i < count; ++i) {
        const ControlPlace& c = controls[i];
        if (c.kind == ControlKind::groupBox)
            group = text(c.textIndex);
        if (c.kind != ControlKind::centredText || c.textIndex < 0 || i + 1 >= count ||
            controls[i + 1].kind != ControlKind::numberField)
            continue;
        const ControlPlace& field = controls[i + 1];
        const PixelRect& at = rect[i + 1];
        CounterRow row{group, text(c.textIndex), "?", false};
        for (int f = 0; f < fieldCount; ++f)
            if (fields[f].id == field.id)
                row.value = fields[f].text;
        for (const RawField& r : raw)
            if (r.id == field.id) {
                row.stored = r.value;
                row.known = true;
                row.seconds = r.seconds;
            }
        for (int h = 0; h < count; ++h)
            if (isHourMark(controls[h]) && rect[h].y == at.y && rect[h].x > at.x && rect[h].x <= at.x + at.width + 8)
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
        return counterRows(family, fields, counterFieldCountM, rawFields(view.record));
    }
    RunCounterViewK view;
    resetRunCounterView(view);
    runCounterReadEnded(view, counterReadComplete, data.data(), data.size());
    CounterField fields[counterFieldCountK];
    runCounterFields(view, fields);
    return counterRows(family, fields, counterFieldCountK, rawFields(view.record));
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
    setDataSetRead(linkRequest, DataSet::counters, familyUnitKind(unit.family), data.data(),
                   static_cast<std::uint32_t>(data.size()));
    const TransferResult result = runTransfer(blockReadEngine, linkRequest, nullptr, transferLimits(context));
    if (result.outcome != TransferOutcome::ended || result.endCode != endCompleted)
        return transferFailed(context, unit.family, result);

    const std::vector<CounterRow> rows = readRows(unit.family, data);
    if (!context.json) {
        context.out << familyName(unit.family) << " - " << terminalTextFromCp1252(unit.product) << "\n\n";
        printTable(context.out, rows);
        return exitOk;
    }
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    // Times as the record holds them, in seconds; counts as numbers.
    for (const CounterRow& row : rows)
        list.push_back({{"group", utf8FromCp1252(row.group)},
                        {"label", utf8FromCp1252(row.label)},
                        {"value", row.known ? nlohmann::ordered_json(row.stored) : nlohmann::ordered_json(nullptr)},
                        {"unit", row.seconds ? nlohmann::ordered_json("s") : nlohmann::ordered_json(nullptr)}});
    const nlohmann::ordered_json document = {
        {"family", familyName(unit.family)}, {"product", utf8FromCp1252(unit.product)}, {"counters", list}};
    context.out << document.dump(2) << '\n';
    return exitOk;
}
