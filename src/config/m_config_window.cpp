// The M-Series configuration window ("Configuration_CU1"): its layout and how
// its form, file and request plug into the shared window.
#include "config/config_window.h"
#include "app/window_procedures.h"
#include "config/m_config_form.h"

namespace {

MSeriesConfigForm form;
ConfigWindowState state;
// Kept for the whole run, so the dialogs offer the name last used.
char fileName[configDialogBufferSize];
char fileTitle[configDialogBufferSize];

// "General" and "Temperatures": label at 1, value at 33, default at 40, unit at 45.
constexpr RowPlace left(int y) { return {y, 1, 31, 33, 6, 40, 4, 45}; }
constexpr RowPlace heading(int y) { return {y, 1, 31, 0, 0, 0, 0, 0}; }
// "Compressors" and "Automatic Dehumidification": value at 86, default at 93, unit at 98.
constexpr RowPlace middle(int y) { return {y, 54, 31, 86, 6, 93, 4, 98}; }
// "Blower": value at 86, default at 98, no unit.
constexpr RowPlace blower(int y, int valueWidth, int defaultWidth = 5)
{
    return {y, 54, 31, 86, valueWidth, 98, defaultWidth, 0};
}
// "Relays" and "Flow-Switch": label at 107, list at 116, default at 123.
constexpr RowPlace relay(int y, int labelWidth = 8) { return {y, 107, labelWidth, 116, 6, 123, 5, 0}; }

const RowPlace rows[mSeriesRowCount] = {
    left(2), left(4), left(6), left(8), left(10), left(12), left(14), left(16), left(18),   // General
    blower(30, 6), blower(32, 10), blower(34, 10), blower(36, 10, 0),                       // Blower
    blower(38, 6), blower(40, 6), blower(42, 6), blower(44, 6), blower(46, 6),              // levels 1..5
    middle(22), middle(24), middle(26),                                                     // dehumidification
    left(22),                                                                               // calibration
    left(24), left(26), left(28), left(30),                                                 // water temperatures
    left(32), heading(34),                                                                  // hysteresis, offsets heading
    left(36), left(38), left(40), left(42), left(44), left(46),                             // offsets 1..6
    middle(2), middle(4),                                                                   // compressor times
    middle(6), middle(8), middle(10), middle(12), middle(14), middle(16),                   // compressors 1..6
    relay(2), relay(4), relay(6),                                                           // relays 1..3
    relay(10, 0),                                                                           // flow switch: the box names it
};

const BoxPlace boxes[] = {
    {59, 1, 1, 104, 39},     // General
    {61, 1, 41, 104, 55},    // Temperatures
    {169, 107, 1, 104, 39},  // Compressors
    {60, 107, 41, 104, 15},  // Automatic Dehumidification
    {62, 107, 57, 104, 39},  // Blower
    {170, 213, 1, 44, 15},   // Relays
    {174, 213, 17, 44, 9},   // Flow-Switch
};

const ConfigLayout layout = {rows, boxes, 7, 213, {15, 18, 21, 24, 27, 33}, 213, 46, 18};

const ConfigWindowSetup setup = {&layout, &form, &mSeriesConfigFile, fileName, fileTitle, &state};

} // namespace

LRESULT CALLBACK configurationProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return configWindowProc(setup, window, message, wParam, lParam);
}
