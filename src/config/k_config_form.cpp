#include "config/k_config_form.h"

#include "app/text_ids.h"
#include "config/form_common.h"
#include "config/k_parameter_check.h"
#include "config/temperature_conversion.h"

namespace {

const char* const unitItems[] = {"°C", "°F"};
const char* const operatingModeItems[] = {"F1", "F2", "F3", "F7"};
const char* const blowerTypeItems[] = {"AC", "ECM", "Silencer"};
const char* const blowerSetItems[] = {"1", "2", "3", "4", "5", "Auto"};
const char* const cycleItems[] = {"1", "2", "3"};

const RowInfo rowTable[] = {
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

static_assert(sizeof rowTable / sizeof rowTable[0] == kSeriesRowCount);

} // namespace

const RowInfo& kSeriesRowInfo(int row) { return rowTable[row]; }

KSeriesConfigForm::KSeriesConfigForm()
    : ConfigForm(Family::k, rowTable, kSeriesRowCount, reinterpret_cast<unsigned char*>(&block),
                 reinterpret_cast<const unsigned char*>(&kSeriesDefaultParameters), sizeof block)
{
}

void KSeriesConfigForm::createRows()
{
    const KParameterBlock& d = kSeriesDefaultParameters;
    form_common::createRows(*this, d);
    for (int i = 0; i < kSeriesSwitchTempCount; ++i) {
        setArrows(row[kSeriesRowCoolOffMin + i], limitsInUnit(kSeriesSwitchTempLimits[i], 0), kSeriesSwitchTemp(d, i, 0));
        row[kSeriesRowCoolOffMin + i].unit = unitCelsius;
    }
    setArrows(row[kSeriesRowHysteresis], kSeriesHysteresisRange[0], d.Hyst_C);
    row[kSeriesRowHysteresis].unit = unitTenthCelsius;
    setArrows(row[kSeriesRowTimeBelowOff], timeBelowOffRange, d.Time_BelowOff);
    row[kSeriesRowTimeBelowOff].unit = unitBySecond;
}

void KSeriesConfigForm::fillRows(int entry)
{
    const KParameterBlock& b = block;
    form_common::fillRows(*this, b, entry);
    const int unit = view.unitShown;
    for (int i = 0; i < kSeriesSwitchTempCount; ++i) {
        FormRow& temperature = row[kSeriesRowCoolOffMin + i];
        setArrowRange(temperature, limitsInUnit(kSeriesSwitchTempLimits[i], unit));
        writeNumber(temperature, kSeriesSwitchTemp(b, i, unit));
        temperature.unit = unit ? unitFahrenheit : unitCelsius;
    }
    FormRow& hysteresis = row[kSeriesRowHysteresis];
    writeNumber(hysteresis, unit ? b.Hyst_F : b.Hyst_C);
    setArrowRange(hysteresis, kSeriesHysteresisRange[unit]);
    hysteresis.unit = unit ? unitTenthFahrenheit : unitTenthCelsius;
    writeNumber(row[kSeriesRowTimeBelowOff], b.Time_BelowOff);
}

void KSeriesConfigForm::gatherAll()
{
    KParameterBlock& b = block;
    form_common::gatherRows(*this, b);
    const int unit = view.unitShown ? 1 : 0;
    for (int i = 0; i < kSeriesSwitchTempCount; ++i) {
        const int shown = row[kSeriesRowCoolOffMin + i].value;
        const int other = unit ? temperatureToCelsius(shown) : temperatureToFahrenheit(shown);
        setKSwitchTemp(b, i, unit, static_cast<std::int16_t>(shown));
        setKSwitchTemp(b, i, 1 - unit, static_cast<std::int16_t>(other));
    }
    form_common::gatherDifference(b.Hyst_C, b.Hyst_F, row[kSeriesRowHysteresis].value, unit);
    b.Time_BelowOff = static_cast<std::uint16_t>(row[kSeriesRowTimeBelowOff].value);
}

void KSeriesConfigForm::showDefaults()
{
    const KParameterBlock& d = kSeriesDefaultParameters;
    form_common::showDefaults(*this, d);
    const int unit = view.unitShown ? 1 : 0;
    for (int i = 0; i < kSeriesSwitchTempCount; ++i)
        setDefaultNumber(row[kSeriesRowCoolOffMin + i], kSeriesSwitchTemp(d, i, unit));
    setDefaultNumber(row[kSeriesRowHysteresis], unit ? d.Hyst_F : d.Hyst_C);
    setDefaultNumber(row[kSeriesRowTimeBelowOff], d.Time_BelowOff);
}

std::string KSeriesConfigForm::checkFailure() const
{
    const CheckResult result = checkKParameters(block);
    return result.failureNumber ? kSeriesCheckFailureText(result) : std::string();
}
