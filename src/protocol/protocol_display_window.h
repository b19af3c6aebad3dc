#pragma once
// Windows only: the failure-protocol display windows "ProtDisplay_CU0"
// (K-Series) and "ProtDisplay_CU1" (M-Series). They show protocolBuffer as a
// scrollable table and never talk to the unit.
#include <windows.h>

LRESULT CALLBACK protocolDisplayProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK protocolDisplayProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
