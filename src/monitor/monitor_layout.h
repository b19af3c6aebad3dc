#pragma once
// Where the monitor windows put their controls, in layout cells. Portable,
// so the table can be checked without a window; the Win32 code turns it
// into child windows.
#include "app/family.h"

enum class MonitorControlKind {
    groupBox,     // centred caption
    indicator,    // radio-style mark with the label to its left; the window sets the mark
    scrollBar,    // horizontal, blower power 0 to 100
    digitField,   // bordered edit, digits only
    textField,    // bordered edit, any text
    centredText,
    leftText,
    unitText,     // °C / °F / V / Hz beside a value field
    pushButton,   // default push button
    progressBar,  // smooth, 0 to 32
};

// A length of numerator * unit / divisor pixels, truncated (unit: charWidth
// or lineHeight).
struct CellFraction {
    int numerator;
    int divisor;
};

inline constexpr int noControlId = -1;

struct MonitorControlPlace {
    MonitorControlKind kind;
    int id;               // control id, noControlId for labels and boxes
    int textIndex;        // UI text number, or -1 when literal is the text
    const char* literal;  // fixed text, nullptr for none
    CellFraction x;
    CellFraction y;
    CellFraction width;
    CellFraction height;
};

inline constexpr int monitorLayoutCapacity = 96;

// Fills out with the family's controls in creation order; returns how many.
int buildMonitorLayout(Family family, MonitorControlPlace* out);

// Pixels of a fraction of a layout unit.
inline int cellPixels(CellFraction f, int unit) { return f.numerator * unit / f.divisor; }
