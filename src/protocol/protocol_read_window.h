#pragma once
// Windows only: the protocol-read windows "Upload_CU0" (K-Series) and
// "Upload_CU1" (M-Series). They fetch the unit's whole failure protocol into
// protocolBuffer with a progress bar, report how many entries came, and
// close; after a read with entries the main window opens the display.
#include <windows.h>

LRESULT CALLBACK protocolReadProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK protocolReadProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
