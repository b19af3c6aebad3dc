#pragma once
// What a window shows on the screen, read back from the windows themselves:
// where each control lies, its text and font, and whether the text fits.
#include <windows.h>

#include <string>
#include <vector>

struct ControlRecord {
    HWND handle;
    std::string className;
    int id;
    RECT rect;            // in the client coordinates of the surveyed window
    std::string text;     // window text; for lists every item, joined by '|'
    std::string font;     // "system" for the controls that keep the system font
    bool dynamicText;     // values the unit sends (edit fields): not part of the geometry
};

// Every descendant control of a window, in z-order (creation order).
std::vector<ControlRecord> surveyControls(HWND window);

// One line per control, for comparing two layouts line by line.
std::vector<std::string> describeControls(HWND window);

// The controls whose text does not fit them, measured with the control's own
// font, each as "class id 'text': needs WxH, has wxh".
std::vector<std::string> textOverflows(HWND window);

// The controls that do not lie wholly inside the window's client area.
std::vector<std::string> controlsOutside(HWND window);

// A rectangle as "x,y wxh".
std::string describeRect(const RECT& r);
