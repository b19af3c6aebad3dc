#pragma once
// Windows only: an open window laid out again for another layout unit, when
// the main window moves to a monitor with another scaling or the screen
// changes while a window is open.
#include <windows.h>

#include "app/screen_fit.h"

// The main window's child after the unit changed from `from` to `to`: a
// child that filled the client area fills it again, one in a box of its own
// keeps its place in proportion. Its controls move and grow in proportion
// and get the control font; then the child is sent WM_LAYOUT_CHANGED.
void relayoutChild(HWND main, SIZE clientBefore, LayoutUnit from, LayoutUnit to);
