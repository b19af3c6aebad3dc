#include "monitor/monitor_format.h"
#include "monitor/monitor_internal.h"

namespace {

constexpr std::int32_t titleRefreshAnswers = 32;  // the title is refreshed on every 33rd

bool bitSet(std::uint32_t word, int bit) { return ((word >> bit) & 1u) != 0; }

void showTemperatures(MonitorView& view, bool fahrenheit, std::int16_t first, std::int16_t second,
                      int firstField)
{
    char field[monitorTextSize];
    formatTenths(first, field);
    setText(view, firstField, field);
    formatTenths(second, field);
    setText(view, firstField + 1, field);
    setUnitLabels(view, fahrenheit ? "\xB0" "F" : "\xB0" "C");
}

void showDecimal(MonitorView& view, int id, std::int32_t value)
{
    char field[monitorTextSize];
    formatDecimal(value, field);
    setText(view, id, field);
}

// The title counter runs over the program's lifetime, across Starts.
void refreshTitle(MonitorModel& model, std::uint16_t firmware)
{
    char version[monitorTextSize];
    formatFirmware(firmware, version);
    if (++model.titleCounter > titleRefreshAnswers) {
        model.titleCounter = 0;
        setConnectedTitle(model, version);
    }
}

void displayK(MonitorModel& model)
{
    MonitorView& view = model.view;
    const MonitorStatusK& status = model.statusK;
    char field[monitorTextSize];

    // While the user switches by hand, the indicators show his command.
    if (!manualOn(model)) {
        for (int i = 0; i < 4; ++i)
            setMarked(view, i, bitSet(status.outputs, i));
        setPosition(view, 4, status.blowerPower);
        showDecimal(view, 5, status.blowerPower);
    }
    for (int i = 0; i < 3; ++i)
        setMarked(view, 7 + i, bitSet(status.inputs, 1 + i));

    const bool fahrenheit = bitSet(status.flags, 0);
    showTemperatures(view, fahrenheit, fahrenheit ? status.evaporatorF : status.evaporatorC,
                     fahrenheit ? status.roomF : status.roomC, 11);
    showDecimal(view, 13, status.mainsVoltage);

    formatHex4(status.errorWord, field);
    setText(view, 17, field);
    for (int k = 0; k < 6; ++k)
        setMarked(view, 18 + k, bitSet(status.errorWord, k));

    formatFunctionModeK(status.functionMode, field);
    setText(view, 24, field);
    refreshTitle(model, status.firmware);
}

void displayM(MonitorModel& model)
{
    MonitorView& view = model.view;
    const MonitorStatusM& status = model.statusM;
    char field[monitorTextSize];

    if (!manualOn(model)) {
        for (int i = 0; i < 14; ++i)
            setMarked(view, i, bitSet(status.outputs, i));
        for (int k = 0; k < 2; ++k) {
            setPosition(view, 14 + k, status.blowerPower[k]);
            showDecimal(view, 16 + k, status.blowerPower[k]);
        }
    }
    // Input bit 2 has no indicator.
    static const int boardBits[4] = {1, 3, 4, 5};
    for (int i = 0; i < 4; ++i)
        setMarked(view, 19 + i, bitSet(status.inputs, boardBits[i]));
    for (int c = 0; c < 6; ++c) {
        setMarked(view, 24 + c, bitSet(status.inputs, 6 + c));
        setMarked(view, 30 + c, bitSet(status.inputs, 12 + c));
    }

    const bool fahrenheit = bitSet(status.flags, 0);
    showTemperatures(view, fahrenheit, fahrenheit ? status.waterF : status.waterC,
                     fahrenheit ? status.roomF : status.roomC, 36);
    showDecimal(view, 38, status.mainsVoltage);
    showDecimal(view, 39, status.mainsFrequency);

    // All 32 bits in the field, indicators for bits 0-16 only.
    formatHex8(status.errorBits, field);
    setText(view, 46, field);
    for (int k = 0; k < 17; ++k)
        setMarked(view, 47 + k, bitSet(status.errorBits, k));

    formatFunctionModeM(status.functionMode, field);
    setText(view, 64, field);
    refreshTitle(model, status.firmware);
}

} // namespace

void displayStatus(MonitorModel& model)
{
    if (model.family == Family::m)
        displayM(model);
    else
        displayK(model);
}
