#include "config/k_config_form.h"

#include <cstring>

#include "app/text_ids.h"
#include "config/form_common.h"
#include "config/k_parameter_check.h"

namespace {

const char* const unitItems[] = {"°C", "°F"};
const char* const operatingModeItems[] = {"F1", "F2", "F3", "F7"};
const char* const blowerTypeItems[] = {"AC", "ECM", "Silencer"};
const char* const blowerSetItems[] = {"1", "2", "3", "4", "5", "Auto"};
const char* const cycleItems[] = {"1", "2", "3"};


const RowInfo rowInfo[] = {
    {RowKind::list, 7, 2, nullptr, textOff},            // Device
    {RowKind::list, 8, 2, unitItems, 0},                // Temperature unit
    {RowKind::list, 9, 2, nullptr, textOff},            // IR-Remote-Control
    {RowKind::number, 10, 0, nullptr, 0},               // Set temperature
    {RowKind::list, 11, 4, operatingModeItems, 0},      // Operating mode
    {RowKind::number, 12, 0, nullptr, 0},               // Access Code
    {RowKind::number, 13, 0, nullptr, 0},               // Low voltage cut out 115V
    {RowKind::number, 14, 0, nullptr, 0},               // Low voltage cut out 230V
    {RowKind::number, 15, 0, nullptr, 0},               // CAN Address
    {RowKind::list, 18, 2, nullptr, textOff},           // Permanent Blower
    {RowKind::list, 19, 3, blowerTypeItems, 0},         // Blower Type
    {RowKind::list, 20, 6, blowerSetItems, 0},          // Blower Set
    {RowKind::list, 21, 0, nullptr, 0},                 // Blower power at
    {RowKind::number, 22, 0, nullptr, 0},               // Blower level 1..5
    {RowKind::number, 23, 0, nullptr, 0},
    {RowKind::number, 24, 0, nullptr, 0},
    {RowKind::number, 25, 0, nullptr, 0},
    {RowKind::number, 26, 0, nullptr, 0},
    {RowKind::list, 34, 3, cycleItems, 0},              // Cycles in 24h
    {RowKind::number, 35, 0, nullptr, 0},               // Heating time in dehum.cycle
    {RowKind::number, 36, 0, nullptr, 0},               // Cooling time in dehum.cycle
    {RowKind::number, 145, 0, nullptr, 0},              // Calibration
    {RowKind::number, 146, 0, nullptr, 0},              // the five switching temperatures
    {RowKind::number, 147, 0, nullptr, 0},
    {RowKind::number, 148, 0, nullptr, 0},
    {RowKind::number, 149, 0, nullptr, 0},
    {RowKind::number, 150, 0, nullptr, 0},
    {RowKind::number, 151, 0, nullptr, 0},              // On/Off hysteresis compressor
    {RowKind::number, 152, 0, nullptr, 0},              // Max. time below switch off
};

static_assert(sizeof rowInfo / sizeof rowInfo[0] == kRowCount);

const form_common::Family family{rowInfo, 1};

} // namespace

// The names the shared selection-change rules call.
static void formFill(KConfigForm& form, int p) { kFormFill(form, p); }
static void formGatherGeneral(KConfigForm& form) { kFormGatherGeneral(form); }
static void formGatherLevels(KConfigForm& form, int group) { kFormGatherLevels(form, group); }
static void formGatherTemperatures(KConfigForm& form, int fahrenheit) { kFormGatherTemperatures(form, fahrenheit); }
static void formRefreshDefaults(KConfigForm& form) { kFormRefreshDefaults(form); }

const RowInfo& kRowInfo(int row) { return rowInfo[row]; }

void kFormCreate(KConfigForm& form)
{
    const KParameterBlock& d = kDefaultParameters;
    form_common::create(form.row, form.view, d, family, kRowCount);
    for (int i = 0; i < kSwitchTempCount; ++i) {
        setArrows(form.row[kRowCoolOffMin + i], limitsInUnit(kSwitchTempLimits[i], 0), kSwitchTemp(d, i, 0));
        form.row[kRowCoolOffMin + i].unit = unitCelsius;
    }
    setArrows(form.row[kRowHysteresis], kHysteresisRange[0], d.Hyst_C);
    form.row[kRowHysteresis].unit = unitTenthCelsius;
    setArrows(form.row[kRowTimeBelowOff], timeBelowOffRange, d.Time_BelowOff);
    form.row[kRowTimeBelowOff].unit = unitBySecond;
    form.block = d;
    kFormRefreshDefaults(form);
}

void kFormFill(KConfigForm& form, int p)
{
    form.view.filling = true;
    const KParameterBlock& b = form.block;
    form_common::fill(b, form.row, form.view, family, p);
    const int unit = form.view.unitShown;
    for (int i = 0; i < kSwitchTempCount; ++i) {
        FormRow& row = form.row[kRowCoolOffMin + i];
        setArrowRange(row, limitsInUnit(kSwitchTempLimits[i], unit));
        writeNumber(row, kSwitchTemp(b, i, unit));
        row.unit = unit ? unitFahrenheit : unitCelsius;
    }
    FormRow& hysteresis = form.row[kRowHysteresis];
    writeNumber(hysteresis, unit ? b.Hyst_F : b.Hyst_C);
    setArrowRange(hysteresis, kHysteresisRange[unit]);
    hysteresis.unit = unit ? unitTenthFahrenheit : unitTenthCelsius;
    writeNumber(form.row[kRowTimeBelowOff], b.Time_BelowOff);
    form.view.filling = false;
}

void kFormGatherGeneral(KConfigForm& form)
{
    form_common::gatherGeneral(form.block, form.row, family);
    form.block.Time_BelowOff = static_cast<std::uint16_t>(form.row[kRowTimeBelowOff].value);
}

void kFormGatherLevels(KConfigForm& form, int group)
{
    form_common::gatherLevels(form.block, form.row, group);
}

void kFormGatherTemperatures(KConfigForm& form, int fahrenheit)
{
    KParameterBlock& b = form.block;
    const int unit = fahrenheit ? 1 : 0;
    form_common::gatherTemperatures(b, form.row, unit);
    for (int i = 0; i < kSwitchTempCount; ++i) {
        const int shown = form.row[kRowCoolOffMin + i].value;
        const int other = unit ? temperatureToCelsius(shown) : temperatureToFahrenheit(shown);
        setKSwitchTemp(b, i, unit, static_cast<std::int16_t>(shown));
        setKSwitchTemp(b, i, 1 - unit, static_cast<std::int16_t>(other));
    }
    const int hysteresis = form.row[kRowHysteresis].value;
    if (unit) {
        b.Hyst_F = static_cast<std::uint8_t>(hysteresis);
        b.Hyst_C = static_cast<std::uint8_t>(differenceToCelsius(hysteresis));
    } else {
        b.Hyst_C = static_cast<std::uint8_t>(hysteresis);
        b.Hyst_F = static_cast<std::uint8_t>(differenceToFahrenheit(hysteresis));
    }
}

void kFormGatherAll(KConfigForm& form) { form_common::gatherAll(form); }

void kFormRefreshDefaults(KConfigForm& form)
{
    const KParameterBlock& d = kDefaultParameters;
    form_common::refreshDefaults(form.row, form.view, d, family);
    const int unit = form.view.unitShown ? 1 : 0;
    for (int i = 0; i < kSwitchTempCount; ++i)
        setDefaultNumber(form.row[kRowCoolOffMin + i], kSwitchTemp(d, i, unit));
    setDefaultNumber(form.row[kRowHysteresis], unit ? d.Hyst_F : d.Hyst_C);
    setDefaultNumber(form.row[kRowTimeBelowOff], d.Time_BelowOff);
}

void kFormUnitChanged(KConfigForm& form) { form_common::unitChanged(form); }
void kFormBlowerTypeChanged(KConfigForm& form) { form_common::blowerTypeChanged(form); }
void kFormPowerAtChanged(KConfigForm& form) { form_common::powerAtChanged(form); }

void kFormLoadDefaults(KConfigForm& form)
{
    form.block = kDefaultParameters;
    form.view.unitShown = 0;
    form.view.groupShown = 0;
    kFormFill(form, 0);
    kFormRefreshDefaults(form);
}

void kFormTakeBlock(KConfigForm& form, const KParameterBlock& block)
{
    form_common::takeBlock(form, block);
}
