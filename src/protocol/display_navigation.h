#pragma once
#include <cstdint>

// Moving through the protocol display with the keyboard and the mouse wheel.
// The scroll bar keeps its own rules (a line at a time up to the empty list
// after the last entry, its page areas do nothing); keys and the wheel go by
// lines and pages and stop at the last page.

enum class DisplayKey {
    lineUp,     // Up
    lineDown,   // Down: as the scroll bar's arrow
    pageUp,     // Page Up: the lines shown
    pageDown,   // Page Down
    first,      // Home: the first entry
    lastPage,   // End: the last entries fill the list
};

// The first entry shown after a key, for `visibleLines` lines on screen and
// `count` entries.
std::int32_t topEntryAfterKey(DisplayKey key, std::int32_t topEntry, int visibleLines, std::int32_t count);

// What a wheel has turned and not yet scrolled: touchpads report parts of a
// notch, which add up.
struct WheelTurn {
    int pending = 0;
};

inline constexpr int wheelNotch = 120;     // one notch of a wheel (WHEEL_DELTA)
inline constexpr int wheelPageScroll = -1;  // the system setting "a screen per notch"

// The first entry shown after the wheel turned by `delta` (positive away
// from the user: towards the first entry), scrolling `linesPerNotch` lines a
// notch (or a page for wheelPageScroll).
std::int32_t topEntryAfterWheel(WheelTurn& turn, int delta, int linesPerNotch, std::int32_t topEntry,
                                int visibleLines, std::int32_t count);
