#pragma once
// Windows only: the controls of a configuration window and how they mirror
// the form rows.
#include <windows.h>

#include "config/config_window.h"

// Group boxes, rows, legend and buttons as the family's layout places them,
// with the texts of the current language.
void createConfigControls(const ConfigWindowSetup& setup, HWND window);

// Every row's value, range, enabled state, unit text and default text onto
// its controls. The view's filling flag is set meanwhile.
void mirrorForm(const ConfigWindowSetup& setup, HWND window);

// One number row's value after an arrow click.
void mirrorNumber(const ConfigWindowSetup& setup, HWND window, int row);

// The defaults column and the legend: green text on white. Other statics
// keep the system colours (nullptr).
HBRUSH defaultsColumnColours(HWND control, HDC dc);
