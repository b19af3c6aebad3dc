#pragma once
// Windows only: the whole program as WinMain runs it. The GUI tests and the
// tour start it the same way.
#include <windows.h>

// Start-up up to (not including) the message loop: settings, window classes,
// main window, file dialog, work buffers, tick timer and the device link.
// Returns the main window, or nullptr when the program must end (out of
// memory, no window).
HWND startProgram(HINSTANCE instance, int showCommand);

// Runs the message loop until the quit message; returns its code.
int runMessageLoop();

// Everything after the message loop: timer and buffers.
void shutdownProgram();

// WinMain's whole work.
int runProgram(HINSTANCE instance, int showCommand);
