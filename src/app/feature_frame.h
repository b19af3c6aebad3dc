#pragma once
// Windows only: the contract every feature window keeps with the shell.
#include <windows.h>

// On WM_CREATE: mark a feature open, fill the main window's client area
// (without repainting) and grey the menu commands but Info.
void featureFrameCreate(HWND window);

// The same, for a window that takes a smaller box of its own.
void featureFrameCreateInBox(HWND window, int x, int y, int width, int height);

// On WM_CLOSE: let the main window paint its logo again, restore and
// re-enable the menu, stop the link if the window used one, destroy it.
void featureFrameClose(HWND window, bool usesLink);
