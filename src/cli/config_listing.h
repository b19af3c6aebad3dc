#pragma once
// A configuration block as a list of parameters, for printing and comparing
// in a terminal. Labels, list items and groups are the configuration
// window's, but every value is taken from the block as it is stored: a value
// the window cannot show (outside its arrows' range, or a list value it has
// no item for) is listed as stored and marked, never as the window would
// change it. All texts are Windows-1252, from the current text table.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "app/family.h"
#include "config/config_form.h"

// What a list row shows when the block holds no type of blower it knows.
inline constexpr const char* noItemMarker = "?";

struct ConfigParameter {
    std::string group;        // the group box the row sits in ("General", ...)
    std::string label;        // the row's label; blower levels name their group
    std::string value;        // list item or number as stored; a stored number for a list value with no item
    std::string unit;         // "°C", "V", "min", ... or empty
    std::string defaultValue; // the defaults column, or empty where it has none
    std::string limits;       // "15 to 29", or the list's items "F1, F2, F3, F7"; empty for none
    bool valid = true;        // false: outside the limits or not in the list
    // The window cannot show the stored value: it would hold the number to
    // its arrows' range or show a list without the value, and saving or
    // programming from it would change the value.
    bool unshowable = false;
    bool isList = false;      // value is a list item (or flag); otherwise a number
    bool hasBytes = false;    // a value of the block (not the "Blower power at" view)
    long stored = 0;          // the value as stored (lists: the stored number)
    long defaultStored = 0;
};

// The family's form as a configuration window creates it.
std::unique_ptr<ConfigForm> newConfigForm(Family family);

// Every parameter of block (62 bytes K, 74 bytes M), groups in the order the
// window lists its boxes, rows in the window's order within each,
// temperatures in the unit the block says. Labels are the window's, unique
// within their group; the five level rows are listed once per entry of
// "Blower power at", labelled "Blower level 1 (AC 60Hz)", and plain when the
// blower type is unknown (group 0). The "Switch-on/off offset:" heading is
// left out: its rows name the offset in full.
std::vector<ConfigParameter> listConfiguration(Family family, const unsigned char* block);

// A difference between two blocks of one family: a parameter whose stored
// bytes differ (in either temperature copy), or a byte that belongs to no
// parameter listed for either block (bits the window passes through, level
// groups of blower types neither block has).
struct ConfigDifference {
    std::string group;        // empty for a byte
    std::string label;        // empty for a byte
    std::string before;       // the value in a, with its unit
    std::string after;        // the value in b, with its unit
    int offset = -1;          // a byte: its offset in the block; -1 for a parameter
    // Numbers for machines: the stored values in a's unit (bytes: the bytes).
    bool isList = false;
    long storedBefore = 0;
    long storedAfter = 0;
    std::string unit;
};

// Every difference, in the window's order, then the bytes by offset. Both
// blocks' temperatures are shown in a's unit; when only the other unit's
// copy differs, both copies are shown.
std::vector<ConfigDifference> diffConfiguration(Family family, const unsigned char* a, const unsigned char* b);

// "General / CAN Address: 1 -> 7" or "byte 5: 0x00 -> 0x80".
std::string describeDifference(const ConfigDifference& difference);

// The parameters of block whose stored values the window cannot show:
// configuration files with them are refused rather than changed.
std::vector<ConfigParameter> unshowableValues(Family family, const unsigned char* block);

// "Set temperature: 90 °C, outside 15 to 29" / "Operating mode: 9, not one of F1, F2, F3, F7".
std::string describeInvalidValue(const ConfigParameter& parameter);

// A plain-text table, lines ending in '\n': each group's name, then its
// parameters indented, in columns label, value, unit and "default 24"; a
// value that is not valid is followed by its limits, marked with "!".
std::string formatConfigListing(const std::vector<ConfigParameter>& parameters);
