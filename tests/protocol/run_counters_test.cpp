#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "entry_bytes.h"
#include "protocol/run_counters.h"

namespace {

template <typename View, int N>
std::map<int, std::string> fieldsOf(const View& view)
{
    CounterField fields[N];
    runCounterFields(view, fields);
    std::map<int, std::string> byId;
    for (const CounterField& f : fields)
        byId[f.id] = f.text;
    EXPECT_EQ(byId.size(), static_cast<std::size_t>(N)) << "field ids must be distinct";
    return byId;
}

auto fieldsK = fieldsOf<RunCounterViewK, counterFieldCountK>;
auto fieldsM = fieldsOf<RunCounterViewM, counterFieldCountM>;

template <typename View, int N>
bool allUnknown(const View& view)
{
    for (const auto& field : fieldsOf<View, N>(view))
        if (field.second != "?")
            return false;
    return true;
}

std::vector<unsigned char> countersK()
{
    std::vector<unsigned char> data(2 * 1024 * 1024, 0xEE);
    putLe32(data, 0, 5400);
    putLe32(data, 4, 3599);
    putLe32(data, 8, 35999);
    putLe32(data, 12, 0xFFFFFFFE);
    const std::uint16_t errors[7] = {65535, 1, 2, 9, 10, 300, 11};
    for (int k = 0; k < 7; ++k)
        putLe16(data, 16 + 2 * k, errors[k]);
    return data;
}

} // namespace

TEST(RunCounters, KSeriesShowsQuestionMarksUntilAReadCompletes)
{
    RunCounterViewK view;
    resetRunCounterView(view);
    EXPECT_TRUE((allUnknown<RunCounterViewK, counterFieldCountK>(view)));

    const auto data = countersK();
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    const std::map<int, std::string> expected = {
        {0, "1.5"}, {1, "0.9"}, {2, "9.9"}, {3, "-2"},   {5, "65535"}, {6, "1"},
        {7, "2"},   {8, "9"},   {9, "10"},  {10, "300"}, {11, "11"}};
    EXPECT_EQ(fieldsK(view), expected);

    // Bytes 30 to 57 show nothing; fewer than 58 bytes are no record.
    auto other = data;
    for (std::size_t i = 30; i < 58; ++i)
        other[i] = static_cast<unsigned char>(i);
    ASSERT_TRUE(runCounterReadEnded(view, 5, other.data(), other.size()));
    EXPECT_EQ(fieldsK(view), expected);
    EXPECT_FALSE(runCounterReadEnded(view, 5, data.data(), 57));
}

TEST(RunCounters, AFailureAfterAGoodReadHidesTheValuesUntilTheNextGoodRead)
{
    RunCounterViewK view;
    resetRunCounterView(view);
    auto data = countersK();
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));

    for (int endCode : {0, 1, 2, 3, 4, 6}) {
        putLe32(data, 0, 7200);   // the engine may have written before failing
        EXPECT_FALSE(runCounterReadEnded(view, endCode, data.data(), data.size()));
        EXPECT_TRUE((allUnknown<RunCounterViewK, counterFieldCountK>(view))) << endCode;
        EXPECT_EQ(view.record.onTime, 5400u) << "the last completed read is kept";
    }
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    EXPECT_EQ(fieldsK(view)[0], "2.0");
}

TEST(RunCounters, MSeriesFieldsFollowTheRecordLayout)
{
    std::vector<unsigned char> data(134, 0x5A);
    putLe32(data, 0, 3600);
    putLe32(data, 4, 7200);
    putLe32(data, 8, 10800);
    for (int c = 0; c < 6; ++c) {
        putLe32(data, 12 + 4 * c, static_cast<std::uint32_t>(100 + c));
        putLe32(data, 36 + 4 * c, static_cast<std::uint32_t>(3600 * (c + 1) + 360 * c));
    }
    for (int k = 0; k < 17; ++k)
        putLe16(data, 60 + 2 * k, static_cast<std::uint16_t>(1000 + k));
    putLe32(data, 12 + 4 * 5, 0x80000000u);
    putLe16(data, 60 + 2 * 16, 0xFFFF);

    RunCounterViewM view;
    resetRunCounterView(view);
    EXPECT_TRUE((allUnknown<RunCounterViewM, counterFieldCountM>(view)));
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    auto fields = fieldsM(view);
    const std::map<int, std::string> some = {
        {0, "1.0"},   {1, "2.0"},   {2, "3.0"},   {8, "100"},     {12, "104"},
        {13, "-2147483648"}, {14, "1.0"}, {16, "3.2"}, {19, "6.5"}, {32, "1000"},
        {47, "1015"}, {48, "65535"}};
    for (const auto& [id, text] : some)
        EXPECT_EQ(fields[id], text) << "field " << id;

    EXPECT_FALSE(runCounterReadEnded(view, 0, data.data(), data.size()));
    EXPECT_TRUE((allUnknown<RunCounterViewM, counterFieldCountM>(view)));
}
