#pragma once
// Windows only: the one way every window creates its controls, from a place
// in its control table (app/control_table.h) and the layout unit in effect.
#include <windows.h>

#include "app/control_table.h"

// A visible child control of `parent` at `rect`, with the class and style of
// its kind (plus `extraStyle`) and the given text (nullptr for none);
// nullptr if it could not be made.
HWND createControl(HWND parent, ControlKind kind, int id, const char* text, const CellRect& rect,
                   DWORD extraStyle = 0);

// The same for a table entry; its text in the current language.
HWND createControl(HWND parent, const ControlPlace& place, DWORD extraStyle = 0);
