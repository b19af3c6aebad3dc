#pragma once
// Windows only: the program's windows used from the keyboard as Windows
// users use dialogs. The window inside the main window (the selection
// window or a feature window) is the dialog:
//   Tab, Shift+Tab   the next or previous control with a tab stop, in the
//                    windows' reading order; into a group of radio buttons
//                    at its marked one
//   arrow keys       within a group of radio buttons: the next one, marked
//                    (language and family); other controls take them
//                    themselves (lists, value boxes, scroll bars, the
//                    protocol display)
//   Space            the focused button presses itself
//   Enter            presses the focused push button, else the window's
//                    default button (DM_GETDEFID); never anything else
//   Esc              closes a feature window as its Close button does
//                    (the protocol read: Break); the selection window
//                    cannot be left that way
// Enter and Esc are always taken here, so the dialog manager's own meaning
// (a click on the controls with ids 1 and 2) never reaches a window.
#include <windows.h>

// Called by every message loop before it translates and dispatches a
// message; true when the message was one of these keys and has been handled.
bool handleDialogKey(const MSG& msg);

// The first control of a window that has just opened gets the focus (the
// window itself when it has none).
void focusFirstControl(HWND window);

// The focus back on a control after a message box, or on the next one that
// can take it when the control has been disabled meanwhile.
void restoreFocus(HWND control);

// A window greys a control for a while (a transfer): a focus on it waits on
// the window itself, where the keys still work, and returns to the control
// once the window enables it again.
void parkFocus(HWND window, HWND control);
void returnParkedFocus(HWND window);
