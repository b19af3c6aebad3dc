#pragma once
// Windows only: the window procedures of the configuration windows.
#include <windows.h>

// "Configuration_CU0": the K-Series configuration.
LRESULT CALLBACK configurationProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// "Configuration_CU1": the M-Series configuration.
LRESULT CALLBACK configurationProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
