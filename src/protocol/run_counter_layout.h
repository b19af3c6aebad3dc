#pragma once
#include <cstdint>

#include "app/layout.h"
#include "app/family.h"

// The controls of the running-counter windows, in creation order, placed in
// pixels from the layout unit (charWidth x lineHeight). The window code only
// creates what this lists.

enum class CounterControlKind {
    groupBox,    // centred caption
    label,       // centred static
    valueField,  // bordered, right-aligned edit with a tab stop
    hourMark,    // the static "h" right of a time field
    button,      // default push button
};

struct CounterControl {
    CounterControlKind kind;
    int id;        // -1 for group boxes, labels and hour marks
    int text;      // text table index; -1 for value fields and hour marks
    PixelRect rect;
};

// Read and Close buttons of each family.
inline constexpr int counterReadIdK = 12;
inline constexpr int counterCloseIdK = 13;
inline constexpr int counterReadIdM = 66;
inline constexpr int counterCloseIdM = 67;

inline constexpr int counterControlMax = 80;

// Fills out (room for counterControlMax) with the controls of the family
// (0 K-Series, 1 M-Series) and returns how many there are.
int runCounterControls(Family family, int charWidth, int lineHeight, CounterControl* out);
