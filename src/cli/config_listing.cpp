#include "cli/config_listing.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <utility>

#include "app/texts.h"
#include "config/k_config_form.h"
#include "config/k_parameters.h"
#include "config/m_config_form.h"
#include "config/m_parameters.h"

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

constexpr GroupRows kSeriesGroups[] = {
    {59, rowDevice, rowCanAddress},                 // General
    {62, rowBlowerPermanent, rowBlowerLevel5},      // Blower
    {60, rowDehumCycles, rowDehumCoolTime},         // Automatic Dehumidification
    {61, rowCalibration, kSeriesRowTimeBelowOff},   // Temperatures
};

constexpr GroupRows mSeriesGroups[] = {
    {59, rowDevice, rowCanAddress},                 // General
    {61, rowCalibration, mSeriesRowOffset6},        // Temperatures
    {169, mSeriesRowFirstStart, mSeriesRowCompressor6},   // Compressors
    {60, rowDehumCycles, rowDehumCoolTime},         // Automatic Dehumidification
    {62, rowBlowerPermanent, rowBlowerLevel5},      // Blower
    {170, mSeriesRowRelay1, mSeriesRowRelay3},      // Relays
    {174, mSeriesRowFlowSwitch, mSeriesRowFlowSwitch},   // Flow-Switch
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
static_assert(holdEveryRowOnce(kSeriesGroups, kSeriesRowCount));
static_assert(holdEveryRowOnce(mSeriesGroups, mSeriesRowCount));

std::span<const GroupRows> groupsOf(Family family)
{
    if (family == Family::m)
        return mSeriesGroups;
    return kSeriesGroups;
}

const RowInfo& rowInfoOf(Family family, int row)
{
    return family == Family::m ? mSeriesRowInfo(row) : kSeriesRowInfo(row);
}

const unsigned char* defaultsOf(Family family)
{
    if (family == Family::m)
        return reinterpret_cast<const unsigned char*>(&mSeriesDefaultParameters);
    return reinterpret_cast<const unsigned char*>(&kSeriesDefaultParameters);
}

std::size_t blockSizeOf(Family family) { return family == Family::m ? mSeriesParameterBlockSize : kSeriesParameterBlockSize; }

// How the window shows a row's value: a list (flags are lists of two
// items), a number box that shows whatever the block holds (the check sees
// a value outside its limits), arrows that hold the value to their range, or
// the "Blower power at" choice, which is no value of the block.
enum class Kind { list, box, arrows, view };

// Where and how a row's value is stored.
struct Field {
    Kind kind = Kind::view;
    int at[2] = {-1, -1};          // offset of the °C copy and of the °F copy; one copy: both the same
    int width = 1;                 // bytes
    bool isSigned = false;
    std::uint16_t bits = 0;        // a bit field of the little-endian word at `at` (0: the whole value)
    int itemBase = 0;              // lists: the stored value of the first item
    Range limits[2] = {};          // box and arrows: by unit shown
    const char* unit[2] = {nullptr, nullptr};
};

Field one(Kind kind, std::size_t at, int width = 1, bool isSigned = false)
{
    Field f;
    f.kind = kind;
    f.at[0] = f.at[1] = static_cast<int>(at);
    f.width = width;
    f.isSigned = isSigned;
    return f;
}

Field listAt(std::size_t at, int itemBase = 0)
{
    Field f = one(Kind::list, at);
    f.itemBase = itemBase;
    return f;
}

Field flagAt(std::size_t at, std::uint16_t bits, int width = 2)
{
    Field f = one(Kind::list, at, width);
    f.bits = bits;
    return f;
}

Field numberAt(std::size_t at, Range limits, const char* unit = nullptr, int width = 1, bool isSigned = false)
{
    Field f = one(Kind::box, at, width, isSigned);
    f.limits[0] = f.limits[1] = limits;
    f.unit[0] = f.unit[1] = unit;
    return f;
}

// A value with a °C copy and a °F copy.
Field copiesAt(Kind kind, std::size_t celsius, std::size_t fahrenheit, Range inC, Range inF, const char* unitC,
               const char* unitF, int width = 1, bool isSigned = false)
{
    Field f = one(kind, celsius, width, isSigned);
    f.at[1] = static_cast<int>(fahrenheit);
    f.limits[0] = inC;
    f.limits[1] = inF;
    f.unit[0] = unitC;
    f.unit[1] = unitF;
    return f;
}

Field temperatureAt(std::size_t celsius, const TemperatureLimits& limits)
{
    return copiesAt(Kind::box, celsius, celsius + 2, limitsInUnit(limits, 0), limitsInUnit(limits, 1), unitCelsius,
                    unitFahrenheit, 2, true);
}

Range volts(int i) { return Range{supplyVoltageLimits[i][0], supplyVoltageLimits[i][1]}; }

// The rows both families have, at the offsets of Block.
template <class Block>
Field commonField(int row, int levelGroup, int blowerSetBase)
{
    switch (row) {
    case rowDevice:
        return flagAt(offsetof(Block, Flags_Device), flagDeviceOn);
    case rowTemperatureUnit:
        return flagAt(offsetof(Block, Flags_Options), flagUnitFahrenheit);
    case rowIrRemote:
        return flagAt(offsetof(Block, Flags_Options), flagIrRemote);
    case rowSetTemp:
        return copiesAt(Kind::arrows, offsetof(Block, SetTemp_C), offsetof(Block, SetTemp_F), setTemperatureRange[0],
                        setTemperatureRange[1], unitCelsius, unitFahrenheit);
    case rowOperatingMode:
        return listAt(offsetof(Block, OperatingMode));
    case rowAccessCode:
        return numberAt(offsetof(Block, AccessCode), accessCodeRange);
    case rowLowVolt115:
        return numberAt(offsetof(Block, LowVolt_115), volts(0), unitVolt);
    case rowLowVolt230:
        return numberAt(offsetof(Block, LowVolt_230), volts(1), unitVolt);
    case rowCanAddress:
        return numberAt(offsetof(Block, CanAddress), canAddressRange);
    case rowBlowerPermanent:
        return flagAt(offsetof(Block, Flags_Options), flagBlowerPermanent);
    case rowBlowerType:
        return listAt(offsetof(Block, BlowerType));
    case rowBlowerSet:
        return listAt(offsetof(Block, BlowerSet), blowerSetBase);
    case rowDehumCycles:
        return listAt(offsetof(Block, Dehum_Cycles), 1);
    case rowDehumHeatTime:
        return numberAt(offsetof(Block, Dehum_HeatTime), dehumTimeRange, unitMinutes);
    case rowDehumCoolTime:
        return numberAt(offsetof(Block, Dehum_CoolTime), dehumTimeRange, unitMinutes);
    case rowCalibration:
        return copiesAt(Kind::arrows, offsetof(Block, RoomCal_C), offsetof(Block, RoomCal_F), calibrationRange[0],
                        calibrationRange[1], unitTenthCelsius, unitTenthFahrenheit, 1, true);
    default:
        break;
    }
    if (row >= rowBlowerLevel1 && row <= rowBlowerLevel5)
        return numberAt(offsetof(Block, BlowerLevel) + static_cast<std::size_t>(levelGroup * blowerLevelCount) +
                            static_cast<std::size_t>(row - rowBlowerLevel1),
                        blowerLevelRange);
    return Field{};   // "Blower power at"
}

Field kSeriesField(int row, int levelGroup)
{
    if (row >= kSeriesRowCoolOffMin && row <= kSeriesRowHeatOn) {
        const int i = row - kSeriesRowCoolOffMin;
        return temperatureAt(offsetof(KParameterBlock, CoolOffMin_C) + static_cast<std::size_t>(4 * i),
                             kSeriesSwitchTempLimits[i]);
    }
    if (row == kSeriesRowHysteresis)
        return copiesAt(Kind::box, offsetof(KParameterBlock, Hyst_C), offsetof(KParameterBlock, Hyst_F),
                        kSeriesHysteresisRange[0], kSeriesHysteresisRange[1], unitTenthCelsius, unitTenthFahrenheit);
    if (row == kSeriesRowTimeBelowOff)
        return numberAt(offsetof(KParameterBlock, Time_BelowOff), timeBelowOffRange, unitBySecond, 2);
    return commonField<KParameterBlock>(row, levelGroup, 1);
}

Field mSeriesField(int row, int levelGroup)
{
    if (row >= mSeriesRowCoolWaterOff && row <= mSeriesRowHeatWaterOff) {
        const int i = row - mSeriesRowCoolWaterOff;
        return temperatureAt(offsetof(MParameterBlock, CoolWaterOff_C) + static_cast<std::size_t>(4 * i),
                             mSeriesWaterTempLimits[i]);
    }
    if (row == mSeriesRowHysteresis)
        return copiesAt(Kind::box, offsetof(MParameterBlock, Hyst_C), offsetof(MParameterBlock, Hyst_F),
                        Range{0, mSeriesHysteresisMax[0]}, Range{0, mSeriesHysteresisMax[1]}, unitTenthCelsius,
                        unitTenthFahrenheit);
    if (row >= mSeriesRowOffset1 && row <= mSeriesRowOffset6) {
        const std::size_t at =
            offsetof(MParameterBlock, CompOffset) + static_cast<std::size_t>(2 * (row - mSeriesRowOffset1));
        return copiesAt(Kind::box, at, at + 1, Range{0, mSeriesOffsetMax[0]}, Range{0, mSeriesOffsetMax[1]}, unitTenthCelsius,
                        unitTenthFahrenheit);
    }
    if (row == mSeriesRowFirstStart)
        return numberAt(offsetof(MParameterBlock, Time_FirstStart), firstStartRange, unitSeconds);
    if (row == mSeriesRowComprStart)
        return numberAt(offsetof(MParameterBlock, Time_ComprStart), comprStartRange, unitSeconds);
    if (row >= mSeriesRowCompressor1 && row <= mSeriesRowCompressor6)
        return flagAt(offsetof(MParameterBlock, CompressorEnable),
                      static_cast<std::uint16_t>(1u << (row - mSeriesRowCompressor1)), 1);
    if (row >= mSeriesRowRelay1 && row <= mSeriesRowRelay3)
        return listAt(offsetof(MParameterBlock, Relay) + static_cast<std::size_t>(row - mSeriesRowRelay1));
    if (row == mSeriesRowFlowSwitch)   // NO is item 1, NC item 2; both bits set is no item
        return flagAt(offsetof(MParameterBlock, Flags_Options), flagFlowSwitchNo | flagFlowSwitchNc);
    return commonField<MParameterBlock>(row, levelGroup, 0);
}

Field fieldOf(Family family, int row, int levelGroup)
{
    return family == Family::m ? mSeriesField(row, levelGroup) : kSeriesField(row, levelGroup);
}

int unitShownIn(const unsigned char* block) { return (block[offsetof(KParameterBlock, Flags_Options)] & 1) ? 1 : 0; }

long storedValue(const Field& f, const unsigned char* block, int unit)
{
    const int at = f.at[unit];
    long value = 0;
    if (f.width == 2) {
        const unsigned word = block[at] | static_cast<unsigned>(block[at + 1]) << 8;
        value = f.isSigned ? static_cast<std::int16_t>(word) : static_cast<long>(word);
    } else {
        value = f.isSigned ? static_cast<std::int8_t>(block[at]) : static_cast<long>(block[at]);
    }
    if (f.bits != 0)
        value = (value & f.bits) >> std::countr_zero(f.bits);
    return value;
}

// The bits of byte i of a copy that the field holds.
unsigned ownedBits(const Field& f, int i)
{
    return f.bits != 0 ? (f.bits >> (8 * i)) & 0xFFu : 0xFFu;
}

// Marks every bit the field holds (both copies) in owned.
void markOwned(const Field& f, std::vector<unsigned>& owned)
{
    if (f.kind == Kind::view)
        return;
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < f.width; ++i)
            owned[static_cast<std::size_t>(f.at[copy] + i)] |= ownedBits(f, i);
}

bool sameBytes(const Field& f, const unsigned char* a, const unsigned char* b)
{
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < f.width; ++i) {
            const std::size_t at = static_cast<std::size_t>(f.at[copy] + i);
            if (((a[at] ^ b[at]) & ownedBits(f, i)) != 0)
                return false;
        }
    return true;
}

std::string joinItems(const RowInfo& info)
{
    std::string items;
    for (int i = 0; i < info.itemCount; ++i)
        items += (i > 0 ? ", " : "") + std::string(listItemText(info, i));
    return items;
}

// A field's value in one block, shown in unit.
struct Shown {
    std::string text;
    long stored = 0;
    bool valid = true;
};

Shown show(const Field& f, const RowInfo& info, const unsigned char* block, int unit)
{
    Shown s;
    s.stored = storedValue(f, block, unit);
    if (f.kind == Kind::list) {
        const long index = s.stored - f.itemBase;
        s.valid = index >= 0 && index < info.itemCount;
        s.text = s.valid ? listItemText(info, static_cast<int>(index)) : std::to_string(s.stored);
    } else {
        s.valid = s.stored >= f.limits[unit].min && s.stored <= f.limits[unit].max;
        s.text = std::to_string(s.stored);
    }
    return s;
}

// One listed row: what it shows, and how to read it from any block.
struct Entry {
    ConfigParameter parameter;
    Field field;
    const RowInfo* info;
};

std::string limitsText(const Field& f, const RowInfo& info, int unit)
{
    if (f.kind == Kind::list)
        return joinItems(info);
    return std::to_string(f.limits[unit].min) + " to " + std::to_string(f.limits[unit].max);
}

Entry entryFor(Family family, const std::string& group, std::string label, int row, int levelGroup,
               const unsigned char* block, int unit)
{
    Entry e{{}, fieldOf(family, row, levelGroup), &rowInfoOf(family, row)};
    ConfigParameter& p = e.parameter;
    p.group = group;
    p.label = std::move(label);
    if (e.field.kind == Kind::view)
        return e;
    const Shown value = show(e.field, *e.info, block, unit);
    const Shown byDefault = show(e.field, *e.info, defaultsOf(family), unit);
    p.value = value.text;
    p.stored = value.stored;
    p.valid = value.valid;
    p.unshowable = !value.valid && (e.field.kind == Kind::list || e.field.kind == Kind::arrows);
    p.defaultValue = byDefault.text;
    p.defaultStored = byDefault.stored;
    p.unit = e.field.unit[unit] ? e.field.unit[unit] : "";
    p.limits = limitsText(e.field, *e.info, unit);
    p.isList = e.field.kind == Kind::list;
    p.hasBytes = true;
    return e;
}

std::vector<Entry> listEntries(Family family, const unsigned char* block)
{
    const int unit = unitShownIn(block);
    const int type = block[offsetof(KParameterBlock, BlowerType)];
    // The level groups listed: one per "Blower power at" entry of the type,
    // group 0 unnamed for a type the window does not know.
    std::vector<std::pair<int, std::string>> levels;
    for (int e = 0; e < blowerEntryCount(type); ++e)
        levels.emplace_back(blowerEntryGroup(type, e), blowerEntryName(type, e));
    if (levels.empty())
        levels.emplace_back(0, "");

    std::vector<Entry> listed;
    for (const GroupRows& g : groupsOf(family)) {
        const std::string group = text(g.groupText);
        for (int r = g.firstRow; r <= g.lastRow; ++r) {
            const RowInfo& info = rowInfoOf(family, r);
            if (info.kind == RowKind::heading)
                continue;   // the rows under it name what they hold in full
            const std::string label = text(info.labelText);
            if (r == rowBlowerPowerAt) {
                Entry e = entryFor(family, group, label, r, 0, block, unit);
                e.parameter.value = levels.front().second.empty() ? noItemMarker : levels.front().second;
                e.parameter.isList = true;
                listed.push_back(std::move(e));
            } else if (r < rowBlowerLevel1 || r > rowBlowerLevel5) {
                listed.push_back(entryFor(family, group, label, r, 0, block, unit));
            } else if (r == rowBlowerLevel1) {
                for (const auto& [levelGroup, entryName] : levels)
                    for (int l = 0; l < blowerLevelCount; ++l) {
                        std::string levelLabel = text(rowInfoOf(family, rowBlowerLevel1 + l).labelText);
                        if (!entryName.empty())
                            levelLabel += " (" + entryName + ")";
                        listed.push_back(entryFor(family, group, std::move(levelLabel), rowBlowerLevel1 + l,
                                                  levelGroup, block, unit));
                    }
            }
        }
    }
    return listed;
}

std::string keyOf(const ConfigParameter& p) { return p.group + '\n' + p.label; }

std::string withUnit(const std::string& value, const char* unit)
{
    return unit && *unit ? value + " " + unit : value;
}

std::string hexByte(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

} // namespace

std::unique_ptr<ConfigForm> newConfigForm(Family family)
{
    std::unique_ptr<ConfigForm> form;
    if (family == Family::m)
        form = std::make_unique<MSeriesConfigForm>();
    else
        form = std::make_unique<KSeriesConfigForm>();
    form->create();
    return form;
}

std::vector<ConfigParameter> listConfiguration(Family family, const unsigned char* block)
{
    std::vector<ConfigParameter> listed;
    for (Entry& e : listEntries(family, block))
        listed.push_back(std::move(e.parameter));
    return listed;
}

std::vector<ConfigDifference> diffConfiguration(Family family, const unsigned char* a, const unsigned char* b)
{
    const std::vector<Entry> inA = listEntries(family, a);
    const std::vector<Entry> inB = listEntries(family, b);
    const int unit = unitShownIn(a);

    // The rows of a, then those only b lists (another blower type's levels),
    // each after the row it follows in b.
    std::map<std::string, std::size_t> indexInA;
    for (std::size_t i = 0; i < inA.size(); ++i)
        indexInA.emplace(keyOf(inA[i].parameter), i);
    using Place = std::pair<std::size_t, std::size_t>;   // (a's row + 1, b's row + 1 or 0)
    std::vector<std::pair<Place, const Entry*>> rows;
    for (std::size_t i = 0; i < inA.size(); ++i)
        rows.push_back({{i + 1, 0}, &inA[i]});
    std::size_t follows = 0;
    for (std::size_t j = 0; j < inB.size(); ++j) {
        const auto found = indexInA.find(keyOf(inB[j].parameter));
        if (found != indexInA.end())
            follows = found->second + 1;
        else
            rows.push_back({{follows, j + 1}, &inB[j]});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& x, const auto& y) { return x.first < y.first; });

    std::vector<ConfigDifference> differences;
    std::vector<unsigned> owned(blockSizeOf(family), 0);
    for (const auto& [place, entry] : rows) {
        const Field& f = entry->field;
        markOwned(f, owned);
        if (f.kind == Kind::view || sameBytes(f, a, b))
            continue;
        const Shown before = show(f, *entry->info, a, unit);
        const Shown after = show(f, *entry->info, b, unit);
        ConfigDifference d;
        d.group = entry->parameter.group;
        d.label = entry->parameter.label;
        d.before = withUnit(before.text, f.unit[unit]);
        d.after = withUnit(after.text, f.unit[unit]);
        if (before.stored == after.stored) {
            // Only the other unit's copy differs.
            const int other = 1 - unit;
            d.before += " (" + withUnit(show(f, *entry->info, a, other).text, f.unit[other]) + ")";
            d.after += " (" + withUnit(show(f, *entry->info, b, other).text, f.unit[other]) + ")";
        }
        d.isList = f.kind == Kind::list;
        d.storedBefore = before.stored;
        d.storedAfter = after.stored;
        d.unit = f.unit[unit] ? f.unit[unit] : "";
        differences.push_back(std::move(d));
    }
    for (std::size_t i = 0; i < owned.size(); ++i) {
        if (((a[i] ^ b[i]) & ~owned[i] & 0xFFu) == 0)
            continue;
        ConfigDifference d;
        d.offset = static_cast<int>(i);
        d.before = hexByte(a[i]);
        d.after = hexByte(b[i]);
        d.storedBefore = a[i];
        d.storedAfter = b[i];
        differences.push_back(std::move(d));
    }
    return differences;
}

std::string describeDifference(const ConfigDifference& d)
{
    if (d.offset >= 0)
        return "byte " + std::to_string(d.offset) + ": " + d.before + " -> " + d.after;
    return d.group + " / " + d.label + ": " + d.before + " -> " + d.after;
}

std::vector<ConfigParameter> unshowableValues(Family family, const unsigned char* block)
{
    std::vector<ConfigParameter> found;
    for (ConfigParameter& p : listConfiguration(family, block))
        if (p.unshowable)
            found.push_back(std::move(p));
    return found;
}

std::string describeInvalidValue(const ConfigParameter& p)
{
    const std::string value = p.unit.empty() ? p.value : p.value + " " + p.unit;
    return p.label + ": " + value + (p.isList ? ", not one of " : ", outside ") + p.limits;
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
        if (!p.valid)
            line += std::string(p.defaultValue.empty() ? "" : "  ") + "! " + (p.isList ? "not one of " : "outside ") +
                    p.limits;
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + '\n';
    }
    return out;
}
