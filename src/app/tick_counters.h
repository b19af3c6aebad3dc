#pragma once
// The program's tick counters in AppState: how long each compressor has run
// and since when it may start again, and the step of a start sequence. The
// main window's 100 ms timer advances them.
#include "app/app_state.h"

// One 100 ms tick of the main window's timer: run and step counters count
// without bound, restart counters stop at 0xFFFF.
void advanceTicks(AppState& state);

// State right after start-up has loaded the settings: restart counters read
// "long ago".
void resetRestartTicks(AppState& state);
