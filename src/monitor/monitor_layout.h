#pragma once
// Where the monitor windows put their controls, in layout cells. Portable,
// so the table can be checked without a window; the Win32 code turns it
// into child windows.
#include "app/control_table.h"
#include "app/family.h"

inline constexpr int monitorLayoutCapacity = 96;

// Fills out with the family's controls in creation order; returns how many.
int buildMonitorLayout(Family family, ControlPlace* out);
