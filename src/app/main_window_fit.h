#pragma once
// Windows only: the main window's size and place on its monitor, and the
// scrolling of its client area where even the smallest layout unit is too
// large for the work area.
#include <windows.h>

#include "app/layout.h"

// Sizes and places the main window for an outer size of `cells`: the layout
// unit and the fonts are chosen so that it fits the work area of its monitor
// (screen_fit.h), it opens centred and never with its title bar or menu off
// the screen. A child window that is open is laid out again when the unit
// changed.
void fitMainWindow(HWND main, CellSize cells, bool repaint);

// The same cells again after the monitor, its scaling or its work area
// changed; `suggested` is the rectangle that comes with WM_DPICHANGED.
void refitMainWindow(HWND main, int dpi, const RECT* suggested);

// WM_SIZE: the client size the child windows fill. While the window scrolls
// that is the size the layout needs, not the part on the screen.
void mainWindowSized(HWND main, int width, int height);

// WM_VSCROLL, WM_HSCROLL and WM_MOUSEWHEEL of the main window; true when the
// window scrolls and the message was taken.
bool scrollMainWindow(HWND main, UINT message, WPARAM wParam);

// Puts the child window back at its origin (before a new one opens).
void scrollMainWindowHome(HWND main);

// Scrolls just far enough for a control of the child window to be seen.
void scrollIntoView(HWND control);

// How far the client area is scrolled (0, 0 unless it scrolls).
POINT mainWindowScroll();
