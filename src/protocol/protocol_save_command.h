#pragma once
// Windows only: menu command 42 of the main window, saving the failure
// protocol as the family's tab-separated file.
#include <windows.h>

// Asks for a path (the protocol save keeps its own file-name buffers, so
// the dialog offers the name last used with it), writes the file and tells
// the user how it went. A cancelled dialog does nothing.
void saveProtocolCommand(HWND main);
