#pragma once
// A configuration block as a list of parameters, for printing and comparing
// in a terminal: what the configuration window would show for it, row by
// row, with every blower-level group the block's blower type has. All texts
// are Windows-1252, from the current text table (uiText).
#include <memory>
#include <string>
#include <vector>

#include "app/family.h"
#include "config/config_form.h"

// What a list row shows when the block holds a value it has no item for.
inline constexpr const char* noItemMarker = "?";

struct ConfigParameter {
    std::string group;        // the group box the row sits in ("General", ...)
    std::string label;        // the row's label; blower levels name their group
    std::string value;        // list item or number, as the window shows it
    std::string unit;         // "°C", "V", "min", ... or empty
    std::string defaultValue; // the defaults column, or empty where it has none
};

// The family's form as a configuration window creates it.
std::unique_ptr<ConfigForm> newConfigForm(Family family);

// Every parameter of block (the family's parameter block as a file or a read
// holds it: 62 bytes K, 74 bytes M), groups in the order the window lists its
// boxes, rows in the window's order within each, temperatures in the unit the
// block says. Labels are the window's, unique within their group; the five
// level rows are listed once per entry of "Blower power at", labelled
// "Blower level 1 (AC 60Hz)", and plain when the blower type is unknown (the
// window then shows group 0 without an entry). The "Switch-on/off offset:"
// heading is left out: its rows name the offset in full.
std::vector<ConfigParameter> listConfiguration(Family family, const unsigned char* block);

// A parameter whose value differs between two blocks of one family.
struct ConfigDifference {
    std::string group;
    std::string label;
    std::string before;   // value in a (with its unit); empty when only b has the row
    std::string after;    // value in b (with its unit); empty when only a has the row
};

// Only what differs, in the window's order (rows only b has, such as another
// blower type's levels, follow the row they follow in b). b's temperatures
// are taken in a's temperature unit, so blocks that differ only in the unit
// shown give one difference (the unit), not one per temperature.
std::vector<ConfigDifference> diffConfiguration(Family family, const unsigned char* a, const unsigned char* b);

// A plain-text table, lines ending in '\n': each group's name, then its
// parameters indented, in columns label, value, unit and "default 24".
std::string formatConfigListing(const std::vector<ConfigParameter>& parameters);
