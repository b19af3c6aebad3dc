#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/le_bytes.h"
#include "app/texts.h"
#include "protocol/field_format.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_display.h"
#include "protocol/protocol_readout.h"
#include "protocol/run_counters.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <cstdio>
#include <share.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Entries as the unit sends them (error code, error counter, then the
// four-byte fields) and their column texts, tab-separated, as both the
// display and the protocol files show them.
struct Sample {
    std::vector<std::uint32_t> fields;
    std::string columns;
};
const std::vector<Sample> samplesK = {
    {{0x0001, 3, 5400, 3599, 0, 42, 1}, "1\t_AAA\t3\t1,5 h\t0,9 h\t0,0 h\t42"},
    {{0x0003, 65535, 0xFFFFFFFF, 36000, 35999, 0xFFFFFFFF, 2}, "2\t0003\t65535\t1193046,4 h\t10,0 h\t9,9 h\t-1"},
    {{0x0020, 9, 5400, 3600, 0, 77, 123}, "123\t_Init\t9\t1,5 h\t1,0 h\t0,0 h\t77"}};
const std::vector<Sample> samplesM = {
    {{16, 7, 3600, 0, 360, 1, 2, 3, 4, 5, 6, 0, 359, 360, 3600, 5400, 0xFFFFFFFF, 100},
     "100\t_Init\t7\t1,0 h\t0,0 h\t0,1 h\t1\t2\t3\t4\t5\t6\t0,0 h\t0,0 h\t0,1 h\t1,0 h\t1,5 h\t1193046,4 h"},
    {{3, 1, 0, 0, 0, 10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 3600, 7200, 5},
     "5\t_A03\t1\t0,0 h\t0,0 h\t0,0 h\t10\t20\t30\t40\t50\t60\t0,0 h\t0,0 h\t0,0 h\t0,0 h\t1,0 h\t2,0 h"}};

const std::vector<Sample>& samples(Family family) { return family == Family::k ? samplesK : samplesM; }

// The samples as the unit sends them: two-byte error code and counter, then
// four-byte fields, little-endian.
std::vector<unsigned char> sampleBytes(Family family)
{
    std::vector<unsigned char> bytes;
    for (const Sample& sample : samples(family))
        for (std::size_t k = 0; k < sample.fields.size(); ++k)
            for (int b = 0; b < (k < 2 ? 2 : 4); ++b)
                bytes.push_back(static_cast<unsigned char>(sample.fields[k] >> (8 * b)));
    return bytes;
}

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

// The shown texts of a counters window by field id; "?" is an unknown value.
template <int N, typename View> std::map<int, std::string> fieldsOf(const View& view)
{
    CounterField fields[N];
    runCounterFields(view, fields);
    std::map<int, std::string> byId;
    for (const CounterField& f : fields)
        byId[f.id] = f.text;
    EXPECT_EQ(byId.size(), static_cast<std::size_t>(N)) << "field ids must be distinct";
    return byId;
}

// A new window shows "?" everywhere and a complete read the record; a read
// of too few bytes or with any other end code shows "?" again and keeps the
// record of the last completed read, which the next complete read replaces.
template <int N, typename View>
void readsEnd(std::vector<unsigned char> data, std::size_t recordSize, const std::map<int, std::string>& shown)
{
    View view;
    resetRunCounterView(view);
    const auto unknown = fieldsOf<N>(view);
    for (const auto& field : unknown)
        EXPECT_EQ(field.second, "?") << field.first;
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    for (const auto& [id, text] : shown)
        EXPECT_EQ(fieldsOf<N>(view).at(id), text) << "field " << id;
    const std::uint32_t onTime = view.record.onTime;
    writeLe32(data.data(), 7200);  // the engine may have written before failing
    for (int endCode : {5, 0, 1, 2, 3, 4, 6}) {  // 5 here with one byte too few
        EXPECT_FALSE(runCounterReadEnded(view, endCode, data.data(), endCode == 5 ? recordSize - 1 : data.size()));
        EXPECT_TRUE(fieldsOf<N>(view) == unknown && view.record.onTime == onTime) << endCode;
    }
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    EXPECT_EQ(fieldsOf<N>(view)[0], "2.0");
}

const std::vector<unsigned char> previous = {'o', 'l', 'd', '\r', '\n'};
const std::vector<unsigned char> zeros(2 * 24, 0);

struct ProtocolCsv : ::testing::Test {
    TempDir dir;
    long filesInDir() const { return long(std::distance(std::filesystem::directory_iterator(dir.path()), {})); }
};

} // namespace

// K-Series codes name single known bits only; M-Series codes are numbers.
TEST(ProtocolFormat, ErrorCodeNamesOfBothFamilies)
{
    const struct { std::uint16_t code; const char* k; const char* m; } cases[] = {
        {0, "0000", "_AAA"}, {1, "_AAA", "_A01"}, {3, "0003", "_A03"}, {8, "_A09", "_A08"}, {15, "000F", "_A15"},
        {16, "_A10", "_Init"}, {17, "0011", "???"}, {64, "_TA11", "???"}, {0x80, "0080", "???"},
        {0xABCD, "ABCD", "???"}};
    char k[fieldTextMax], m[fieldTextMax];
    for (const auto& c : cases)
        EXPECT_EQ(std::string(k, appendErrorNameK(k, c.code)) + " " + std::string(m, appendErrorNameM(m, c.code)),
                  std::string(c.k) + " " + c.m);
}

// The count is the announced one, clamped to the buffer's capacity and to the
// delivered data. A read takes the announcement from its first block only;
// only a complete read (end code 5) with entries makes the protocol available,
// and the other end codes say why not. Whatever the count or the index, no
// entry is read outside the buffer.
TEST(ProtocolReadout, CountIsClampedToCapacityAndDeliveredDataAndTheEndCodeDecides)
{
    const std::size_t full = protocolBufferSize;
    const struct { long long announced; Family family; std::size_t capacity, delivered; std::int32_t count; } cases[] =
        {{90000, Family::k, full, full, 87381}, {87381, Family::k, full, full, 87381}, {-1, Family::k, full, full, 0},
         {65535, Family::m, full, full, 30840}, {30840, Family::m, full, full, 30840}, {100, Family::k, 48, 4800, 2},
         // Three delivered blocks hold six K entries, two M entries; one block no M entry.
         {100, Family::k, full, 3 * 48, 6}, {100, Family::m, full, 3 * 48, 2}, {3, Family::m, full, 48, 0},
         {3, Family::m, full, 5 * 48, 3}, {0, Family::k, full, 48, 0}};
    using RM = ReadoutMessage;
    const RM byEndCode[7] = {RM::communicationLost, RM::wrongUnit, RM::none,    RM::none,
                             RM::usbError,          RM::entriesRead, RM::none};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.announced << ", " << c.delivered << " of " << c.capacity);
        EXPECT_EQ(clampProtocolCount(c.announced, c.family, c.capacity, c.delivered), c.count);
        if (c.announced < 0 || c.announced > 0xFFFF)
            continue;  // beyond what a block header holds
        ProtocolReadout readout;
        startProtocolReadout(readout, c.family, c.capacity);
        const std::uint32_t blocks = static_cast<std::uint32_t>(c.delivered / 48);
        unsigned char first[8] = {}, later[8] = {1, 2, 3, 4, 5, 6, 7, 8};  // later headers do not count
        writeLe16(first + 2, static_cast<std::uint16_t>(blocks));
        writeLe16(first + 6, static_cast<std::uint16_t>(c.announced));
        EXPECT_TRUE(protocolBlockAccepted(readout, first, 0));
        EXPECT_FALSE(blocks > 1 && protocolBlockAccepted(readout, later, blocks - 1));
        EXPECT_EQ(readout.totalBlocks, static_cast<std::int32_t>(blocks));
        for (int code = 0; code < 7; ++code) {
            const ReadoutEnd end = protocolReadoutEnded(readout, code);
            const bool available = code == 5 && c.count > 0;
            EXPECT_EQ(end.message, code == 5 && !available ? RM::noEntries : byEndCode[code]) << "end code " << code;
            EXPECT_TRUE(end.count == c.count && end.protocolAvailable == available && end.autoDisplay == available);
        }
    }
    const auto k = sampleBytes(Family::k), m = sampleBytes(Family::m);
    ProtocolEntryK entryK;
    ProtocolEntryM entryM;
    EXPECT_FALSE(readProtocolEntryM(m.data(), 135, 1, entryM) || readProtocolEntryK(k.data(), 47, 1, entryK) ||
                 readProtocolEntryK(k.data(), k.size(), -1, entryK));
    EXPECT_EQ(readableEntries({k.data(), 47, 1000}, Family::k), 1);
    EXPECT_EQ(readableEntries({k.data(), 48, -5}, Family::k), 0);
    EXPECT_EQ(readableEntries({nullptr, 0, 3}, Family::k), 0);
    char text[64];
    formatEntriesRead(12, " protocol-items read !", text, sizeof text);
    EXPECT_STREQ(text, "12 protocol-items read !");
    formatEntriesRead(30840, " Protokolleintr\xE4ge gelesen !", text, 10);  // cut to the capacity
    EXPECT_STREQ(text, "30840 Pro");
}

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

// Record fields by byte offset and the text each shows: times in tenths of
// hours, start counters signed, error counters unsigned 16-bit. The K record
// lies at the start of the whole data buffer, the M record fills its data.
TEST(RunCounters, RecordsShowOnlyAfterACompleteRead)
{
    constexpr Family K = Family::k, M = Family::m;
    const struct { Family family; int at, size; std::uint32_t value; int id; const char* text; } fields[] = {
        {K, 0, 4, 5400, 0, "1.5"}, {K, 4, 4, 3599, 1, "0.9"}, {K, 8, 4, 0xFFFFFFFF, 2, "1193046.4"},
        {K, 12, 4, 0xFFFFFFFE, 3, "-2"}, {K, 16, 2, 65535, 5, "65535"}, {K, 18, 2, 1, 6, "1"}, {K, 20, 2, 2, 7, "2"},
        {K, 22, 2, 9, 8, "9"}, {K, 24, 2, 10, 9, "10"}, {K, 26, 2, 300, 10, "300"}, {K, 28, 2, 11, 11, "11"},
        // Times, then per compressor its starts and run time, then 17 error counters.
        {M, 0, 4, 3600, 0, "1.0"}, {M, 4, 4, 7200, 1, "2.0"}, {M, 8, 4, 10800, 2, "3.0"}, {M, 12, 4, 100, 8, "100"},
        {M, 28, 4, 104, 12, "104"}, {M, 32, 4, 0x80000000u, 13, "-2147483648"}, {M, 36, 4, 3600, 14, "1.0"},
        {M, 44, 4, 3 * 3600 + 720, 16, "3.2"}, {M, 56, 4, 6 * 3600 + 1800, 19, "6.5"}, {M, 60, 2, 1000, 32, "1000"},
        {M, 90, 2, 1015, 47, "1015"}, {M, 92, 2, 0xFFFF, 48, "65535"}};
    std::vector<unsigned char> dataK(2 * 1024 * 1024, 0xEE), dataM(134, 0x5A);
    std::map<int, std::string> shownK, shownM;
    for (const auto& f : fields) {
        unsigned char* at = (f.family == K ? dataK : dataM).data() + f.at;
        f.size == 4 ? writeLe32(at, f.value) : writeLe16(at, static_cast<std::uint16_t>(f.value));
        (f.family == K ? shownK : shownM)[f.id] = f.text;
    }
    readsEnd<counterFieldCountK, RunCounterViewK>(dataK, 58, shownK);
    readsEnd<counterFieldCountM, RunCounterViewM>(dataM, 134, shownM);
}

// A file is the family's title line, the column line of the language, then a
// line per counted entry wholly inside the buffer: K-Series fields separated
// by tabs, M-Series fields each followed by one. It replaces the previous
// file whole and leaves no temporary file. The German M-Series column line is
// the longest line of any file.
TEST_F(ProtocolCsv, FilesAreByteExactInEitherLanguage)
{
    const struct { Family family; const char* const* texts; std::int32_t count; std::size_t size, lines, columnLine;
                   const char *first, *last; } cases[] = {
        {Family::k, germanTexts, 3, 72, 3, 138, "<Ereignis-Z\xE4hler>\t<F", "\t<Kompr.-Startz\xE4hler>\r\n"},
        {Family::k, englishTexts, 0, 72, 0, 123, "<Event-Counter>\t<Error-Code>\t", "\t<Comp. Start-Counter>\r\n"},
        {Family::k, englishTexts, -3, 72, 0, 123, "<Event-Counter>\t<Error-Code>\t", "\t<Comp. Start-Counter>\r\n"},
        {Family::m, englishTexts, 2, 136, 2, 342, "<Event-Counter>\t<Error-Code>\t", "\t<Comp.6 Runtime>\t\r\n"},
        {Family::m, englishTexts, 30840, 68 + 67, 1, 342, "<Event-Counter>\t", "\t<Comp.6 Runtime>\t\r\n"},
        {Family::m, germanTexts, 0, 136, 0, 364, "<Ereignis Z\xE4hler>\t<F", "\t<Kompr.6 Laufzeit>\t\r\n"}};
    for (const auto& c : cases) {
        const auto bytes = sampleBytes(c.family);
        writeBytes(dir / "p.csv", previous);
        ASSERT_TRUE(writeProtocolCsv(c.family, dir / "p.csv", {bytes.data(), c.size, c.count}, c.texts));
        const auto written = readBytes(dir / "p.csv");
        const std::string file(written.begin(), written.end());
        std::string expected = c.family == Family::k ? "CUK1 Failure-Protocol V1.0\r\n"
                                                     : "CUM1 'Chiller' Failure-Protocol V1.0\r\n";
        const std::string columns = file.substr(expected.size(), c.columnLine);
        expected += columns;
        for (std::size_t e = 0; e < c.lines; ++e)
            expected += samples(c.family)[e].columns + (c.family == Family::m ? "\t\r\n" : "\r\n");
        EXPECT_EQ(file, expected);
        EXPECT_TRUE(columns.starts_with(c.first) && columns.ends_with(c.last)) << columns;
        EXPECT_EQ(filesInDir(), 1) << c.count;
    }
}

TEST_F(ProtocolCsv, UnwritableTargetsFailAndKeepWhatWasThere)
{
    const ProtocolData protocol{zeros.data(), zeros.size(), 2};
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(writeProtocolCsvK(dir / "missing" / "p.csv", protocol, germanTexts) ||
                 std::filesystem::exists(dir / "missing"));
    // A target that is a folder cannot be replaced.
    std::filesystem::create_directory(dir / "p.csv");
    writeBytes(dir / "p.csv" / "inside", previous);
    EXPECT_FALSE(writeProtocolCsvK(dir / "p.csv", protocol, germanTexts));
    EXPECT_EQ(readBytes(dir / "p.csv" / "inside"), previous);
    EXPECT_EQ(filesInDir(), 1) << "the temporary file is removed";
}

#ifdef _WIN32
TEST_F(ProtocolCsv, ALockedTargetFailsAndKeepsThePreviousFile)
{
    writeBytes(dir / "p.csv", previous);
    std::FILE* lock = _wfsopen((dir / "p.csv").c_str(), L"rb", _SH_DENYRW);
    ASSERT_NE(lock, nullptr);
    const bool written = writeProtocolCsvK(dir / "p.csv", {zeros.data(), zeros.size(), 2}, germanTexts);
    std::fclose(lock);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(dir / "p.csv"), previous);
    EXPECT_EQ(filesInDir(), 1);
}
#else
// The disk refuses bytes beyond 16 KiB while it lives; the process's own
// limit and signal handling come back whatever the test does.
struct FileSizeLimit {
    rlimit saved{};
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    FileSizeLimit() { getrlimit(RLIMIT_FSIZE, &saved); }
    bool apply() const
    {
        rlimit small = saved;
        small.rlim_cur = 16 * 1024;
        return setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    void lift() const { setrlimit(RLIMIT_FSIZE, &saved); }
    ~FileSizeLimit() { lift(); std::signal(SIGXFSZ, oldHandler); }
};

TEST_F(ProtocolCsv, AWriteFailingPartWayKeepsThePreviousFile)
{
    writeBytes(dir / "p.csv", previous);
    const std::vector<unsigned char> buffer(5000 * 24, 0);
    // For 600 entries (30 bytes a line, under 4 KiB over the limit) the disk
    // refuses only when the file is completed, for 5,000 while its lines are
    // written.
    for (std::int32_t count : {600, 5000}) {
        FileSizeLimit limit;
        ASSERT_TRUE(limit.apply());
        const bool written = writeProtocolCsvK(dir / "p.csv", {buffer.data(), buffer.size(), count}, germanTexts);
        limit.lift();
        EXPECT_FALSE(written) << count;
        EXPECT_EQ(readBytes(dir / "p.csv"), previous) << count;
        EXPECT_EQ(filesInDir(), 1) << count;
    }
}
#endif
