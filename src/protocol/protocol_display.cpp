#include "protocol/protocol_display.h"

#include "protocol/field_format.h"
#include "protocol/protocol_columns.h"

namespace {

const int columnCellsK[7] = {7, 25, 40, 56, 78, 101, 125};
const int columnCellsM[8] = {7, 25, 40, 60, 90, 120, 150, 180};

} // namespace

DisplayRect headerBand(const DisplayMetrics& m)
{
    return {0, 0, m.clientWidth, 3 * m.lineHeight};
}

DisplayRect listArea(const DisplayMetrics& m)
{
    // From 6 cw, but never below the first line at 3 lh: with a font whose
    // cells are wider than half their height the top of the first line
    // would otherwise keep the old text after scrolling.
    const int top = 6 * m.charWidth < 3 * m.lineHeight ? 6 * m.charWidth : 3 * m.lineHeight;
    return {0, top, m.clientWidth - 3 * m.charWidth, m.clientHeight};
}

namespace {

// The lowest a bar of this height may start in the window that is shown.
int highestBottom(const DisplayMetrics& m, int y, int height)
{
    if (m.shownHeight > 0 && y + height > m.shownHeight)
        return m.shownHeight - height;
    return y;
}

} // namespace

BarPlace horizontalBar(const DisplayMetrics& m)
{
    const int height = 2 * m.charWidth;
    return {0, highestBottom(m, m.clientHeight - 3 * m.lineHeight, height), m.clientWidth - 3 * m.charWidth,
            height};
}

BarPlace verticalBar(Family family, const DisplayMetrics& m)
{
    const int reserved = family == Family::k ? 5 : 6;
    const int top = 3 * m.lineHeight;
    int height = m.clientHeight - reserved * m.lineHeight;
    const int bottom = family == Family::k ? m.shownHeight : horizontalBar(m).y;
    if (m.shownHeight > 0 && top + height > bottom)
        height = bottom - top;
    return {m.clientWidth - 3 * m.charWidth, top, 2 * m.charWidth, height};
}

int visibleLineCount(Family family, const DisplayMetrics& m)
{
    if (m.textLineHeight <= 0)
        return 0;
    const int reserved = family == Family::k ? 5 : 6;
    int height = m.clientHeight - reserved * m.lineHeight;
    if (m.shownHeight > 0) {
        const int bottom = family == Family::k ? m.shownHeight : horizontalBar(m).y;
        if (3 * m.lineHeight + height > bottom)
            height = bottom - 3 * m.lineHeight;
    }
    return height > 0 ? height / m.textLineHeight : 0;
}

int shownColumns(Family family, int columnOffset, int columns[maxShownColumns])
{
    if (family == Family::k) {
        for (int c = 0; c < columnCountK; ++c)
            columns[c] = c;
        return columnCountK;
    }
    if (columnOffset < 0)
        columnOffset = 0;
    int n = 0;
    for (int b = 0; b < 3; ++b)
        columns[n++] = b;
    for (int b = 3 + columnOffset; b <= 7 + columnOffset && b < columnCountM; ++b)
        columns[n++] = b;
    return n;
}

int columnX(Family family, int k, int textCharWidth)
{
    const int* cells = family == Family::k ? columnCellsK : columnCellsM;
    const int count = family == Family::k ? 7 : 8;
    return k >= 0 && k < count ? cells[k] * textCharWidth : 0;
}

std::uint32_t columnColour(int k)
{
    return k % 2 == 0 ? colourNavy : colourMaroon;
}

VisibleEntries visibleEntries(std::int32_t topEntry, int lineCount, std::int32_t count)
{
    if (count < 0)
        count = 0;
    if (topEntry < 0)
        topEntry = 0;
    if (topEntry > count)
        topEntry = count;
    const std::int64_t end = static_cast<std::int64_t>(topEntry) + (lineCount > 0 ? lineCount : 0);
    return {topEntry, static_cast<std::int32_t>(end < count ? end : count)};
}

int headerTexts(Family family, int columnOffset, const DisplayMetrics& m,
                const char* const* texts, HeaderText out[1 + maxShownColumns])
{
    const int y = m.textLineHeight;
    out[0] = {m.textCharWidth, y, texts[displayNumberText]};
    int columns[maxShownColumns];
    const int n = shownColumns(family, columnOffset, columns);
    const int firstText = family == Family::k ? firstHeaderTextK : firstHeaderTextM;
    for (int k = 0; k < n; ++k)
        out[1 + k] = {columnX(family, k, m.textCharWidth), y, texts[firstText + columns[k]]};
    return 1 + n;
}

int displayLineTexts(Family family, const ProtocolData& protocol, std::int32_t index,
                     int row, int columnOffset, const DisplayMetrics& m,
                     DisplayText out[1 + maxShownColumns])
{
    if (index < 0 || index >= readableEntries(protocol, family))
        return 0;
    ProtocolEntryK entryK;
    ProtocolEntryM entryM;
    if (family == Family::k)
        readProtocolEntryK(protocol.bytes, protocol.size, index, entryK);
    else
        readProtocolEntryM(protocol.bytes, protocol.size, index, entryM);

    const int y = 3 * m.lineHeight + row * m.textLineHeight;
    DisplayText& number = out[0];
    number.x = m.textCharWidth;
    number.y = y;
    number.colour = colourBlack;
    number.length = static_cast<int>(appendDecimal(number.text, index + 1) - number.text);

    int columns[maxShownColumns];
    const int n = shownColumns(family, columnOffset, columns);
    for (int k = 0; k < n; ++k) {
        DisplayText& cell = out[1 + k];
        cell.x = columnX(family, k, m.textCharWidth);
        cell.y = y;
        cell.colour = columnColour(k);
        char* end = family == Family::k ? appendColumnK(cell.text, entryK, columns[k])
                                      : appendColumnM(cell.text, entryM, columns[k]);
        cell.length = static_cast<int>(end - cell.text);
    }
    return 1 + n;
}

bool scrollTopEntry(int request, std::int32_t trackPosition, std::int32_t count,
                    std::int32_t& topEntry)
{
    switch (request) {
    case scrollLineUp:
        if (topEntry > 0)
            --topEntry;
        return true;
    case scrollLineDown:
        if (topEntry < count)
            ++topEntry;
        return true;
    case scrollThumbTrack:
        topEntry = trackPosition < 0 ? 0 : (trackPosition > count ? count : trackPosition);
        if (topEntry < 0)
            topEntry = 0;
        return true;
    default:
        return false;
    }
}

bool scrollColumnOffset(int request, std::int32_t trackPosition, int& columnOffset)
{
    switch (request) {
    case scrollLineUp:
        if (columnOffset > 0)
            --columnOffset;
        return true;
    case scrollLineDown:
        if (columnOffset < maxColumnOffset)
            ++columnOffset;
        return true;
    case scrollThumbTrack:
        columnOffset = trackPosition < 0 ? 0
                     : (trackPosition > maxColumnOffset ? maxColumnOffset
                                                        : static_cast<int>(trackPosition));
        return true;
    default:
        return false;
    }
}
