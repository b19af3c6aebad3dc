#pragma once
// Windows only: the Wine virtual desktop made the size of a laptop's or a
// monitor's screen, with a taskbar, for the screen tests and the tour.
#include <windows.h>

// The screen's scaling (LogPixels of the Wine prefix).
int screenDpi();

// A taskbar along the bottom, as high as Windows 11 draws it at this scaling.
int taskbarHeight(int dpi);

// The desktop width x height with the taskbar below its work area; false if
// the display cannot take that size (the X screen must be at least as large).
bool useDesktop(int width, int height);
