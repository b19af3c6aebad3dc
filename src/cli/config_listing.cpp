#include "cli/config_listing.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <utility>

#include "app/texts.h"
#include "config/k_config_form.h"
#include "config/m_config_form.h"

namespace {

// The group boxes of the configuration windows in the order their layouts
// (k_config_window.cpp, m_config_window.cpp) list them, each with the run of
// rows it encloses there. The layouts are Win32 code, so the placement is
// restated here and checked below to hold every row exactly once.
struct GroupRows {
    int groupText;
    int firstRow;
    int lastRow;
};

constexpr GroupRows kGroups[] = {
    {59, rowDevice, rowCanAddress},                 // General
    {62, rowBlowerPermanent, rowBlowerLevel5},      // Blower
    {60, rowDehumCycles, rowDehumCoolTime},         // Automatic Dehumidification
    {61, rowCalibration, kRowTimeBelowOff},         // Temperatures
};

constexpr GroupRows mGroups[] = {
    {59, rowDevice, rowCanAddress},                 // General
    {61, rowCalibration, mRowOffset6},              // Temperatures
    {169, mRowFirstStart, mRowCompressor6},         // Compressors
    {60, rowDehumCycles, rowDehumCoolTime},         // Automatic Dehumidification
    {62, rowBlowerPermanent, rowBlowerLevel5},      // Blower
    {170, mRowRelay1, mRowRelay3},                  // Relays
    {174, mRowFlowSwitch, mRowFlowSwitch},          // Flow-Switch
};

template <std::size_t n>
constexpr bool holdEveryRowOnce(const GroupRows (&groups)[n], int rowCount)
{
    for (int r = 0; r < rowCount; ++r) {
        int holders = 0;
        for (const GroupRows& g : groups)
            holders += r >= g.firstRow && r <= g.lastRow;
        if (holders != 1)
            return false;
    }
    return true;
}
static_assert(holdEveryRowOnce(kGroups, kRowCount));
static_assert(holdEveryRowOnce(mGroups, mRowCount));

std::span<const GroupRows> groupsOf(Family family)
{
    if (family == Family::m)
        return mGroups;
    return kGroups;
}

std::unique_ptr<ConfigForm> formHolding(Family family, const unsigned char* block)
{
    // As the window does after a read: created, then the block taken in.
    std::unique_ptr<ConfigForm> form = newConfigForm(family);
    form->takeBlock(block);
    return form;
}

ConfigParameter parameter(const std::string& group, std::string label, std::string value, const FormRow& row)
{
    return {group, std::move(label), std::move(value), row.unit ? row.unit : "", row.defaultText};
}

// Row r's value as the window shows it; "Blower power at" lists the entries
// of the blower type the rows were filled for.
std::string shownValue(const RowInfo& info, int r, const FormRow& row, int blowerType)
{
    if (info.kind == RowKind::number)
        return std::to_string(row.value);
    const char* item = r == rowBlowerPowerAt ? blowerEntryName(blowerType, row.value) : listItemText(info, row.value);
    return *item ? item : noItemMarker;
}

// The five level rows as the window shows them for one "Blower power at" entry.
struct LevelGroup {
    std::string entry;   // empty for a blower type without entries
    FormRow rows[blowerLevelCount];
};

// Lists a form that has just taken its block. Leaves the form showing
// another level group.
std::vector<ConfigParameter> listForm(ConfigForm& form)
{
    // The rows as shown right after the read. Showing another level group
    // gathers every row back into the block first, which tidies fields the
    // window could not show (both flow-switch bits, say); the listing must
    // show them as read.
    const std::vector<FormRow> shown(form.rows(), form.rows() + form.rowCount());
    const int type = form.formView().typeShown;

    std::vector<LevelGroup> levels;
    const int entries = blowerEntryCount(type);
    if (entries == 0)
        std::copy_n(&shown[rowBlowerLevel1], blowerLevelCount, levels.emplace_back().rows);
    for (int e = 0; e < entries; ++e) {
        form.rows()[rowBlowerPowerAt].value = e;
        form.powerAtChanged();
        LevelGroup& group = levels.emplace_back();
        group.entry = blowerEntryName(type, e);
        std::copy_n(form.rows() + rowBlowerLevel1, blowerLevelCount, group.rows);
    }

    std::vector<ConfigParameter> listed;
    for (const GroupRows& g : groupsOf(form.family())) {
        const std::string groupName = text(g.groupText);
        for (int r = g.firstRow; r <= g.lastRow; ++r) {
            const RowInfo& info = form.rowInfo(r);
            if (info.kind == RowKind::heading)
                continue;   // the rows under it name what they hold in full
            if (r < rowBlowerLevel1 || r > rowBlowerLevel5) {
                const FormRow& row = shown[r];
                listed.push_back(parameter(groupName, text(info.labelText), shownValue(info, r, row, type), row));
            } else if (r == rowBlowerLevel1) {
                for (const LevelGroup& group : levels)
                    for (int l = 0; l < blowerLevelCount; ++l) {
                        std::string label = text(form.rowInfo(rowBlowerLevel1 + l).labelText);
                        if (!group.entry.empty())
                            label += " (" + group.entry + ")";
                        listed.push_back(parameter(groupName, std::move(label), std::to_string(group.rows[l].value),
                                                   group.rows[l]));
                    }
            }
        }
    }
    return listed;
}

bool isTemperatureUnit(const std::string& unit)
{
    for (const char* u : {unitCelsius, unitFahrenheit, unitTenthCelsius, unitTenthFahrenheit})
        if (unit == u)
            return true;
    return false;
}

std::string withUnit(const ConfigParameter& p) { return p.unit.empty() ? p.value : p.value + " " + p.unit; }

std::string keyOf(const ConfigParameter& p) { return p.group + '\n' + p.label; }

} // namespace

std::unique_ptr<ConfigForm> newConfigForm(Family family)
{
    std::unique_ptr<ConfigForm> form;
    if (family == Family::m)
        form = std::make_unique<MConfigForm>();
    else
        form = std::make_unique<KConfigForm>();
    form->create();
    return form;
}

std::vector<ConfigParameter> listConfiguration(Family family, const unsigned char* block)
{
    return listForm(*formHolding(family, block));
}

std::vector<ConfigDifference> diffConfiguration(Family family, const unsigned char* a, const unsigned char* b)
{
    const std::unique_ptr<ConfigForm> formA = formHolding(family, a);
    const int unitA = formA->formView().unitShown;
    const std::vector<ConfigParameter> before = listForm(*formA);

    const std::unique_ptr<ConfigForm> formB = formHolding(family, b);
    const bool otherUnit = formB->formView().unitShown != unitA;
    std::vector<ConfigParameter> after = listForm(*formB);
    if (otherUnit) {
        // Only the temperatures come from b shown in a's unit: the unit row
        // must still say what b holds, and the switch gathers every row back
        // into the block, which may tidy fields the window could not show.
        const std::unique_ptr<ConfigForm> converted = formHolding(family, b);
        converted->rows()[rowTemperatureUnit].value = unitA;
        converted->unitChanged();
        const std::vector<ConfigParameter> inUnitA = listForm(*converted);
        for (std::size_t i = 0; i < after.size() && i < inUnitA.size(); ++i)
            if (isTemperatureUnit(inUnitA[i].unit) && keyOf(inUnitA[i]) == keyOf(after[i]))
                after[i] = inUnitA[i];
    }

    std::map<std::string, std::size_t> indexInA, indexInB;
    for (std::size_t i = 0; i < before.size(); ++i)
        indexInA.emplace(keyOf(before[i]), i);
    for (std::size_t j = 0; j < after.size(); ++j)
        indexInB.emplace(keyOf(after[j]), j);

    // Sorted by (a's row + 1, 0 for a row of a / 1 for a row only b has, b's row).
    using Place = std::tuple<std::size_t, int, std::size_t>;
    std::vector<std::pair<Place, ConfigDifference>> found;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto inB = indexInB.find(keyOf(before[i]));
        const std::string was = withUnit(before[i]);
        const std::string is = inB == indexInB.end() ? std::string() : withUnit(after[inB->second]);
        if (inB == indexInB.end() || was != is)
            found.push_back({{i + 1, 0, 0}, {before[i].group, before[i].label, was, is}});
    }
    std::size_t follows = 0;   // a's row + 1 of the last row of b that a has too
    for (std::size_t j = 0; j < after.size(); ++j) {
        const auto inA = indexInA.find(keyOf(after[j]));
        if (inA != indexInA.end())
            follows = inA->second + 1;
        else
            found.push_back({{follows, 1, j}, {after[j].group, after[j].label, "", withUnit(after[j])}});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto& x, const auto& y) { return x.first < y.first; });

    std::vector<ConfigDifference> differences;
    for (auto& f : found)
        differences.push_back(std::move(f.second));
    return differences;
}

std::string formatConfigListing(const std::vector<ConfigParameter>& parameters)
{
    // Windows-1252 has one byte per character, so bytes are columns.
    std::size_t labelWidth = 0, valueWidth = 0, unitWidth = 0;
    for (const ConfigParameter& p : parameters) {
        labelWidth = std::max(labelWidth, p.label.size());
        valueWidth = std::max(valueWidth, p.value.size());
        unitWidth = std::max(unitWidth, p.unit.size());
    }
    const auto padded = [](const std::string& s, std::size_t width) { return s + std::string(width - s.size(), ' '); };

    std::string out;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const ConfigParameter& p = parameters[i];
        if (i == 0 || p.group != parameters[i - 1].group) {
            if (i > 0)
                out += '\n';
            out += p.group + '\n';
        }
        std::string line = "  " + padded(p.label, labelWidth) + "  " + padded(p.value, valueWidth) + " " +
                           padded(p.unit, unitWidth);
        if (!p.defaultValue.empty())
            line += "  default " + p.defaultValue;
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + '\n';
    }
    return out;
}
