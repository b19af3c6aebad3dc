#pragma once
// Windows only: what the screen shows of a window, as a picture file.
#include <windows.h>

// Writes the window as it is on the screen (frame and caption included) as
// a 24-bit BMP file; false if it could not.
bool captureWindow(HWND window, const char* path);
