#pragma once
// Windows only: driving the program's windows from inside its own process.
#include <windows.h>

#include <functional>
#include <string>

// Pumps messages until condition() is true or timeoutMs have passed;
// returns the last value of condition(). A quit message is noted, not lost.
bool pumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void pumpFor(int milliseconds);
bool quitMessageSeen();
void clearQuitMessageSeen();

std::string windowText(HWND window);
HWND childOfClass(HWND parent, const char* className);

// A click on a button control, as the control itself reports it.
void clickControl(HWND parent, int controlId);
// Mouse clicks on the upper or lower arrow of an up-down control.
void clickArrows(HWND arrows, bool up, int times = 1);

