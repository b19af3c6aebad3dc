#pragma once
// The rows and rules both configuration forms share, written once for
// either block type. Only the form sources include this.
#include <cstdint>
#include <cstring>

#include "config/form_row.h"
#include "config/temperature_conversion.h"

namespace form_common {

// K stores "Blower Set" as item index + 1, M as the index itself.
struct Family {
    const RowInfo* info;
    int blowerSetOffset;
};

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

// Creation state: arrows at their °C defaults, lists on their first item
// ("Operating mode" on "F3"), everything enabled.
template <class Block>
void create(FormRow* rows, FormView& view, const Block& defaults, const Family& family, int rowCount)
{
    for (int i = 0; i < rowCount; ++i) {
        rows[i] = FormRow{};
        rows[i].enabled = true;
        if (family.info[i].kind == RowKind::list)
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

    view = FormView{0, 0, 0, false};
}

// Fill, the rows both families share. p is 0 or the "Blower power at" list
// index + 1 to keep showing.
template <class Block>
void fill(const Block& b, FormRow* rows, FormView& view, const Family& family, int p)
{
    const int unit = (b.Flags_Options & flagUnitFahrenheit) ? 1 : 0;
    selectFlag(rows[rowDevice], b.Flags_Device, flagDeviceOn);
    selectFlag(rows[rowTemperatureUnit], b.Flags_Options, flagUnitFahrenheit);
    selectFlag(rows[rowIrRemote], b.Flags_Options, flagIrRemote);
    view.unitShown = unit;

    setArrows(rows[rowSetTemp], setTemperatureRange[unit], unit ? b.SetTemp_F : b.SetTemp_C);
    rows[rowSetTemp].unit = unit ? unitFahrenheit : unitCelsius;

    selectItem(rows[rowOperatingMode], b.OperatingMode, family.info[rowOperatingMode].itemCount);
    writeNumber(rows[rowAccessCode], b.AccessCode);
    writeNumber(rows[rowLowVolt115], b.LowVolt_115);
    writeNumber(rows[rowLowVolt230], b.LowVolt_230);
    writeNumber(rows[rowCanAddress], b.CanAddress);

    selectFlag(rows[rowBlowerPermanent], b.Flags_Options, flagBlowerPermanent);
    selectItem(rows[rowBlowerType], b.BlowerType, family.info[rowBlowerType].itemCount);
    // K: "Blower Set" 0 has no item of its own and shows the first one.
    const int setItem = b.BlowerSet == 0 ? 0 : b.BlowerSet - family.blowerSetOffset;
    selectItem(rows[rowBlowerSet], setItem, family.info[rowBlowerSet].itemCount);

    view.typeShown = b.BlowerType;
    int group = blowerEntryGroup(view.typeShown, p > 0 ? p - 1 : 0);
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

    selectItem(rows[rowDehumCycles], b.Dehum_Cycles - 1, family.info[rowDehumCycles].itemCount);
    writeNumber(rows[rowDehumHeatTime], b.Dehum_HeatTime);
    writeNumber(rows[rowDehumCoolTime], b.Dehum_CoolTime);

    setArrows(rows[rowCalibration], calibrationRange[unit], unit ? b.RoomCal_F : b.RoomCal_C);
    rows[rowCalibration].unit = unit ? unitTenthFahrenheit : unitTenthCelsius;
}

// Gather general, the rows both families share. Box values are stored
// truncated to the field's width.
template <class Block>
void gatherGeneral(Block& b, const FormRow* rows, const Family& family)
{
    gatherFlag(b.Flags_Device, flagDeviceOn, rows[rowDevice]);
    gatherFlag(b.Flags_Options, flagUnitFahrenheit, rows[rowTemperatureUnit]);
    gatherFlag(b.Flags_Options, flagIrRemote, rows[rowIrRemote]);
    gatherFlag(b.Flags_Options, flagBlowerPermanent, rows[rowBlowerPermanent]);
    gatherIndex(b.OperatingMode, rows[rowOperatingMode], 0);
    gatherIndex(b.BlowerType, rows[rowBlowerType], 0);
    gatherIndex(b.BlowerSet, rows[rowBlowerSet], family.blowerSetOffset);
    gatherIndex(b.Dehum_Cycles, rows[rowDehumCycles], 1);
    b.AccessCode = static_cast<std::uint8_t>(rows[rowAccessCode].value);
    b.LowVolt_115 = static_cast<std::uint8_t>(rows[rowLowVolt115].value);
    b.LowVolt_230 = static_cast<std::uint8_t>(rows[rowLowVolt230].value);
    b.CanAddress = static_cast<std::uint8_t>(rows[rowCanAddress].value);
    b.Dehum_HeatTime = static_cast<std::uint8_t>(rows[rowDehumHeatTime].value);
    b.Dehum_CoolTime = static_cast<std::uint8_t>(rows[rowDehumCoolTime].value);
}

template <class Block>
void gatherLevels(Block& b, const FormRow* rows, int group)
{
    if (group < 0 || group >= blowerGroupCount)
        return;
    for (int l = 0; l < blowerLevelCount; ++l)
        b.BlowerLevel[group][l] = static_cast<std::uint8_t>(rows[rowBlowerLevel1 + l].value);
}

// Set temperature and calibration: the value shown goes into its unit's copy,
// the other copy is derived from it.
template <class Block>
void gatherTemperatures(Block& b, const FormRow* rows, int fahrenheit)
{
    const int setTemp = rows[rowSetTemp].value;
    const int calibration = rows[rowCalibration].value;
    if (fahrenheit) {
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
}

inline void setDefaultItem(FormRow* rows, const Family& family, int row, int item)
{
    setDefaultText(rows[row], listItemText(family.info[row], item));
}

// Defaults column, the rows both families share, taken from the default
// record in the unit and group shown.
template <class Block>
void refreshDefaults(FormRow* rows, const FormView& view, const Block& d, const Family& family)
{
    const int unit = view.unitShown ? 1 : 0;
    setDefaultItem(rows, family, rowDevice, flagItem(d.Flags_Device, flagDeviceOn));
    setDefaultItem(rows, family, rowTemperatureUnit, flagItem(d.Flags_Options, flagUnitFahrenheit));
    setDefaultItem(rows, family, rowIrRemote, flagItem(d.Flags_Options, flagIrRemote));
    setDefaultNumber(rows[rowSetTemp], unit ? d.SetTemp_F : d.SetTemp_C);
    setDefaultItem(rows, family, rowOperatingMode, d.OperatingMode);
    setDefaultNumber(rows[rowAccessCode], d.AccessCode);
    setDefaultNumber(rows[rowLowVolt115], d.LowVolt_115);
    setDefaultNumber(rows[rowLowVolt230], d.LowVolt_230);
    setDefaultNumber(rows[rowCanAddress], d.CanAddress);
    setDefaultItem(rows, family, rowBlowerPermanent, flagItem(d.Flags_Options, flagBlowerPermanent));
    setDefaultItem(rows, family, rowBlowerType, d.BlowerType);
    setDefaultItem(rows, family, rowBlowerSet, d.BlowerSet - family.blowerSetOffset);
    setDefaultText(rows[rowBlowerPowerAt], "");
    for (int l = 0; l < blowerLevelCount; ++l)
        setDefaultNumber(rows[rowBlowerLevel1 + l], d.BlowerLevel[view.groupShown][l]);
    setDefaultItem(rows, family, rowDehumCycles, d.Dehum_Cycles - 1);
    setDefaultNumber(rows[rowDehumHeatTime], d.Dehum_HeatTime);
    setDefaultNumber(rows[rowDehumCoolTime], d.Dehum_CoolTime);
    setDefaultNumber(rows[rowCalibration], unit ? d.RoomCal_F : d.RoomCal_C);
}

// The three selection changes, the same for both forms. Form provides
// block, view, row and the overloads formFill, formGatherGeneral,
// formGatherLevels, formGatherTemperatures, formRefreshDefaults.

// "Temperature unit" now shows a unit other than the one the rows were
// filled in: re-derive both copies and show the other one.
template <class Form>
void unitChanged(Form& form)
{
    const int chosen = form.row[rowTemperatureUnit].value;
    if (chosen == noSelection || chosen == form.view.unitShown)
        return;
    const int powerAt = form.row[rowBlowerPowerAt].value;
    formGatherTemperatures(form, form.view.unitShown);
    form.view.unitShown = chosen;
    if (chosen)
        form.block.Flags_Options = static_cast<std::uint16_t>(form.block.Flags_Options | flagUnitFahrenheit);
    else
        form.block.Flags_Options = static_cast<std::uint16_t>(form.block.Flags_Options & ~flagUnitFahrenheit);
    formGatherGeneral(form);
    formGatherLevels(form, form.view.groupShown);
    formFill(form, powerAt + 1);
    formRefreshDefaults(form);
}

// "Blower Type" changed: keep the edited levels, show the new type's first group.
template <class Form>
void blowerTypeChanged(Form& form)
{
    formGatherLevels(form, form.view.groupShown);
    formGatherGeneral(form);
    formGatherTemperatures(form, form.view.unitShown);
    formFill(form, 0);
    formRefreshDefaults(form);
}

// "Blower power at" changed: keep the edited levels of the old group, show
// the chosen one. Ignored while the rows are being filled.
template <class Form>
void powerAtChanged(Form& form)
{
    if (form.view.filling)
        return;
    const int chosen = form.row[rowBlowerPowerAt].value;
    const int group = blowerEntryGroup(form.view.typeShown, chosen);
    if (group < 0 || group == form.view.groupShown)
        return;
    formGatherLevels(form, form.view.groupShown);
    form.view.groupShown = group;
    formGatherTemperatures(form, form.view.unitShown);
    formGatherGeneral(form);
    formFill(form, chosen + 1);
    formRefreshDefaults(form);
}

// Save file and Program gather everything in this order before the check.
template <class Form>
void gatherAll(Form& form)
{
    formGatherTemperatures(form, form.view.unitShown);
    formGatherLevels(form, form.view.groupShown);
    formGatherGeneral(form);
}

template <class Form, class Block>
void takeBlock(Form& form, const Block& block)
{
    form.block = block;
    formFill(form, 0);
    formRefreshDefaults(form);
}

} // namespace form_common
