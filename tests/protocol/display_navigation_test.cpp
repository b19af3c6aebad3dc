#include "protocol/display_navigation.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    DisplayKey key;
    std::int32_t from;
    std::int32_t to;
};

} // namespace

// 100 entries, 37 lines on screen: the last page starts at entry 63.
TEST(DisplayNavigation, KeysGoByLinesAndPagesAndStopAtTheLastPage)
{
    const KeyCase cases[] = {
        {.key = DisplayKey::lineDown, .from = 0, .to = 1},
        {.key = DisplayKey::lineUp, .from = 0, .to = 0},
        // Down goes as far as the scroll bar's arrow, to the empty list.
        {.key = DisplayKey::lineDown, .from = 99, .to = 100},
        {.key = DisplayKey::lineDown, .from = 100, .to = 100},
        {.key = DisplayKey::pageDown, .from = 0, .to = 37},
        {.key = DisplayKey::pageDown, .from = 50, .to = 63},
        // Beyond the last page (the bar took it there): Page Down stays.
        {.key = DisplayKey::pageDown, .from = 90, .to = 90},
        {.key = DisplayKey::pageUp, .from = 90, .to = 53},
        {.key = DisplayKey::pageUp, .from = 20, .to = 0},
        {.key = DisplayKey::first, .from = 77, .to = 0},
        {.key = DisplayKey::lastPage, .from = 0, .to = 63},
    };
    for (const KeyCase& c : cases)
        EXPECT_EQ(topEntryAfterKey(c.key, c.from, 37, 100), c.to) << static_cast<int>(c.key) << " from " << c.from;

    // Fewer entries than lines: End shows them all from the first.
    EXPECT_EQ(topEntryAfterKey(DisplayKey::lastPage, 0, 37, 10), 0);
    EXPECT_EQ(topEntryAfterKey(DisplayKey::pageDown, 0, 37, 10), 0);
    // No entries, or no line on screen: nothing to go to.
    EXPECT_EQ(topEntryAfterKey(DisplayKey::lineDown, 0, 37, 0), 0);
    EXPECT_EQ(topEntryAfterKey(DisplayKey::pageDown, 0, 0, 100), 1);
}

TEST(DisplayNavigation, TheWheelScrollsTheSystemsLinesPerNotchAndAddsUpParts)
{
    WheelTurn turn;
    // One notch towards the user: three lines further.
    EXPECT_EQ(topEntryAfterWheel(turn, -120, 3, 10, 37, 50000), 13);
    // Away from the user: back, not before the first entry.
    EXPECT_EQ(topEntryAfterWheel(turn, 240, 3, 4, 37, 50000), 0);
    // A touchpad's small steps add up to whole lines.
    std::int32_t top = 100;
    for (int step = 0; step < 12; ++step)
        top = topEntryAfterWheel(turn, -10, 3, top, 37, 50000);
    EXPECT_EQ(top, 103);
    // The other way drops what was left over.
    top = topEntryAfterWheel(turn, -30, 3, top, 37, 50000);
    EXPECT_EQ(topEntryAfterWheel(turn, 40, 3, top, 37, 50000), top - 1);
    // "A screen per notch", and never past the last page.
    WheelTurn pages;
    EXPECT_EQ(topEntryAfterWheel(pages, -120, wheelPageScroll, 0, 37, 50000), 37);
    EXPECT_EQ(topEntryAfterWheel(pages, -1200, 3, 49950, 37, 50000), 50000 - 37);
    // Scrolling switched off in the system.
    WheelTurn off;
    EXPECT_EQ(topEntryAfterWheel(off, -120, 0, 5, 37, 100), 5);
}
