#pragma once
// Windows only: the running-counter windows "RunCounter_CU0" (K-Series) and
// "RunCounter_CU1" (M-Series). They read the unit's counters when they open
// and whenever Read is pressed, and show them.
#include <windows.h>

LRESULT CALLBACK runCounterProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK runCounterProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
