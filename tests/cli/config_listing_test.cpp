#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <tuple>
#include <string>
#include <type_traits>
#include <vector>

#include "app/texts.h"
#include "cli/config_listing.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"

namespace {

template <class Block>
Family familyOf(const Block&) { return std::is_same_v<Block, MParameterBlock> ? Family::m : Family::k; }
template <class Block>
const unsigned char* bytes(const Block& b) { return reinterpret_cast<const unsigned char*>(&b); }

// "group: value unit / default|" of each row labelled so; the label
// "Blower level" stands for the values of all level rows, in order.
template <class Block>
std::string rows(const Block& b, std::initializer_list<std::string> labels)
{
    std::string shown;
    for (const std::string& label : labels)
        for (const ConfigParameter& p : listConfiguration(familyOf(b), bytes(b)))
            if (p.label == label)
                shown += p.group + ": " + p.value + " " + p.unit + " / " + p.defaultValue + "|";
            else if (label == "Blower level" && p.label.rfind(label, 0) == 0)
                shown += p.value + " ";
    return shown;
}
template <class Block>
std::string diff(const Block& a, const Block& b)
{
    std::string shown;
    for (const ConfigDifference& d : diffConfiguration(familyOf(a), bytes(a), bytes(b)))
        shown += d.group + ": " + d.label + " " + d.before + " -> " + d.after + "|";
    return shown;
}

class ConfigListing : public ::testing::Test {
protected:
    void SetUp() override { selectLanguageTexts(1); }
};

} // namespace

// Every row once (both AC level groups, no offset heading), groups in the
// order of the window's boxes, labels unique in either language.
TEST_F(ConfigListing, FactoryDefaultsListEveryRowAtItsDefault)
{
    const auto check = [](auto block, std::size_t count, const std::string& groups) {
        const std::vector<ConfigParameter> listed = listConfiguration(familyOf(block), bytes(block));
        ASSERT_EQ(listed.size(), count);
        std::string seen;
        for (std::size_t i = 0; i < count; ++i) {
            seen += i > 0 && listed[i].group == listed[i - 1].group ? "" : listed[i].group + "|";
            // "Blower power at" is a view, with no default.
            EXPECT_TRUE(listed[i].value == listed[i].defaultValue || listed[i].label == "Blower power at")
                << listed[i].label << ": " << listed[i].value;
        }
        EXPECT_EQ(seen, groups);
        for (int language : {0, 1}) {
            selectLanguageTexts(language);
            std::set<std::string> keys;
            for (const ConfigParameter& p : listConfiguration(familyOf(block), bytes(block)))
                EXPECT_TRUE(keys.insert(p.group + "|" + p.label).second) << p.label;
        }   // English again
    };
    check(kSeriesDefaultParameters, 34, "General|Blower|Automatic Dehumidification|Temperatures|");
    check(mSeriesDefaultParameters, 50,
          "General|Temperatures|Compressors|Automatic Dehumidification|Blower|Relays|Flow-Switch|");
}

// The °F copies are shown as stored, not derived from the °C ones.
TEST_F(ConfigListing, FahrenheitBlockShowsTheFahrenheitCopies)
{
    KParameterBlock k = kSeriesDefaultParameters;
    k.Flags_Options |= flagUnitFahrenheit;
    k.SetTemp_F = 70;
    EXPECT_EQ(rows(k, {"Temperature unit", "Set temperature", "Switch off temperature cooling min",
                       "On/Off hysteresis compressor"}),
              "General: °F  / °C|General: 70 °F / 68|Temperatures: 28 °F / 28|Temperatures: 14 x 0,1°F / 14|");
}

// Each type lists the groups of its "Blower power at" entries, the
// read-only Silencer levels included.
TEST_F(ConfigListing, BlowerLevelsOfEveryGroupTheTypeHas)
{
    KParameterBlock k = kSeriesDefaultParameters;
    for (int g = 0; g < blowerGroupCount; ++g)
        for (int l = 0; l < blowerLevelCount; ++l)
            k.BlowerLevel[g][l] = static_cast<std::uint8_t>(31 + 10 * g + l);
    EXPECT_EQ(rows(k, {"Blower power at", "Blower level", "Blower level 5 (AC 60Hz)"}),
              "Blower: AC 50Hz  / |31 32 33 34 35 41 42 43 44 45 Blower: 45  / 100|");
    k.BlowerType = blowerTypeEcm;
    EXPECT_EQ(rows(k, {"Blower level", "Blower level 3 (ECM)"}), "51 52 53 54 55 Blower: 53  / 50|");
    k.BlowerType = blowerTypeSilencer;
    EXPECT_EQ(rows(k, {"Blower level"}), "61 62 63 64 65 ");
}

// A value the window cannot show (its arrows would hold it to their range,
// its list has no item for it) is listed as stored, marked, with the
// limits; a box value outside its limits is marked too, but the window
// shows it, so it is not "unshowable" (the check names it).
TEST_F(ConfigListing, ValuesOutsideTheirLimitsOrListsAreListedAsStoredAndMarked)
{
    const struct {
        const char* name = "";
        void (*k)(KParameterBlock&) = nullptr;   // the change, to a K block or to an M block
        void (*m)(MParameterBlock&) = nullptr;
        const char* label = "";
        const char* value = "";
        const char* limits = "";
        bool unshowable = false;
    } cases[] = {
        {.name = "set temperature above its arrows", .k = [](KParameterBlock& b) { b.SetTemp_C = 90; },
         .label = "Set temperature", .value = "90", .limits = "15 to 29", .unshowable = true},
        {.name = "calibration, negative", .m = [](MParameterBlock& b) { b.RoomCal_C = -100; },
         .label = "Calibration room temperature sensor", .value = "-100", .limits = "-55 to 55", .unshowable = true},
        {.name = "K blower set 0 has no item", .k = [](KParameterBlock& b) { b.BlowerSet = 0; },
         .label = "Blower Set", .value = "0", .limits = "1, 2, 3, 4, 5, Auto", .unshowable = true},
        {.name = "operating mode", .m = [](MParameterBlock& b) { b.OperatingMode = 9; },
         .label = "Operating mode", .value = "9", .limits = "F1, F2, F3, F4, F5, F7", .unshowable = true},
        {.name = "relay function", .m = [](MParameterBlock& b) { b.Relay[2] = 6; },
         .label = "Relay 3", .value = "6", .limits = "0, 1, 2, 3, 4, 5", .unshowable = true},
        {.name = "flow switch NO and NC", .m = [](MParameterBlock& b) { b.Flags_Options |= flagFlowSwitchNo | flagFlowSwitchNc; },
         .label = "Flow-Switch", .value = "3", .limits = "Off, NO, NC", .unshowable = true},
        {.name = "cycles 0", .k = [](KParameterBlock& b) { b.Dehum_Cycles = 0; },
         .label = "Cycles in 24h", .value = "0", .limits = "1, 2, 3", .unshowable = true},
        {.name = "a box value below its limits", .k = [](KParameterBlock& b) { b.LowVolt_115 = 50; },
         .label = "Low voltage cut out 115V", .value = "50", .limits = "90 to 105", .unshowable = false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        KParameterBlock k = kSeriesDefaultParameters;
        MParameterBlock m = mSeriesDefaultParameters;
        if (row.k)
            row.k(k);
        else
            row.m(m);
        const Family family = row.k ? Family::k : Family::m;
        const unsigned char* block = row.k ? bytes(k) : bytes(m);
        const std::vector<ConfigParameter> listed = listConfiguration(family, block);
        const auto found = std::find_if(listed.begin(), listed.end(), [&](const auto& p) { return p.label == row.label; });
        ASSERT_NE(found, listed.end());
        EXPECT_EQ(std::tuple(found->value, found->limits, found->valid, found->unshowable),
                  std::tuple(std::string(row.value), std::string(row.limits), false, row.unshowable));
        // The only marked value, and the only one refused.
        EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [](const auto& p) { return !p.valid; }), 1);
        EXPECT_EQ(unshowableValues(family, block).size(), row.unshowable ? 1u : 0u);
        EXPECT_NE(formatConfigListing(listed).find(std::string("! ") + (found->isList ? "not one of " : "outside ") +
                                                   row.limits + "\n"),
                  std::string::npos);
    }
    KParameterBlock k = kSeriesDefaultParameters;
    k.SetTemp_C = 90;
    EXPECT_EQ(describeInvalidValue(unshowableValues(Family::k, bytes(k))[0]), "Set temperature: 90 \xB0" "C, outside 15 to 29");
    // An unknown blower type lists group 0's levels without an entry.
    k.BlowerType = 7;
    EXPECT_EQ(rows(k, {"Blower Type", "Blower power at", "Blower level 1"}),
              "Blower: 7  / AC|Blower: ?  / |Blower: 35  / 35|");
}

// Every stored byte counts. Temperatures are shown in a's unit, with the
// other copy when only that differs; a blower type's change is that row
// alone (the levels' bytes stay); bytes no listed row holds come by offset.
TEST_F(ConfigListing, DiffListsEveryDifferingParameterAndByte)
{
    KParameterBlock k = kSeriesDefaultParameters;
    k.BlowerLevel[1][1] = 60;
    EXPECT_EQ(diff(kSeriesDefaultParameters, k), "Blower: Blower level 2 (AC 60Hz) 53 -> 60|");
    MParameterBlock m = mSeriesDefaultParameters;
    m.CanAddress = 7;
    EXPECT_EQ(diff(mSeriesDefaultParameters, m), "General: CAN Address 1 -> 7|");
    EXPECT_EQ(diff(m, m), "");

    KParameterBlock f = kSeriesDefaultParameters;
    f.Flags_Options |= flagUnitFahrenheit;
    EXPECT_EQ(diff(f, kSeriesDefaultParameters), "General: Temperature unit \xB0" "F -> \xB0" "C|");
    f.SetTemp_F = 77;
    EXPECT_EQ(diff(kSeriesDefaultParameters, f), "General: Temperature unit \xB0" "C -> \xB0" "F|"
                                          "General: Set temperature 20 \xB0" "C (68 \xB0" "F) -> 20 \xB0" "C (77 \xB0" "F)|");

    // A file with 90 against one with 29: the form would show both as 29.
    KParameterBlock hot = kSeriesDefaultParameters, limit = kSeriesDefaultParameters;
    hot.SetTemp_C = 90;
    limit.SetTemp_C = 29;
    EXPECT_EQ(diff(hot, limit), "General: Set temperature 90 \xB0" "C -> 29 \xB0" "C|");

    KParameterBlock ecm = kSeriesDefaultParameters;
    ecm.BlowerType = blowerTypeEcm;
    EXPECT_EQ(diff(kSeriesDefaultParameters, ecm), "Blower: Blower Type AC -> ECM|");
    ecm.BlowerLevel[2][0] = 35;   // ECM's levels, which only b lists
    EXPECT_EQ(diff(kSeriesDefaultParameters, ecm), "Blower: Blower Type AC -> ECM|Blower: Blower level 1 (ECM) 30 -> 35|");

    // Bits and groups no row shows: the device flag's other bits, the
    // Silencer levels of an AC unit.
    KParameterBlock hidden = kSeriesDefaultParameters;
    hidden.Flags_Device |= 0x8000;
    hidden.BlowerLevel[3][4] = 99;
    const std::vector<ConfigDifference> found = diffConfiguration(Family::k, bytes(kSeriesDefaultParameters), bytes(hidden));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(describeDifference(found[0]), "byte 1: 0x00 -> 0x80");
    EXPECT_EQ(describeDifference(found[1]), "byte 28: 0x64 -> 0x63");
}

TEST_F(ConfigListing, FormatAlignsTheColumnsUnderGroupHeadings)
{
    const auto row = [](const char* group, const char* label, const char* value, const char* unit,
                        const char* defaultValue) {
        ConfigParameter p;
        p.group = group;
        p.label = label;
        p.value = value;
        p.unit = unit;
        p.defaultValue = defaultValue;
        return p;
    };
    EXPECT_EQ(formatConfigListing({row("General", "Set temperature", "20", "°C", "20"),
                                   row("General", "Device", "On", "", "On"),
                                   row("Blower", "Blower power at", "AC 50Hz", "", "")}),
              "General\n  Set temperature  20      °C  default 20\n  Device           On          default On\n"
              "\nBlower\n  Blower power at  AC 50Hz\n");
}
