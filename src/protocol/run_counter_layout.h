#pragma once
#include <cstdint>

#include "app/control_table.h"
#include "app/family.h"

// The controls of the running-counter windows, in creation order: group
// boxes, centred labels each followed by its value field (a right-aligned
// edit with a tab stop), the centred "h" right of a field that shows hours,
// and the Read and Close buttons (default push buttons). The window code
// only creates what this lists.

// Read and Close buttons of each family.
inline constexpr int counterReadIdK = 12;
inline constexpr int counterCloseIdK = 13;
inline constexpr int counterReadIdM = 66;
inline constexpr int counterCloseIdM = 67;

inline constexpr int counterControlMax = 80;

// Fills out (room for counterControlMax) with the controls of the family and
// returns how many there are.
int runCounterControls(Family family, ControlPlace* out);

// The "h" beside a field whose value is in hours.
bool isHourMark(const ControlPlace& place);
