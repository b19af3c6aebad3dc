#pragma once
// Windows only: the main window's menu bar.
#include <windows.h>

#include <cstdint>

// Loads the menu of a language (0 German, anything else English), sets it on
// the main window and destroys the one it replaces.
void setLanguageMenu(HWND mainWindow, std::int32_t language);

// Greys or enables the commands that a child window blocks.
void greyMenuItems(HWND mainWindow);
void enableMenuItems(HWND mainWindow);
void setMenuItemEnabled(HWND mainWindow, int command, bool enabled);

// After a child window closes: Display and Save only once a protocol is there.
void greyProtocolItemsUnlessAvailable(HWND mainWindow);
