#include "config/m_config_form.h"

#include <cstring>

#include "app/text_ids.h"
#include "config/form_common.h"
#include "config/m_parameter_check.h"

namespace {

const char* const unitItems[] = {"°C", "°F"};
const char* const operatingModeItems[] = {"F1", "F2", "F3", "F4", "F5", "F7"};
const char* const blowerTypeItems[] = {"AC", "ECM", "Silencer"};
// The same in both languages.
const char* const blowerSetItems[] = {"Off", "1", "2", "3", "4", "5", "Auto"};
const char* const cycleItems[] = {"1", "2", "3"};
const char* const relayItems[] = {"0", "1", "2", "3", "4", "5"};


const RowInfo rowInfo[] = {
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
static_assert(sizeof rowInfo / sizeof rowInfo[0] == mRowCount);

const form_common::Family family{rowInfo, 0};

// The first creation value of "Time interval compressor starts" differs from
// its default (9).
constexpr int comprStartAtCreation = 10;

} // namespace

// The names the shared selection-change rules call.
static void formFill(MConfigForm& form, int p) { mFormFill(form, p); }
static void formGatherGeneral(MConfigForm& form) { mFormGatherGeneral(form); }
static void formGatherLevels(MConfigForm& form, int group) { mFormGatherLevels(form, group); }
static void formGatherTemperatures(MConfigForm& form, int fahrenheit) { mFormGatherTemperatures(form, fahrenheit); }
static void formRefreshDefaults(MConfigForm& form) { mFormRefreshDefaults(form); }

const RowInfo& mRowInfo(int row) { return rowInfo[row]; }

void mFormCreate(MConfigForm& form)
{
    const MParameterBlock& d = mDefaultParameters;
    form_common::create(form.row, form.view, d, family, mRowCount);
    for (int i = 0; i < mWaterTempCount; ++i) {
        setArrows(form.row[mRowCoolWaterOff + i], limitsInUnit(mWaterTempLimits[i], 0), mWaterTemp(d, i, 0));
        form.row[mRowCoolWaterOff + i].unit = unitCelsius;
    }
    setArrows(form.row[mRowHysteresis], Range{0, mHysteresisMax[0]}, d.Hyst_C);
    form.row[mRowHysteresis].unit = unitTenthCelsius;
    for (int i = 0; i < compressorCount; ++i) {
        setArrows(form.row[mRowOffset1 + i], Range{0, mOffsetMax[0]}, d.CompOffset[i][0]);
        form.row[mRowOffset1 + i].unit = unitTenthCelsius;
        form.row[mRowCompressor1 + i].value = 1;
    }
    setArrows(form.row[mRowFirstStart], firstStartRange, d.Time_FirstStart);
    form.row[mRowFirstStart].unit = unitSeconds;
    setArrows(form.row[mRowComprStart], comprStartRange, comprStartAtCreation);
    form.row[mRowComprStart].unit = unitSeconds;
    form.block = d;
    mFormRefreshDefaults(form);
}

void mFormFill(MConfigForm& form, int p)
{
    form.view.filling = true;
    const MParameterBlock& b = form.block;
    form_common::fill(b, form.row, form.view, family, p);
    const int unit = form.view.unitShown;
    for (int i = 0; i < mWaterTempCount; ++i) {
        FormRow& row = form.row[mRowCoolWaterOff + i];
        setArrowRange(row, limitsInUnit(mWaterTempLimits[i], unit));
        writeNumber(row, mWaterTemp(b, i, unit));
        row.unit = unit ? unitFahrenheit : unitCelsius;
    }
    const char* tenths = unit ? unitTenthFahrenheit : unitTenthCelsius;
    FormRow& hysteresis = form.row[mRowHysteresis];
    writeNumber(hysteresis, unit ? b.Hyst_F : b.Hyst_C);
    setArrowRange(hysteresis, Range{0, mHysteresisMax[unit]});
    hysteresis.unit = tenths;
    for (int i = 0; i < compressorCount; ++i) {
        FormRow& offset = form.row[mRowOffset1 + i];
        writeNumber(offset, b.CompOffset[i][unit]);
        setArrowRange(offset, Range{0, mOffsetMax[unit]});
        offset.unit = tenths;
        form.row[mRowCompressor1 + i].value = (b.CompressorEnable >> i) & 1;
    }
    writeNumber(form.row[mRowFirstStart], b.Time_FirstStart);
    writeNumber(form.row[mRowComprStart], b.Time_ComprStart);
    for (int i = 0; i < relayCount; ++i)
        selectItem(form.row[mRowRelay1 + i], b.Relay[i], rowInfo[mRowRelay1 + i].itemCount);
    // Both bits set is no valid setting and selects nothing.
    const int flow = ((b.Flags_Options & flagFlowSwitchNo) ? 1 : 0) + ((b.Flags_Options & flagFlowSwitchNc) ? 2 : 0);
    selectItem(form.row[mRowFlowSwitch], flow, rowInfo[mRowFlowSwitch].itemCount);
    form.view.filling = false;
}

void mFormGatherGeneral(MConfigForm& form)
{
    MParameterBlock& b = form.block;
    form_common::gatherGeneral(b, form.row, family);
    b.Time_FirstStart = static_cast<std::uint8_t>(form.row[mRowFirstStart].value);
    b.Time_ComprStart = static_cast<std::uint8_t>(form.row[mRowComprStart].value);

    // Rebuilt from the six lists; bits 6 and 7 are cleared.
    std::uint8_t enable = 0;
    for (int i = 0; i < compressorCount; ++i)
        if (form.row[mRowCompressor1 + i].value == 1)
            enable = static_cast<std::uint8_t>(enable | (1u << i));
    b.CompressorEnable = enable;

    for (int i = 0; i < relayCount; ++i)
        form_common::gatherIndex(b.Relay[i], form.row[mRowRelay1 + i], 0);

    std::uint16_t options = static_cast<std::uint16_t>(b.Flags_Options & ~(flagFlowSwitchNo | flagFlowSwitchNc));
    if (form.row[mRowFlowSwitch].value == 1)
        options = static_cast<std::uint16_t>(options | flagFlowSwitchNo);
    else if (form.row[mRowFlowSwitch].value == 2)
        options = static_cast<std::uint16_t>(options | flagFlowSwitchNc);
    b.Flags_Options = options;
}

void mFormGatherLevels(MConfigForm& form, int group)
{
    form_common::gatherLevels(form.block, form.row, group);
}

void mFormGatherTemperatures(MConfigForm& form, int fahrenheit)
{
    MParameterBlock& b = form.block;
    const int unit = fahrenheit ? 1 : 0;
    form_common::gatherTemperatures(b, form.row, unit);
    for (int i = 0; i < mWaterTempCount; ++i) {
        const int shown = form.row[mRowCoolWaterOff + i].value;
        const int other = unit ? temperatureToCelsius(shown) : temperatureToFahrenheit(shown);
        setMWaterTemp(b, i, unit, static_cast<std::int16_t>(shown));
        setMWaterTemp(b, i, 1 - unit, static_cast<std::int16_t>(other));
    }
    // Differences, with the upward rounding step.
    auto store = [unit](std::uint8_t& celsius, std::uint8_t& fahrenheitCopy, int shown) {
        if (unit) {
            fahrenheitCopy = static_cast<std::uint8_t>(shown);
            celsius = static_cast<std::uint8_t>(differenceToCelsius(shown));
        } else {
            celsius = static_cast<std::uint8_t>(shown);
            fahrenheitCopy = static_cast<std::uint8_t>(differenceToFahrenheit(shown));
        }
    };
    store(b.Hyst_C, b.Hyst_F, form.row[mRowHysteresis].value);
    for (int i = 0; i < compressorCount; ++i)
        store(b.CompOffset[i][0], b.CompOffset[i][1], form.row[mRowOffset1 + i].value);
}

void mFormGatherAll(MConfigForm& form) { form_common::gatherAll(form); }

void mFormRefreshDefaults(MConfigForm& form)
{
    const MParameterBlock& d = mDefaultParameters;
    form_common::refreshDefaults(form.row, form.view, d, family);
    const int unit = form.view.unitShown ? 1 : 0;
    for (int i = 0; i < mWaterTempCount; ++i)
        setDefaultNumber(form.row[mRowCoolWaterOff + i], mWaterTemp(d, i, unit));
    setDefaultNumber(form.row[mRowHysteresis], unit ? d.Hyst_F : d.Hyst_C);
    setDefaultText(form.row[mRowOffsetHeading], "");
    for (int i = 0; i < compressorCount; ++i) {
        setDefaultNumber(form.row[mRowOffset1 + i], d.CompOffset[i][unit]);
        setDefaultText(form.row[mRowCompressor1 + i],
                       listItemText(rowInfo[mRowCompressor1 + i], (d.CompressorEnable >> i) & 1));
    }
    setDefaultNumber(form.row[mRowFirstStart], d.Time_FirstStart);
    setDefaultNumber(form.row[mRowComprStart], d.Time_ComprStart);
    for (int i = 0; i < relayCount; ++i)
        setDefaultText(form.row[mRowRelay1 + i], listItemText(rowInfo[mRowRelay1 + i], d.Relay[i]));
    const int flow = ((d.Flags_Options & flagFlowSwitchNo) ? 1 : 0) + ((d.Flags_Options & flagFlowSwitchNc) ? 2 : 0);
    setDefaultText(form.row[mRowFlowSwitch], listItemText(rowInfo[mRowFlowSwitch], flow));
}

void mFormUnitChanged(MConfigForm& form) { form_common::unitChanged(form); }
void mFormBlowerTypeChanged(MConfigForm& form) { form_common::blowerTypeChanged(form); }
void mFormPowerAtChanged(MConfigForm& form) { form_common::powerAtChanged(form); }

void mFormLoadDefaults(MConfigForm& form)
{
    form.block = mDefaultParameters;
    form.view.unitShown = 0;
    form.view.groupShown = 0;
    mFormFill(form, 0);
    mFormRefreshDefaults(form);
}

void mFormTakeBlock(MConfigForm& form, const MParameterBlock& block)
{
    form_common::takeBlock(form, block);
}
