#pragma once
// The rows both families share, filled, gathered and defaulted once for
// either block type; each family's hooks call these for the common rows and
// then handle their own. Only the form sources include this.
#include <cstdint>

#include "app/family.h"
#include "config/config_form.h"
#include "config/form_row.h"
#include "config/temperature_conversion.h"

namespace form_common {

// K stores "Blower Set" as item index + 1 (and shows 0 as the first item),
// M as the index itself.
inline int blowerSetBase(Family family) { return family == Family::k ? 1 : 0; }

// A flag list: item 1 sets the bit, item 0 clears it, no selection keeps it.
inline void gatherFlag(std::uint16_t& flags, std::uint16_t bit, const FormRow& row)
{
    if (row.value == 1)
        flags = static_cast<std::uint16_t>(flags | bit);
    else if (row.value == 0)
        flags = static_cast<std::uint16_t>(flags & ~bit);
}

// A list that stores its index plus an offset. A list that shows nothing (the
// block held a value it has no item for) keeps the stored value rather than
// writing a meaningless one.
inline void gatherIndex(std::uint8_t& field, const FormRow& row, int offset)
{
    if (row.value != noSelection)
        field = static_cast<std::uint8_t>(row.value + offset);
}

inline int flagItem(std::uint16_t flags, std::uint16_t bit) { return (flags & bit) ? 1 : 0; }

inline void selectFlag(FormRow& row, std::uint16_t flags, std::uint16_t bit)
{
    row.value = flagItem(flags, bit);
}

// A temperature difference (tenths) shown in `unit`: stored in that unit's
// copy, the other copy converted with the upward rounding step.
inline void gatherDifference(std::uint8_t& celsius, std::uint8_t& fahrenheit, int shown, int unit)
{
    if (unit) {
        fahrenheit = static_cast<std::uint8_t>(shown);
        celsius = static_cast<std::uint8_t>(differenceToCelsius(shown));
    } else {
        celsius = static_cast<std::uint8_t>(shown);
        fahrenheit = static_cast<std::uint8_t>(differenceToFahrenheit(shown));
    }
}

// Creation state: every row enabled, arrows at their °C defaults, lists on
// their first item ("Operating mode" on "F3").
template <class Block>
void createRows(ConfigForm& form, const Block& defaults)
{
    FormRow* rows = form.rows();
    for (int i = 0; i < form.rowCount(); ++i) {
        rows[i] = FormRow{};
        rows[i].enabled = true;
        if (form.rowInfo(i).kind == RowKind::list)
            rows[i].value = 0;
    }
    rows[rowOperatingMode].value = 2;

    setArrows(rows[rowSetTemp], setTemperatureRange[0], defaults.SetTemp_C);
    rows[rowSetTemp].unit = unitCelsius;
    setArrows(rows[rowAccessCode], accessCodeRange, defaults.AccessCode);
    setArrows(rows[rowLowVolt115], Range{supplyVoltageLimits[0][0], supplyVoltageLimits[0][1]}, defaults.LowVolt_115);
    rows[rowLowVolt115].unit = unitVolt;
    setArrows(rows[rowLowVolt230], Range{supplyVoltageLimits[1][0], supplyVoltageLimits[1][1]}, defaults.LowVolt_230);
    rows[rowLowVolt230].unit = unitVolt;
    setArrows(rows[rowCanAddress], canAddressRange, defaults.CanAddress);
    for (int l = 0; l < blowerLevelCount; ++l)
        setArrows(rows[rowBlowerLevel1 + l], blowerLevelRange, defaults.BlowerLevel[0][l]);
    setArrows(rows[rowDehumHeatTime], dehumTimeRange, defaults.Dehum_HeatTime);
    rows[rowDehumHeatTime].unit = unitMinutes;
    setArrows(rows[rowDehumCoolTime], dehumTimeRange, defaults.Dehum_CoolTime);
    rows[rowDehumCoolTime].unit = unitMinutes;
    setArrows(rows[rowCalibration], calibrationRange[0], defaults.RoomCal_C);
    rows[rowCalibration].unit = unitTenthCelsius;
}

// Block to the common rows, and the view they show: the block's unit and
// blower type, and the level group of "Blower power at" entry `entry`, or
// of the type's first entry when it has no such entry.
template <class Block>
void fillRows(ConfigForm& form, const Block& b, int entry)
{
    FormRow* rows = form.rows();
    FormView& view = form.formView();
    const auto itemCount = [&form](int row) { return form.rowInfo(row).itemCount; };
    const int unit = (b.Flags_Options & flagUnitFahrenheit) ? 1 : 0;
    selectFlag(rows[rowDevice], b.Flags_Device, flagDeviceOn);
    selectFlag(rows[rowTemperatureUnit], b.Flags_Options, flagUnitFahrenheit);
    selectFlag(rows[rowIrRemote], b.Flags_Options, flagIrRemote);
    view.unitShown = unit;

    setArrows(rows[rowSetTemp], setTemperatureRange[unit], unit ? b.SetTemp_F : b.SetTemp_C);
    rows[rowSetTemp].unit = unit ? unitFahrenheit : unitCelsius;

    selectItem(rows[rowOperatingMode], b.OperatingMode, itemCount(rowOperatingMode));
    writeNumber(rows[rowAccessCode], b.AccessCode);
    writeNumber(rows[rowLowVolt115], b.LowVolt_115);
    writeNumber(rows[rowLowVolt230], b.LowVolt_230);
    writeNumber(rows[rowCanAddress], b.CanAddress);

    selectFlag(rows[rowBlowerPermanent], b.Flags_Options, flagBlowerPermanent);
    selectItem(rows[rowBlowerType], b.BlowerType, itemCount(rowBlowerType));
    // K: "Blower Set" 0 has no item of its own and shows the first one.
    const int setItem = b.BlowerSet == 0 ? 0 : b.BlowerSet - blowerSetBase(form.family());
    selectItem(rows[rowBlowerSet], setItem, itemCount(rowBlowerSet));

    view.typeShown = b.BlowerType;
    int group = blowerEntryGroup(view.typeShown, entry);
    if (group < 0)
        group = blowerEntryGroup(view.typeShown, 0);
    // A type without entries shows group 0, read-only.
    view.groupShown = group < 0 ? 0 : group;

    // Only AC and ECM levels can be edited; Silencer's are fixed.
    const bool levelsEditable = view.typeShown == blowerTypeAc || view.typeShown == blowerTypeEcm;
    FormRow& powerAt = rows[rowBlowerPowerAt];
    powerAt.value = blowerEntryCount(view.typeShown) > 0 ? blowerGroupEntry(view.typeShown, view.groupShown)
                                                          : noSelection;
    powerAt.enabled = levelsEditable;
    for (int l = 0; l < blowerLevelCount; ++l) {
        writeNumber(rows[rowBlowerLevel1 + l], b.BlowerLevel[view.groupShown][l]);
        rows[rowBlowerLevel1 + l].enabled = levelsEditable;
    }

    selectItem(rows[rowDehumCycles], b.Dehum_Cycles - 1, itemCount(rowDehumCycles));
    writeNumber(rows[rowDehumHeatTime], b.Dehum_HeatTime);
    writeNumber(rows[rowDehumCoolTime], b.Dehum_CoolTime);

    setArrows(rows[rowCalibration], calibrationRange[unit], unit ? b.RoomCal_F : b.RoomCal_C);
    rows[rowCalibration].unit = unit ? unitTenthFahrenheit : unitTenthCelsius;
}

// The common rows to the block: set temperature and calibration into the
// copy of the unit shown (the other copy derived from it), the five levels
// into the group shown, everything else as it stands. Box values are stored
// truncated to the field's width.
template <class Block>
void gatherRows(const ConfigForm& form, Block& b)
{
    const FormRow* rows = form.rows();
    const FormView& view = form.formView();

    const int setTemp = rows[rowSetTemp].value;
    const int calibration = rows[rowCalibration].value;
    if (view.unitShown) {
        b.SetTemp_F = static_cast<std::uint8_t>(setTemp);
        b.SetTemp_C = static_cast<std::uint8_t>(setTemperatureToCelsius(setTemp));
        b.RoomCal_F = static_cast<std::int8_t>(calibration);
        b.RoomCal_C = static_cast<std::int8_t>(calibrationToCelsius(calibration));
    } else {
        b.SetTemp_C = static_cast<std::uint8_t>(setTemp);
        b.SetTemp_F = static_cast<std::uint8_t>(setTemperatureToFahrenheit(setTemp));
        b.RoomCal_C = static_cast<std::int8_t>(calibration);
        b.RoomCal_F = static_cast<std::int8_t>(calibrationToFahrenheit(calibration));
    }

    if (view.groupShown >= 0 && view.groupShown < blowerGroupCount)
        for (int l = 0; l < blowerLevelCount; ++l)
            b.BlowerLevel[view.groupShown][l] = static_cast<std::uint8_t>(rows[rowBlowerLevel1 + l].value);

    gatherFlag(b.Flags_Device, flagDeviceOn, rows[rowDevice]);
    gatherFlag(b.Flags_Options, flagUnitFahrenheit, rows[rowTemperatureUnit]);
    gatherFlag(b.Flags_Options, flagIrRemote, rows[rowIrRemote]);
    gatherFlag(b.Flags_Options, flagBlowerPermanent, rows[rowBlowerPermanent]);
    gatherIndex(b.OperatingMode, rows[rowOperatingMode], 0);
    gatherIndex(b.BlowerType, rows[rowBlowerType], 0);
    gatherIndex(b.BlowerSet, rows[rowBlowerSet], blowerSetBase(form.family()));
    gatherIndex(b.Dehum_Cycles, rows[rowDehumCycles], 1);
    b.AccessCode = static_cast<std::uint8_t>(rows[rowAccessCode].value);
    b.LowVolt_115 = static_cast<std::uint8_t>(rows[rowLowVolt115].value);
    b.LowVolt_230 = static_cast<std::uint8_t>(rows[rowLowVolt230].value);
    b.CanAddress = static_cast<std::uint8_t>(rows[rowCanAddress].value);
    b.Dehum_HeatTime = static_cast<std::uint8_t>(rows[rowDehumHeatTime].value);
    b.Dehum_CoolTime = static_cast<std::uint8_t>(rows[rowDehumCoolTime].value);
}

// The defaults column of the common rows, from the default record in the
// unit and group shown.
template <class Block>
void showDefaults(ConfigForm& form, const Block& d)
{
    FormRow* rows = form.rows();
    const FormView& view = form.formView();
    const auto defaultItem = [&](int row, int item) {
        setDefaultText(rows[row], listItemText(form.rowInfo(row), item));
    };
    const int unit = view.unitShown ? 1 : 0;
    defaultItem(rowDevice, flagItem(d.Flags_Device, flagDeviceOn));
    defaultItem(rowTemperatureUnit, flagItem(d.Flags_Options, flagUnitFahrenheit));
    defaultItem(rowIrRemote, flagItem(d.Flags_Options, flagIrRemote));
    setDefaultNumber(rows[rowSetTemp], unit ? d.SetTemp_F : d.SetTemp_C);
    defaultItem(rowOperatingMode, d.OperatingMode);
    setDefaultNumber(rows[rowAccessCode], d.AccessCode);
    setDefaultNumber(rows[rowLowVolt115], d.LowVolt_115);
    setDefaultNumber(rows[rowLowVolt230], d.LowVolt_230);
    setDefaultNumber(rows[rowCanAddress], d.CanAddress);
    defaultItem(rowBlowerPermanent, flagItem(d.Flags_Options, flagBlowerPermanent));
    defaultItem(rowBlowerType, d.BlowerType);
    defaultItem(rowBlowerSet, d.BlowerSet - blowerSetBase(form.family()));
    setDefaultText(rows[rowBlowerPowerAt], "");
    for (int l = 0; l < blowerLevelCount; ++l)
        setDefaultNumber(rows[rowBlowerLevel1 + l], d.BlowerLevel[view.groupShown][l]);
    defaultItem(rowDehumCycles, d.Dehum_Cycles - 1);
    setDefaultNumber(rows[rowDehumHeatTime], d.Dehum_HeatTime);
    setDefaultNumber(rows[rowDehumCoolTime], d.Dehum_CoolTime);
    setDefaultNumber(rows[rowCalibration], unit ? d.RoomCal_F : d.RoomCal_C);
}

} // namespace form_common
