// The K-Series configuration window ("Configuration_CU0"): its layout and how
// its form, file and request plug into the shared window.
#include "config/config_window.h"
#include "app/window_procedures.h"
#include "config/k_config_form.h"

namespace {

KSeriesConfigForm form;
ConfigWindowState state;
// Kept for the whole run, so the dialogs offer the name last used.
char fileName[configDialogBufferSize];
char fileTitle[configDialogBufferSize];

// Rows of the left groups: label at 1, value at 33, default at 40, unit at 45.
constexpr RowPlace left(int y) { return {y, 1, 31, 33, 6, 40, 4, 45}; }
// Rows of "Blower": label at 54, value at 86, default at 97, no unit.
constexpr RowPlace blower(int y, int valueWidth, int defaultWidth = 5)
{
    return {y, 54, 31, 86, valueWidth, 97, defaultWidth, 0};
}

const RowPlace rows[kSeriesRowCount] = {
    left(2), left(4), left(6), left(8), left(10), left(12), left(14), left(16), left(18),   // General
    blower(2, 6), blower(4, 10), blower(6, 10), blower(8, 10, 0),                           // Blower
    blower(10, 6), blower(12, 6), blower(14, 6), blower(16, 6), blower(18, 6),             // levels 1..5
    left(22), left(24), left(26),                                                           // dehumidification
    left(30),                                                                               // calibration
    left(32), left(34), left(36), left(38), left(40),                                       // switching temperatures
    left(42), left(44),                                                                     // hysteresis, time below off
};

const BoxPlace boxes[] = {
    {59, 1, 1, 104, 39},    // General
    {62, 107, 1, 104, 39},  // Blower
    {60, 1, 41, 104, 15},   // Automatic Dehumidification
    {61, 1, 57, 104, 34},   // Temperatures
};

const ConfigLayout layout = {rows, boxes, 4, 164, {21, 24, 27, 30, 33, 39}, 110, 44, 18};

const ConfigWindowSetup setup = {&layout, &form, &kSeriesConfigFile, fileName, fileTitle, &state};

} // namespace

LRESULT CALLBACK configurationProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return configWindowProc(setup, window, message, wParam, lParam);
}
