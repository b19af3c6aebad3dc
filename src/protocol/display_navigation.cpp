#include "protocol/display_navigation.h"

#include <algorithm>

namespace {

std::int32_t lastPage(int visibleLines, std::int32_t count)
{
    return std::max<std::int32_t>(0, count - std::max(visibleLines, 1));
}

// Towards the end, never past the last page (nor back from beyond it: the
// scroll bar may have shown the empty list after the last entry).
std::int32_t forward(std::int32_t topEntry, std::int32_t lines, int visibleLines, std::int32_t count)
{
    return std::max(topEntry, std::min(topEntry + lines, lastPage(visibleLines, count)));
}

std::int32_t back(std::int32_t topEntry, std::int32_t lines)
{
    return std::max<std::int32_t>(0, topEntry - lines);
}

} // namespace

std::int32_t topEntryAfterKey(DisplayKey key, std::int32_t topEntry, int visibleLines, std::int32_t count)
{
    const std::int32_t page = std::max(visibleLines, 1);
    switch (key) {
    case DisplayKey::lineUp:
        return back(topEntry, 1);
    case DisplayKey::lineDown:
        return std::min(topEntry + 1, std::max<std::int32_t>(count, 0));
    case DisplayKey::pageUp:
        return back(topEntry, page);
    case DisplayKey::pageDown:
        return forward(topEntry, page, visibleLines, count);
    case DisplayKey::first:
        return 0;
    case DisplayKey::lastPage:
        return lastPage(visibleLines, count);
    }
    return topEntry;
}

std::int32_t topEntryAfterWheel(WheelTurn& turn, int delta, int linesPerNotch, std::int32_t topEntry,
                                int visibleLines, std::int32_t count)
{
    // Turning the other way drops what was left of the last direction.
    if ((turn.pending > 0 && delta < 0) || (turn.pending < 0 && delta > 0))
        turn.pending = 0;
    turn.pending += delta;
    const int perNotch = linesPerNotch == wheelPageScroll ? std::max(visibleLines, 1) : linesPerNotch;
    if (perNotch <= 0) {
        turn.pending = 0;
        return topEntry;
    }
    // Whole lines for what has turned so far; the rest waits.
    const int lines = turn.pending * perNotch / wheelNotch;
    if (lines == 0)
        return topEntry;
    turn.pending -= lines * wheelNotch / perNotch;
    if (lines > 0)
        return back(topEntry, lines);
    return forward(topEntry, -lines, visibleLines, count);
}
