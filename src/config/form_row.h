#pragma once
#include <cstdint>

#include "config/common_parameters.h"

// The portable state of a configuration window's controls. A window
// procedure mirrors these rows onto its controls, writes the user's arrow
// clicks and list choices back into them, and calls the form functions; the
// forms never see a window.

enum class RowKind : std::uint8_t { list, number, heading };

inline constexpr int noSelection = -1;          // a list that shows no item
inline constexpr int defaultTextSize = 16;

struct FormRow {
    int value;          // list: the selected item or noSelection; number: the value in its box
    int min;            // arrow range of a number row
    int max;
    bool enabled;       // the list, or the box with its arrows
    const char* unit;   // unit text beside the value, nullptr for none
    char defaultText[defaultTextSize];  // the defaults column, "" for none
};

// What a row is made of; the window builds it once from this.
struct RowInfo {
    RowKind kind;
    int labelText;              // text number of the label (of the group box for the flow switch)
    int itemCount;              // fixed list items; 0 for "Blower power at", which follows the type
    const char* const* items;   // literal items, or nullptr for texts itemText, itemText + 1, ...
    int itemText;
};

// Item `index` of a fixed list in the current language.
const char* listItemText(const RowInfo& info, int index);

// Arrows set to a range and a position; the position stays inside the range
// as the arrow control keeps it.
void setArrows(FormRow& row, Range range, int value);
// A new range for the arrows; the box keeps its value.
void setArrowRange(FormRow& row, Range range);
// A value written into the box as text; no range applies to it.
void writeNumber(FormRow& row, int value);
// A list selection; an index the list does not have selects nothing.
void selectItem(FormRow& row, int index, int itemCount);

void setDefaultText(FormRow& row, const char* text);
void setDefaultNumber(FormRow& row, int value);

// The "Blower power at" list: its entries for a blower type and the level
// group each entry shows. Unknown types have no entries.
int blowerEntryCount(int type);
const char* blowerEntryName(int type, int entry);
int blowerEntryGroup(int type, int entry);   // -1 for no such entry
int blowerGroupEntry(int type, int group);   // -1 when the type has no entry for the group

// Unit texts beside the values.
inline constexpr const char* unitCelsius = "°C";
inline constexpr const char* unitFahrenheit = "°F";
inline constexpr const char* unitTenthCelsius = "x 0,1°C";
inline constexpr const char* unitTenthFahrenheit = "x 0,1°F";
inline constexpr const char* unitVolt = "V";
inline constexpr const char* unitMinutes = "min";
inline constexpr const char* unitSeconds = "s";
inline constexpr const char* unitBySecond = "x 1s";

// Rows both families have; each family's own rows follow commonRowCount.
// Unscoped: a row is an index into the form's rows and the family rows
// count on from commonRowCount.
enum CommonRow : int {
    rowDevice,
    rowTemperatureUnit,
    rowIrRemote,
    rowSetTemp,
    rowOperatingMode,
    rowAccessCode,
    rowLowVolt115,
    rowLowVolt230,
    rowCanAddress,
    rowBlowerPermanent,
    rowBlowerType,
    rowBlowerSet,
    rowBlowerPowerAt,
    rowBlowerLevel1,
    rowBlowerLevel5 = rowBlowerLevel1 + blowerLevelCount - 1,
    rowDehumCycles,
    rowDehumHeatTime,
    rowDehumCoolTime,
    rowCalibration,
    commonRowCount
};

// What the window shows besides its rows.
struct FormView {
    int unitShown;    // 0 °C, 1 °F
    int typeShown;    // BlowerType the rows were filled for
    int groupShown;   // blower level group in the five level rows
    bool filling;     // set while the rows are filled; "Blower power at" changes are ignored then
};
