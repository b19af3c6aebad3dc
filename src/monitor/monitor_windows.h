#pragma once
// Windows only: the window procedures of the monitor classes "Monitor_CU0"
// (K-Series) and "Monitor_CU1" (M-Series).
#include <windows.h>

LRESULT CALLBACK monitorProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK monitorProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
