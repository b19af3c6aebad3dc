#pragma once

// How every window describes its controls: a table of places in cells of
// the layout unit (charWidth x lineHeight), read by one creation helper
// (app/controls.h). Portable, so each window's table is checked without a
// window. Every length is one integer product and one truncating division,
// so a window lands on the same pixels on every machine.

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// numerator x unit / divisor pixels, truncated; the unit is charWidth for x
// and widths, lineHeight for y and heights.
struct CellFraction {
    int numerator;
    int divisor;
};

constexpr CellFraction cells(int numerator, int divisor = 1) { return {numerator, divisor}; }
inline int cellPixels(CellFraction f, int unit) { return f.numerator * unit / f.divisor; }

struct CellRect {
    CellFraction x;
    CellFraction y;
    CellFraction width;
    CellFraction height;
};

PixelRect pixelsOf(const CellRect& r, int charWidth, int lineHeight);

// What a control is; its window class and style follow from it.
enum class ControlKind {
    groupBox,         // centred caption
    choice,           // radio button, label left of the mark, marked by the window
    indicator,        // the same look: an output, input or error the window marks
    pushButton,
    defaultButton,    // drawn as a default push button
    centredText,
    leftText,
    unitText,         // left-aligned, beside a value ("°C", "V", "%")
    valueBox,         // bordered, centred, read-only; only its arrows change it
    list,             // drop-down list without an edit field
    numberField,      // bordered edit, right-aligned (counters)
    digitField,       // bordered edit, digits only
    textField,        // bordered edit
    scrollBar,        // horizontal
    progressBar,
    smoothProgressBar,
};

inline constexpr int noControlId = -1;

// One control of a window's table: its kind, its id (noControlId for
// labels and boxes), its text (a UI text number, or a fixed text when the
// number is -1; none when both are unset) and its place.
struct ControlPlace {
    ControlKind kind;
    int id;
    int textIndex;
    const char* literal;
    CellRect rect;
};
