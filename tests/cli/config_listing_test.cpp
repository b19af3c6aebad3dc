#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
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
    check(kDefaultParameters, 34, "General|Blower|Automatic Dehumidification|Temperatures|");
    check(mDefaultParameters, 50,
          "General|Temperatures|Compressors|Automatic Dehumidification|Blower|Relays|Flow-Switch|");
}

// The °F copies are shown as stored, not derived from the °C ones.
TEST_F(ConfigListing, FahrenheitBlockShowsTheFahrenheitCopies)
{
    KParameterBlock k = kDefaultParameters;
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
    KParameterBlock k = kDefaultParameters;
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

// The marker stays while the other level groups are shown and while b is
// taken into a's unit for a diff.
TEST_F(ConfigListing, ListValuesWithoutAnItemShowTheMarker)
{
    MParameterBlock m = mDefaultParameters;
    m.OperatingMode = 9;
    m.Relay[2] = 6;
    m.Flags_Options |= flagFlowSwitchNo | flagFlowSwitchNc;
    EXPECT_EQ(rows(m, {"Operating mode", "Relay 3", "Flow-Switch"}),
              "General: ?  / F3|Relays: ?  / 4|Flow-Switch: ?  / Off|");
    EXPECT_EQ(diff(m, m), "");
    MParameterBlock f = m;
    f.Flags_Options |= flagUnitFahrenheit;
    EXPECT_EQ(diff(m, f), "General: Temperature unit °C -> °F|");
    // An unknown type shows group 0 without an entry.
    m.BlowerType = 7;
    EXPECT_EQ(rows(m, {"Blower Type", "Blower power at", "Blower level 1"}),
              "Blower: ?  / AC|Blower: ?  / |Blower: 35  / 35|");
}

TEST_F(ConfigListing, DiffReportsWhatDiffersInTheFirstBlocksUnit)
{
    KParameterBlock k = kDefaultParameters;
    k.BlowerLevel[1][1] = 60;
    EXPECT_EQ(diff(kDefaultParameters, k), "Blower: Blower level 2 (AC 60Hz) 53 -> 60|");
    MParameterBlock m = mDefaultParameters;
    m.CanAddress = 7;
    EXPECT_EQ(diff(mDefaultParameters, m), "General: CAN Address 1 -> 7|");

    KParameterBlock f = kDefaultParameters;
    f.Flags_Options |= flagUnitFahrenheit;
    EXPECT_EQ(diff(f, kDefaultParameters), "General: Temperature unit °F -> °C|");
    f.SetTemp_F = 77;
    EXPECT_EQ(diff(kDefaultParameters, f),
              "General: Temperature unit °C -> °F|General: Set temperature 20 °C -> 25 °C|");

    // Another type's levels: the new ones follow "Blower power at", the old ones go.
    k.BlowerType = blowerTypeEcm;
    const std::string changed = diff(kDefaultParameters, k);
    EXPECT_NE(changed.find("Blower power at AC 50Hz -> ECM|Blower: Blower level 1 (ECM)  -> 30|"), std::string::npos);
    EXPECT_EQ(std::count(changed.begin(), changed.end(), '|'), 2 + 5 + 10);
}

TEST_F(ConfigListing, FormatAlignsTheColumnsUnderGroupHeadings)
{
    EXPECT_EQ(formatConfigListing({{"General", "Set temperature", "20", "°C", "20"},
                                   {"General", "Device", "On", "", "On"},
                                   {"Blower", "Blower power at", "AC 50Hz", "", ""}}),
              "General\n  Set temperature  20      °C  default 20\n  Device           On          default On\n"
              "\nBlower\n  Blower power at  AC 50Hz\n");
}
