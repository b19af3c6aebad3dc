#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "entry_bytes.h"
#include "protocol/protocol_display.h"

namespace {

// Main window cells 8 x 16, a 12-pixel text font 5 x 14, 800 x 600 client.
const DisplayMetrics metrics{800, 600, 8, 16, 5, 14};

std::vector<int> columnsFor(std::int32_t family, int offset)
{
    int columns[maxShownColumns];
    const int n = shownColumns(family, offset, columns);
    return std::vector<int>(columns, columns + n);
}

std::string textOf(const DisplayText& t)
{
    return std::string(t.text, static_cast<std::size_t>(t.length));
}

} // namespace

TEST(ProtocolDisplay, VisibleLinesDependOnTheHeightOnly)
{
    EXPECT_EQ(visibleLineCount(seriesK, metrics), (600 - 80) / 14);
    EXPECT_EQ(visibleLineCount(seriesM, metrics), (600 - 96) / 14);
    for (int height : {5 * 16 + 13, 10}) {
        DisplayMetrics tiny = metrics;
        tiny.clientHeight = height;
        EXPECT_EQ(visibleLineCount(seriesK, tiny), 0) << height;
    }
}

TEST(ProtocolDisplay, MSeriesColumnsScrollAfterTheFirstThree)
{
    EXPECT_EQ(columnsFor(seriesK, 9), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(columnsFor(seriesM, 0), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    // Offset 10: run times of compressors 2 to 6.
    EXPECT_EQ(columnsFor(seriesM, 10), (std::vector<int>{0, 1, 2, 13, 14, 15, 16, 17}));
    EXPECT_EQ(columnsFor(seriesM, 11), (std::vector<int>{0, 1, 2, 14, 15, 16, 17}));
    EXPECT_EQ(columnsFor(seriesM, 15), (std::vector<int>{0, 1, 2}));
}

TEST(ProtocolDisplay, HeaderTextsFollowTheShownColumns)
{
    HeaderText header[1 + maxShownColumns];
    ASSERT_EQ(headerTexts(seriesK, 0, metrics, englishTexts, header), 8);
    EXPECT_STREQ(header[0].text, "<No.>");
    EXPECT_EQ(header[0].x, 5);
    EXPECT_EQ(header[0].y, 14);
    EXPECT_STREQ(header[7].text, "<Comp. Start-Counter>");
    EXPECT_EQ(header[7].x, 125 * 5);

    ASSERT_EQ(headerTexts(seriesM, 12, metrics, germanTexts, header), 1 + 3 + 3);
    EXPECT_STREQ(header[0].text, "<Nr.>");
    EXPECT_STREQ(header[4].text, "<Kompr.4 Laufzeit>");
    EXPECT_EQ(header[4].x, 60 * 5);
    EXPECT_STREQ(header[6].text, "<Kompr.6 Laufzeit>");
}

TEST(ProtocolDisplay, VisibleEntriesStopAtTheEnd)
{
    EXPECT_EQ(visibleEntries(0, 37, 0).end, 0);
    const VisibleEntries top = visibleEntries(0, 37, 100);
    EXPECT_EQ(top.first, 0);
    EXPECT_EQ(top.end, 37);
    const VisibleEntries nearEnd = visibleEntries(80, 37, 100);
    EXPECT_EQ(nearEnd.first, 80);
    EXPECT_EQ(nearEnd.end, 100);
    const VisibleEntries past = visibleEntries(100, 37, 100);
    EXPECT_EQ(past.first, past.end);
    EXPECT_EQ(visibleEntries(150, 37, 100).end, 100);
    EXPECT_EQ(visibleEntries(0x7FFFFFF0, 37, 0x7FFFFFFF).end, 0x7FFFFFFF);
}

TEST(ProtocolDisplay, KSeriesLineTextsColoursAndPlaces)
{
    std::vector<unsigned char> buffer(3 * 24, 0);
    putEntryK(buffer, 2, {0x0020, 9, 5400, 3600, 0, 77, 123});
    const ProtocolData protocol{buffer.data(), buffer.size(), 3};
    DisplayText line[1 + maxShownColumns];
    ASSERT_EQ(displayLineTexts(seriesK, protocol, 2, 4, 0, metrics, line), 8);

    const std::string texts[8] = {"3", "123", "_Init", "9", "1,5 h", "1,0 h", "0,0 h", "77"};
    const int xK[7] = {7, 25, 40, 56, 78, 101, 125};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(textOf(line[k]), texts[k]) << k;
        EXPECT_EQ(line[k].y, 3 * 16 + 4 * 14);
    }
    EXPECT_EQ(line[0].x, 5);
    EXPECT_EQ(line[0].colour, colourBlack);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(line[1 + k].x, xK[k] * 5);
        EXPECT_EQ(line[1 + k].colour, k % 2 == 0 ? colourNavy : colourMaroon);
    }
    // Past the count, and past the buffer whatever the count claims.
    EXPECT_EQ(displayLineTexts(seriesK, protocol, 3, 0, 0, metrics, line), 0);
    EXPECT_EQ(displayLineTexts(seriesK, {buffer.data(), buffer.size(), 50}, 3, 0, 0, metrics, line),
              0);
}

TEST(ProtocolDisplay, MSeriesLineFollowsTheColumnOffset)
{
    std::vector<unsigned char> buffer(68, 0);
    putEntryM(buffer, 0, {3, 1, 0, 0, 0, {10, 20, 30, 40, 50, 60}, {0, 0, 0, 0, 3600, 7200}, 5});
    const ProtocolData protocol{buffer.data(), buffer.size(), 1};
    DisplayText line[1 + maxShownColumns];
    ASSERT_EQ(displayLineTexts(seriesM, protocol, 0, 0, 7, metrics, line), 9);
    const std::string texts[9] = {"1", "5", "_A03", "1", "50", "60", "0,0 h", "0,0 h", "0,0 h"};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(textOf(line[k]), texts[k]) << k;
    EXPECT_EQ(line[4].x, 60 * 5);
    EXPECT_EQ(line[4].colour, colourMaroon);
    EXPECT_EQ(line[8].x, 180 * 5);

    ASSERT_EQ(displayLineTexts(seriesM, protocol, 0, 0, 13, metrics, line), 6);
    EXPECT_EQ(textOf(line[4]), "1,0 h");
    EXPECT_EQ(textOf(line[5]), "2,0 h");
}

TEST(ProtocolDisplay, VerticalScrollingStopsAtTheLimitsAndIgnoresPages)
{
    std::int32_t top = 0;
    EXPECT_TRUE(scrollTopEntry(scrollLineUp, 0, 3, top));
    EXPECT_EQ(top, 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(scrollTopEntry(scrollLineDown, 0, 3, top));
    EXPECT_EQ(top, 3) << "down to an empty list, no further";
    EXPECT_TRUE(scrollTopEntry(scrollLineUp, 0, 3, top));
    EXPECT_EQ(top, 2);
    for (int request : {2, 3, 4, 6, 7, 8}) {
        EXPECT_FALSE(scrollTopEntry(request, 0, 3, top)) << request;
        EXPECT_EQ(top, 2);
    }
    EXPECT_TRUE(scrollTopEntry(scrollThumbTrack, 87000, 87381, top));
    EXPECT_EQ(top, 87000) << "positions beyond 16 bits";
    EXPECT_TRUE(scrollTopEntry(scrollThumbTrack, 90000, 87381, top));
    EXPECT_EQ(top, 87381);

    std::int32_t empty = 0;
    EXPECT_TRUE(scrollTopEntry(scrollLineDown, 0, 0, empty));
    EXPECT_EQ(empty, 0);
}

TEST(ProtocolDisplay, HorizontalScrollingStaysWithin0To15)
{
    int offset = 0;
    EXPECT_TRUE(scrollColumnOffset(scrollLineUp, 0, offset));
    EXPECT_EQ(offset, 0);
    for (int i = 0; i < 20; ++i)
        scrollColumnOffset(scrollLineDown, 0, offset);
    EXPECT_EQ(offset, 15);
    EXPECT_FALSE(scrollColumnOffset(3, 0, offset));
    EXPECT_TRUE(scrollColumnOffset(scrollThumbTrack, 4, offset));
    EXPECT_EQ(offset, 4);
}

TEST(ProtocolDisplay, ScrollingRedrawsTheWholeFirstLine)
{
    EXPECT_EQ(listArea(metrics).top, 48);
    EXPECT_EQ(listArea(metrics).right, 800 - 24);
    const DisplayMetrics wideCells{800, 600, 9, 15, 5, 14};
    EXPECT_EQ(listArea(wideCells).top, 45) << "the first line starts at 3 lh";
    const DisplayMetrics narrowCells{800, 600, 6, 16, 5, 14};
    EXPECT_EQ(listArea(narrowCells).top, 36);
}
