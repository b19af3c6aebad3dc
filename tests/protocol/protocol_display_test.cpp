#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/texts.h"
#include "entry_bytes.h"
#include "protocol/protocol_display.h"

namespace {

// Main window cells 8 x 16, a 12-pixel text font 5 x 14, 800 x 600 client.
const DisplayMetrics metrics{800, 600, 8, 16, 5, 14};

std::vector<int> columnsFor(Family family, int offset)
{
    int columns[maxShownColumns];
    return std::vector<int>(columns, columns + shownColumns(family, offset, columns));
}

// The texts of one display line (drawn as row 4), in drawing order.
std::vector<std::string> lineTexts(Family family, const ProtocolData& protocol,
                                   std::int32_t index, int offset, DisplayText (&line)[1 + maxShownColumns])
{
    const int n = displayLineTexts(family, protocol, index, 4, offset, metrics, line);
    std::vector<std::string> texts;
    for (int k = 0; k < n; ++k)
        texts.emplace_back(line[k].text, static_cast<std::size_t>(line[k].length));
    return texts;
}

} // namespace

TEST(ProtocolDisplay, GeometryFollowsTheCellsAndTheHeight)
{
    EXPECT_EQ(visibleLineCount(Family::k, metrics), (600 - 80) / 14);
    EXPECT_EQ(visibleLineCount(Family::m, metrics), (600 - 96) / 14);
    EXPECT_EQ(visibleLineCount(Family::k, {800, 10, 8, 16, 5, 14}), 0);

    const BarPlace k = verticalBar(Family::k, metrics);
    const BarPlace m = verticalBar(Family::m, metrics);
    const BarPlace h = horizontalBar(metrics);
    EXPECT_TRUE(k.x == 776 && k.y == 48 && k.width == 16 && k.height == 600 - 80);
    EXPECT_TRUE(m.x == 776 && m.y == 48 && m.width == 16 && m.height == 600 - 96);
    EXPECT_TRUE(h.x == 0 && h.y == 600 - 48 && h.width == 776 && h.height == 16);

    // Scrolling redraws from 6 cw, but never below the first line at 3 lh.
    EXPECT_EQ(listArea(metrics).top, 48);
    EXPECT_EQ(listArea({800, 600, 9, 15, 5, 14}).top, 45);
    EXPECT_EQ(listArea({800, 600, 6, 16, 5, 14}).top, 36);
}

TEST(ProtocolDisplay, MSeriesColumnsScrollAfterTheFirstThreeAndHeadersFollow)
{
    EXPECT_EQ(columnsFor(Family::k, 9), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(columnsFor(Family::m, 10), (std::vector<int>{0, 1, 2, 13, 14, 15, 16, 17}));
    EXPECT_EQ(columnsFor(Family::m, 11), (std::vector<int>{0, 1, 2, 14, 15, 16, 17}));
    EXPECT_EQ(columnsFor(Family::m, 15), (std::vector<int>{0, 1, 2}));

    // Headers follow the shown columns.
    HeaderText header[1 + maxShownColumns];
    ASSERT_EQ(headerTexts(Family::m, 12, metrics, germanTexts, header), 1 + 3 + 3);
    EXPECT_STREQ(header[0].text, "<Nr.>");
    EXPECT_TRUE(header[0].x == 5 && header[0].y == 14);
    EXPECT_STREQ(header[4].text, "<Kompr.4 Laufzeit>");
    EXPECT_EQ(header[4].x, 60 * 5);
}

TEST(ProtocolDisplay, LineTextsColoursAndPlacesWithinTheProtocol)
{
    const auto buffer = entryBytes(24, {{}, {}, {0x0020, 9, 5400, 3600, 0, 77, 123}});
    const ProtocolData protocol{buffer.data(), buffer.size(), 3};
    DisplayText line[1 + maxShownColumns];
    EXPECT_EQ(lineTexts(Family::k, protocol, 2, 0, line),
              (std::vector<std::string>{"3", "123", "_Init", "9", "1,5 h", "1,0 h", "0,0 h", "77"}));
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(line[k].y, 3 * 16 + 4 * 14) << k;
        EXPECT_EQ(line[k].colour, k == 0 ? colourBlack : k % 2 ? colourNavy : colourMaroon) << k;
    }
    EXPECT_TRUE(line[0].x == 5 && line[1].x == 7 * 5 && line[7].x == 125 * 5);
    // Past the count, and past the buffer whatever the count claims.
    EXPECT_TRUE(lineTexts(Family::k, protocol, 3, 0, line).empty());
    EXPECT_TRUE(lineTexts(Family::k, {buffer.data(), buffer.size(), 50}, 3, 0, line).empty());

    const auto m = entryBytes(68, {{3, 1, 0, 0, 0, 10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 3600, 7200, 5}});
    EXPECT_EQ(lineTexts(Family::m, {m.data(), m.size(), 1}, 0, 7, line),
              (std::vector<std::string>{"1", "5", "_A03", "1", "50", "60", "0,0 h", "0,0 h", "0,0 h"}));
    EXPECT_TRUE(line[4].x == 60 * 5 && line[4].colour == colourMaroon && line[8].x == 180 * 5);
}

TEST(ProtocolDisplay, VisibleEntriesAndScrollingStayWithinTheLimits)
{
    const struct {
        std::int32_t top, count, first, end;
    } cases[] = {{0, 0, 0, 0}, {0, 100, 0, 37}, {80, 100, 80, 100}, {150, 100, 100, 100},
                 {0x7FFFFFF0, 0x7FFFFFFF, 0x7FFFFFF0, 0x7FFFFFFF}};
    for (const auto& c : cases) {
        const VisibleEntries shown = visibleEntries(c.top, 37, c.count);
        EXPECT_TRUE(shown.first == c.first && shown.end == c.end) << c.top << " " << c.count;
    }

    // Lines within 0 .. count, other requests ignored, the thumb beyond
    // 16 bits but never past the count.
    std::int32_t top = 0;
    EXPECT_TRUE(scrollTopEntry(scrollLineUp, 0, 3, top) && top == 0);
    for (int i = 0; i < 5; ++i)
        scrollTopEntry(scrollLineDown, 0, 3, top);
    EXPECT_EQ(top, 3);
    EXPECT_FALSE(scrollTopEntry(2, 0, 3, top));
    EXPECT_TRUE(scrollTopEntry(scrollThumbTrack, 90000, 87381, top) && top == 87381);
    int offset = 0;
    EXPECT_TRUE(scrollColumnOffset(scrollLineUp, 0, offset) && offset == 0);
    EXPECT_TRUE(scrollColumnOffset(scrollThumbTrack, 20, offset) && offset == 15);
    EXPECT_FALSE(scrollColumnOffset(3, 0, offset));
}
