#pragma once
// Windows only: radio buttons that only a real press clicks. Windows' button
// control reports a click (BN_CLICKED) when an unmarked radio button gets
// the focus from the keyboard, so that moving through a dialog's group
// marks the button moved to. Here moving the focus must never act (the
// monitor's output indicators switch the unit's outputs), so the windows
// ask whether a click came from the focus arriving and ignore it.
#include <windows.h>

enum class RadioRole {
    choice,   // one of a group the arrow keys move through (language, family)
    output,   // an output indicator: a tab stop of its own, marked or not,
              // pressed only with Space; no radio button to the dialog keys,
              // so the arrows never move between indicators
    display,  // an indicator that only shows: never a tab stop
};

// Watches a radio button for the focus arriving. Marking a radio button
// makes it its group's tab stop in Windows; outputs and displays keep theirs
// as their role says.
void guardRadioFocus(HWND radio, RadioRole role);

// True while `control` is taking the focus: a BN_CLICKED it sends now is
// not a press.
bool clickFromFocus(HWND control);
