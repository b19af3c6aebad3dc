#pragma once
// Windows only: the window procedures of the program's twelve window classes
// and the one menu command that opens no window.
#include <windows.h>

// "Kavix": the main window, its menu and the 100 ms tick.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// "Select_CUx": the warning screen with the choice of language and family.
LRESULT CALLBACK selectionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "Configuration_CU0" / "Configuration_CU1": the unit's configuration, read,
// edited, checked, programmed, saved and loaded.
LRESULT CALLBACK configurationProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK configurationProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "RunCounter_CU0" / "RunCounter_CU1": the unit's counters, read when the
// window opens and whenever Read is pressed.
LRESULT CALLBACK runCounterProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK runCounterProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "Upload_CU0" / "Upload_CU1": fetch the whole failure protocol into
// protocolBuffer with a progress bar, report how many entries came, and
// close; after a read with entries the main window opens the display.
LRESULT CALLBACK protocolReadProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK protocolReadProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "ProtDisplay_CU0" / "ProtDisplay_CU1": protocolBuffer as a scrollable
// table; they never talk to the unit.
LRESULT CALLBACK protocolDisplayProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK protocolDisplayProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// "Monitor_CU0" / "Monitor_CU1": the unit live, with manual control of its
// outputs.
LRESULT CALLBACK monitorProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK monitorProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Menu command 42: saves the failure protocol as the family's tab-separated
// file. Asks for a path (with file-name buffers of its own, so the dialog
// offers the name last used for it), writes the file and tells the user how
// it went; a cancelled dialog does nothing.
void saveProtocolCommand(HWND main);
