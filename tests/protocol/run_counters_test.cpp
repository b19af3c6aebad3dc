#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "entry_bytes.h"
#include "protocol/run_counters.h"

namespace {

// The shown texts by field id; "?" is an unknown value.
template <int N, typename View>
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

template <int N, typename View>
bool allUnknown(const View& view)
{
    for (const auto& field : fieldsOf<N>(view))
        if (field.second != "?")
            return false;
    return true;
}

} // namespace

TEST(RunCounters, KSeriesValuesShowOnlyAfterACompleteReadAndHideAfterAFailure)
{
    RunCounterViewK view;
    resetRunCounterView(view);
    EXPECT_TRUE(allUnknown<counterFieldCountK>(view));

    std::vector<unsigned char> data(2 * 1024 * 1024, 0xEE);
    const std::uint32_t times[4] = {5400, 3599, 0xFFFFFFFF, 0xFFFFFFFE};
    const std::uint16_t errors[7] = {65535, 1, 2, 9, 10, 300, 11};
    for (int k = 0; k < 4; ++k)
        putLe(data, 4 * k, times[k], 4);
    for (int k = 0; k < 7; ++k)
        putLe(data, 16 + 2 * k, errors[k], 2);
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    EXPECT_EQ((fieldsOf<counterFieldCountK>(view)),
              (std::map<int, std::string>{{0, "1.5"}, {1, "0.9"}, {2, "1193046.4"}, {3, "-2"}, {5, "65535"}, {6, "1"},
                                          {7, "2"}, {8, "9"}, {9, "10"}, {10, "300"}, {11, "11"}}));
    EXPECT_FALSE(runCounterReadEnded(view, 5, data.data(), 57)) << "58 bytes are the record";

    for (int endCode : {0, 1, 2, 3, 4, 6}) {
        putLe(data, 0, 7200, 4);   // the engine may have written before failing
        EXPECT_FALSE(runCounterReadEnded(view, endCode, data.data(), data.size()));
        EXPECT_TRUE(allUnknown<counterFieldCountK>(view)) << endCode;
        EXPECT_EQ(view.record.onTime, 5400u) << "the last completed read is kept";
    }
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    EXPECT_EQ(fieldsOf<counterFieldCountK>(view)[0], "2.0");
}

TEST(RunCounters, MSeriesFieldsFollowTheRecordLayout)
{
    // Times, then per compressor its starts and run time, then 17 error counters.
    std::vector<unsigned char> data(134, 0x5A);
    for (int k = 0; k < 3; ++k)
        putLe(data, 4 * k, 3600 * (k + 1), 4);
    for (int c = 0; c < 6; ++c) {
        putLe(data, 12 + 4 * c, c == 5 ? 0x80000000u : 100 + c, 4);
        putLe(data, 36 + 4 * c, 3600 * (c + 1) + 360 * c, 4);
    }
    for (int k = 0; k < 17; ++k)
        putLe(data, 60 + 2 * k, k == 16 ? 0xFFFF : 1000 + k, 2);
    RunCounterViewM view;
    resetRunCounterView(view);
    EXPECT_TRUE(allUnknown<counterFieldCountM>(view));
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    auto fields = fieldsOf<counterFieldCountM>(view);
    const std::map<int, std::string> some = {{0, "1.0"}, {1, "2.0"}, {2, "3.0"}, {8, "100"}, {12, "104"},
                                             {13, "-2147483648"}, {14, "1.0"}, {16, "3.2"}, {19, "6.5"}, {32, "1000"},
                                             {47, "1015"}, {48, "65535"}};
    for (const auto& [id, text] : some)
        EXPECT_EQ(fields[id], text) << "field " << id;

    EXPECT_FALSE(runCounterReadEnded(view, 0, data.data(), data.size()));
    EXPECT_TRUE(allUnknown<counterFieldCountM>(view));
    EXPECT_FALSE(runCounterReadEnded(view, 5, data.data(), 133));
}
