#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/le_bytes.h"
#include "app/family.h"
#include "protocol/run_counters.h"

namespace {

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

} // namespace


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
