#include "config/m_config_form.h"

#include "app/text_ids.h"
#include "config/form_common.h"
#include "config/m_parameter_check.h"
#include "config/temperature_conversion.h"

namespace {

const char* const unitItems[] = {"°C", "°F"};
const char* const operatingModeItems[] = {"F1", "F2", "F3", "F4", "F5", "F7"};
const char* const blowerTypeItems[] = {"AC", "ECM", "Silencer"};
// The same in both languages.
const char* const blowerSetItems[] = {"Off", "1", "2", "3", "4", "5", "Auto"};
const char* const cycleItems[] = {"1", "2", "3"};
const char* const relayItems[] = {"0", "1", "2", "3", "4", "5"};

const RowInfo rowTable[] = {
    {RowKind::list, 7, 2, nullptr, textOff},            // Device
    {RowKind::list, 8, 2, unitItems, 0},                // Temperature unit
    {RowKind::list, 9, 2, nullptr, textOff},            // IR-Remote-Control
    {RowKind::number, 10, 0, nullptr, 0},               // Set temperature
    {RowKind::list, 11, 6, operatingModeItems, 0},      // Operating mode
    {RowKind::number, 12, 0, nullptr, 0},               // Access Code
    {RowKind::number, 13, 0, nullptr, 0},               // Low voltage cut out 115V
    {RowKind::number, 14, 0, nullptr, 0},               // Low voltage cut out 230V
    {RowKind::number, 15, 0, nullptr, 0},               // CAN Address
    {RowKind::list, 18, 2, nullptr, textOff},           // Permanent Blower
    {RowKind::list, 19, 3, blowerTypeItems, 0},         // Blower Type
    {RowKind::list, 20, 7, blowerSetItems, 0},          // Blower Set
    {RowKind::list, 21, 0, nullptr, 0},                 // Blower power at
    {RowKind::number, 22, 0, nullptr, 0},               // Blower level 1..5
    {RowKind::number, 23, 0, nullptr, 0},
    {RowKind::number, 24, 0, nullptr, 0},
    {RowKind::number, 25, 0, nullptr, 0},
    {RowKind::number, 26, 0, nullptr, 0},
    {RowKind::list, 34, 3, cycleItems, 0},              // Cycles in 24h
    {RowKind::number, 35, 0, nullptr, 0},               // Heating time in dehum.cycle
    {RowKind::number, 36, 0, nullptr, 0},               // Cooling time in dehum.cycle
    {RowKind::number, 154, 0, nullptr, 0},              // Calibration
    {RowKind::number, 155, 0, nullptr, 0},              // the four water temperatures
    {RowKind::number, 156, 0, nullptr, 0},
    {RowKind::number, 157, 0, nullptr, 0},
    {RowKind::number, 158, 0, nullptr, 0},
    {RowKind::number, 159, 0, nullptr, 0},              // Compressor on/off hysteresis
    {RowKind::heading, 160, 0, nullptr, 0},             // Switch-on/off offset:
    {RowKind::number, 161, 0, nullptr, 0},              // offsets of compressors 1..6
    {RowKind::number, 162, 0, nullptr, 0},
    {RowKind::number, 163, 0, nullptr, 0},
    {RowKind::number, 164, 0, nullptr, 0},
    {RowKind::number, 165, 0, nullptr, 0},
    {RowKind::number, 166, 0, nullptr, 0},
    {RowKind::number, 167, 0, nullptr, 0},              // Initial start up delay
    {RowKind::number, 168, 0, nullptr, 0},              // Time interval compressor starts
    {RowKind::list, 178, 2, nullptr, textOff},          // Compressor 1..6
    {RowKind::list, 179, 2, nullptr, textOff},
    {RowKind::list, 180, 2, nullptr, textOff},
    {RowKind::list, 181, 2, nullptr, textOff},
    {RowKind::list, 182, 2, nullptr, textOff},
    {RowKind::list, 183, 2, nullptr, textOff},
    {RowKind::list, 171, 6, relayItems, 0},             // Relay 1..3
    {RowKind::list, 172, 6, relayItems, 0},
    {RowKind::list, 173, 6, relayItems, 0},
    {RowKind::list, 174, 3, nullptr, textFlowSwitchOff},  // Flow-Switch
};
static_assert(sizeof rowTable / sizeof rowTable[0] == mSeriesRowCount);

// The first creation value of "Time interval compressor starts" differs from
// its default (9).
constexpr int comprStartAtCreation = 10;

// The flow switch list: "Off", "NO", "NC". Both bits set is no valid setting
// and selects nothing.
int flowSwitchItem(std::uint16_t options)
{
    return ((options & flagFlowSwitchNo) ? 1 : 0) + ((options & flagFlowSwitchNc) ? 2 : 0);
}

} // namespace

const RowInfo& mSeriesRowInfo(int row) { return rowTable[row]; }

MSeriesConfigForm::MSeriesConfigForm()
    : ConfigForm(Family::m, rowTable, mSeriesRowCount, reinterpret_cast<unsigned char*>(&block),
                 reinterpret_cast<const unsigned char*>(&mSeriesDefaultParameters), sizeof block)
{
}

void MSeriesConfigForm::createRows()
{
    const MParameterBlock& d = mSeriesDefaultParameters;
    form_common::createRows(*this, d);
    for (int i = 0; i < mSeriesWaterTempCount; ++i) {
        setArrows(row[mSeriesRowCoolWaterOff + i], limitsInUnit(mSeriesWaterTempLimits[i], 0), mSeriesWaterTemp(d, i, 0));
        row[mSeriesRowCoolWaterOff + i].unit = unitCelsius;
    }
    setArrows(row[mSeriesRowHysteresis], Range{0, mSeriesHysteresisMax[0]}, d.Hyst_C);
    row[mSeriesRowHysteresis].unit = unitTenthCelsius;
    for (int i = 0; i < compressorCount; ++i) {
        setArrows(row[mSeriesRowOffset1 + i], Range{0, mSeriesOffsetMax[0]}, d.CompOffset[i][0]);
        row[mSeriesRowOffset1 + i].unit = unitTenthCelsius;
        row[mSeriesRowCompressor1 + i].value = 1;
    }
    setArrows(row[mSeriesRowFirstStart], firstStartRange, d.Time_FirstStart);
    row[mSeriesRowFirstStart].unit = unitSeconds;
    setArrows(row[mSeriesRowComprStart], comprStartRange, comprStartAtCreation);
    row[mSeriesRowComprStart].unit = unitSeconds;
}

void MSeriesConfigForm::fillRows(int entry)
{
    const MParameterBlock& b = block;
    form_common::fillRows(*this, b, entry);
    const int unit = view.unitShown;
    for (int i = 0; i < mSeriesWaterTempCount; ++i) {
        FormRow& temperature = row[mSeriesRowCoolWaterOff + i];
        setArrowRange(temperature, limitsInUnit(mSeriesWaterTempLimits[i], unit));
        writeNumber(temperature, mSeriesWaterTemp(b, i, unit));
        temperature.unit = unit ? unitFahrenheit : unitCelsius;
    }
    const char* tenths = unit ? unitTenthFahrenheit : unitTenthCelsius;
    FormRow& hysteresis = row[mSeriesRowHysteresis];
    writeNumber(hysteresis, unit ? b.Hyst_F : b.Hyst_C);
    setArrowRange(hysteresis, Range{0, mSeriesHysteresisMax[unit]});
    hysteresis.unit = tenths;
    for (int i = 0; i < compressorCount; ++i) {
        FormRow& offset = row[mSeriesRowOffset1 + i];
        writeNumber(offset, b.CompOffset[i][unit]);
        setArrowRange(offset, Range{0, mSeriesOffsetMax[unit]});
        offset.unit = tenths;
        row[mSeriesRowCompressor1 + i].value = (b.CompressorEnable >> i) & 1;
    }
    writeNumber(row[mSeriesRowFirstStart], b.Time_FirstStart);
    writeNumber(row[mSeriesRowComprStart], b.Time_ComprStart);
    for (int i = 0; i < relayCount; ++i)
        selectItem(row[mSeriesRowRelay1 + i], b.Relay[i], rowTable[mSeriesRowRelay1 + i].itemCount);
    selectItem(row[mSeriesRowFlowSwitch], flowSwitchItem(b.Flags_Options), rowTable[mSeriesRowFlowSwitch].itemCount);
}

void MSeriesConfigForm::gatherAll()
{
    MParameterBlock& b = block;
    form_common::gatherRows(*this, b);

    const int unit = view.unitShown ? 1 : 0;
    for (int i = 0; i < mSeriesWaterTempCount; ++i) {
        const int shown = row[mSeriesRowCoolWaterOff + i].value;
        const int other = unit ? temperatureToCelsius(shown) : temperatureToFahrenheit(shown);
        setMWaterTemp(b, i, unit, static_cast<std::int16_t>(shown));
        setMWaterTemp(b, i, 1 - unit, static_cast<std::int16_t>(other));
    }
    form_common::gatherDifference(b.Hyst_C, b.Hyst_F, row[mSeriesRowHysteresis].value, unit);
    for (int i = 0; i < compressorCount; ++i)
        form_common::gatherDifference(b.CompOffset[i][0], b.CompOffset[i][1], row[mSeriesRowOffset1 + i].value, unit);

    b.Time_FirstStart = static_cast<std::uint8_t>(row[mSeriesRowFirstStart].value);
    b.Time_ComprStart = static_cast<std::uint8_t>(row[mSeriesRowComprStart].value);

    // Rebuilt from the six lists; bits 6 and 7 are cleared.
    std::uint8_t enable = 0;
    for (int i = 0; i < compressorCount; ++i)
        if (row[mSeriesRowCompressor1 + i].value == 1)
            enable = static_cast<std::uint8_t>(enable | (1u << i));
    b.CompressorEnable = enable;

    for (int i = 0; i < relayCount; ++i)
        form_common::gatherIndex(b.Relay[i], row[mSeriesRowRelay1 + i], 0);

    std::uint16_t options = static_cast<std::uint16_t>(b.Flags_Options & ~(flagFlowSwitchNo | flagFlowSwitchNc));
    if (row[mSeriesRowFlowSwitch].value == 1)
        options = static_cast<std::uint16_t>(options | flagFlowSwitchNo);
    else if (row[mSeriesRowFlowSwitch].value == 2)
        options = static_cast<std::uint16_t>(options | flagFlowSwitchNc);
    b.Flags_Options = options;
}

void MSeriesConfigForm::showDefaults()
{
    const MParameterBlock& d = mSeriesDefaultParameters;
    form_common::showDefaults(*this, d);
    const int unit = view.unitShown ? 1 : 0;
    for (int i = 0; i < mSeriesWaterTempCount; ++i)
        setDefaultNumber(row[mSeriesRowCoolWaterOff + i], mSeriesWaterTemp(d, i, unit));
    setDefaultNumber(row[mSeriesRowHysteresis], unit ? d.Hyst_F : d.Hyst_C);
    setDefaultText(row[mSeriesRowOffsetHeading], "");
    for (int i = 0; i < compressorCount; ++i) {
        setDefaultNumber(row[mSeriesRowOffset1 + i], d.CompOffset[i][unit]);
        setDefaultText(row[mSeriesRowCompressor1 + i],
                       listItemText(rowTable[mSeriesRowCompressor1 + i], (d.CompressorEnable >> i) & 1));
    }
    setDefaultNumber(row[mSeriesRowFirstStart], d.Time_FirstStart);
    setDefaultNumber(row[mSeriesRowComprStart], d.Time_ComprStart);
    for (int i = 0; i < relayCount; ++i)
        setDefaultText(row[mSeriesRowRelay1 + i], listItemText(rowTable[mSeriesRowRelay1 + i], d.Relay[i]));
    setDefaultText(row[mSeriesRowFlowSwitch],
                   listItemText(rowTable[mSeriesRowFlowSwitch], flowSwitchItem(d.Flags_Options)));
}

std::string MSeriesConfigForm::checkFailure() const
{
    const CheckResult result = checkMParameters(block);
    return result.failureNumber ? mSeriesCheckFailureText(result) : std::string();
}
