#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/texts.h"
#include "protocol/protocol_display.h"
#include "protocol_samples.h"

namespace {

// Main window cells 8 x 16, a 12-pixel text font 5 x 14, 800 x 600 client.
const DisplayMetrics metrics{800, 600, 8, 16, 5, 14};

// The texts of the line of entry index (drawn as row 4), in drawing order.
std::vector<std::string> lineTexts(Family family, const ProtocolData& protocol, std::int32_t index, int offset,
                                   DisplayText (&line)[1 + maxShownColumns])
{
    std::vector<std::string> texts;
    for (int k = 0, n = displayLineTexts(family, protocol, index, 4, offset, metrics, line); k < n; ++k)
        texts.emplace_back(line[k].text, static_cast<std::size_t>(line[k].length));
    return texts;
}

std::vector<int> place(BarPlace bar) { return {bar.x, bar.y, bar.width, bar.height}; }

} // namespace


// Where the unit has shrunk, the display's own caption takes a larger share
// of the main window: the bars and the lines stay above the bottom of the
// window that is shown, and where they already are nothing moves.
TEST(ProtocolDisplay, BarsAndLinesStayInsideTheShownWindow)
{
    // 913 pixels of client area, 879 of them shown below the caption.
    const DisplayMetrics shrunk = {1431, 913, 11, 18, 6, 15, 879};
    EXPECT_EQ(place(horizontalBar(shrunk)), (std::vector<int>{0, 879 - 22, 1398, 22}));
    EXPECT_EQ(place(verticalBar(Family::m, shrunk)), (std::vector<int>{1398, 54, 22, 857 - 54}));
    EXPECT_EQ(visibleLineCount(Family::m, shrunk), (857 - 54) / 15);
    EXPECT_EQ(place(verticalBar(Family::k, shrunk)), (std::vector<int>{1398, 54, 22, 913 - 90}));
    // The normal size at 96 dpi: the same as without the shown height.
    const DisplayMetrics normal = {1036, 804, 8, 16, 5, 15, 779};
    const DisplayMetrics unknown = {1036, 804, 8, 16, 5, 15};
    for (Family family : {Family::k, Family::m}) {
        EXPECT_EQ(place(verticalBar(family, normal)), place(verticalBar(family, unknown)));
        EXPECT_EQ(visibleLineCount(family, normal), visibleLineCount(family, unknown));
    }
    EXPECT_EQ(place(horizontalBar(normal)), place(horizontalBar(unknown)));
}

// The list's geometry follows the cells and the height; scrolling and the
// lines shown stay within the limits.
TEST(ProtocolDisplay, GeometryScrollingAndLinesStayWithinTheLimits)
{
    EXPECT_EQ(visibleLineCount(Family::k, metrics), (600 - 80) / 14);
    EXPECT_EQ(visibleLineCount(Family::m, metrics), (600 - 96) / 14);
    EXPECT_EQ(visibleLineCount(Family::k, {800, 10, 8, 16, 5, 14}), 0);
    EXPECT_EQ(place(verticalBar(Family::k, metrics)), (std::vector<int>{776, 48, 16, 600 - 80}));
    EXPECT_EQ(place(verticalBar(Family::m, metrics)), (std::vector<int>{776, 48, 16, 600 - 96}));
    EXPECT_EQ(place(horizontalBar(metrics)), (std::vector<int>{0, 600 - 48, 776, 16}));
    // Scrolling redraws from 6 cw, but never below the first line at 3 lh.
    EXPECT_TRUE(listArea(metrics).top == 48 && listArea({800, 600, 9, 15, 5, 14}).top == 45 &&
                listArea({800, 600, 6, 16, 5, 14}).top == 36);

    const struct { std::int32_t top, count, first, end; } visible[] = {
        {0, 0, 0, 0}, {0, 100, 0, 37}, {80, 100, 80, 100}, {150, 100, 100, 100},
        {0x7FFFFFF0, 0x7FFFFFFF, 0x7FFFFFF0, 0x7FFFFFFF}};
    for (const auto& c : visible) {
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

    // A line shows the entry's number and the shown columns: the K-Series all
    // seven, the M-Series the first three and the rest from the offset on; the
    // headers follow the same columns.
    const struct { Family family; int offset; std::vector<int> columns; int n, x; } cases[] = {
        {Family::k, 0, {0, 1, 2, 3, 4, 5, 6}, 1, 7 * 5}, {Family::k, 9, {0, 1, 2, 3, 4, 5, 6}, 7, 125 * 5},
        {Family::m, 7, {0, 1, 2, 10, 11, 12, 13, 14}, 8, 180 * 5},
        {Family::m, 10, {0, 1, 2, 13, 14, 15, 16, 17}, 4, 60 * 5},
        {Family::m, 11, {0, 1, 2, 14, 15, 16, 17}, 4, 60 * 5}, {Family::m, 15, {0, 1, 2}, 0, 5}};
    DisplayText line[1 + maxShownColumns];
    for (const auto& c : cases) {
        int columns[maxShownColumns];
        EXPECT_EQ(std::vector<int>(columns, columns + shownColumns(c.family, c.offset, columns)), c.columns);
        const auto bytes = sampleBytes(c.family);
        const auto count = static_cast<std::int32_t>(samples(c.family).size());
        for (std::int32_t i = 0; i < count; ++i) {
            std::vector<std::string> all, shown{std::to_string(i + 1)};
            std::istringstream in(samples(c.family)[i].columns);
            for (std::string text; std::getline(in, text, '\t');)
                all.push_back(text);
            for (int column : c.columns)
                shown.push_back(all.at(column));
            EXPECT_EQ(lineTexts(c.family, {bytes.data(), bytes.size(), count}, i, c.offset, line), shown) << c.offset;
            // Drawn as row 4: the number black, the columns navy and maroon in turn.
            for (std::size_t n = 0; n < shown.size(); ++n)
                EXPECT_TRUE(line[n].y == 3 * 16 + 4 * 14 &&
                            line[n].colour == (n == 0 ? colourBlack : n % 2 ? colourNavy : colourMaroon)) << n;
            EXPECT_EQ(line[c.n].x, c.x);
        }
        // Past the count, and past the buffer whatever the count claims.
        EXPECT_TRUE(lineTexts(c.family, {bytes.data(), bytes.size(), count}, count, c.offset, line).empty() &&
                    lineTexts(c.family, {bytes.data(), bytes.size(), 50}, count, c.offset, line).empty());
    }

    HeaderText header[1 + maxShownColumns];
    ASSERT_EQ(headerTexts(Family::m, 12, metrics, germanTexts, header), 1 + 3 + 3);
    EXPECT_TRUE(std::string(header[0].text) == "<Nr.>" && header[0].x == 5 && header[0].y == 14);
    EXPECT_TRUE(std::string(header[4].text) == "<Kompr.4 Laufzeit>" && header[4].x == 60 * 5);
}
