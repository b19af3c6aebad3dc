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

std::map<int, std::string> fieldsK(const RunCounterViewK& view)
{
    return fieldsOf<RunCounterViewK, counterFieldCountK>(view);
}

std::map<int, std::string> fieldsM(const RunCounterViewM& view)
{
    return fieldsOf<RunCounterViewM, counterFieldCountM>(view);
}

std::vector<unsigned char> countersK()
{
    std::vector<unsigned char> data(2 * 1024 * 1024, 0xEE);
    putLe32(data, 0, 5400);        // 1.5 h
    putLe32(data, 4, 3599);        // 0.9 h
    putLe32(data, 8, 35999);       // 9.9 h
    putLe32(data, 12, 0xFFFFFFFE); // start counter reads signed
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
    for (const auto& [id, text] : fieldsK(view))
        EXPECT_EQ(text, "?") << "field " << id;

    const auto data = countersK();
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    const std::map<int, std::string> expected = {
        {0, "1.5"},  {1, "0.9"}, {2, "9.9"},  {3, "-2"},  {5, "65535"}, {6, "1"},
        {7, "2"},    {8, "9"},   {9, "10"},   {10, "300"}, {11, "11"}};
    EXPECT_EQ(fieldsK(view), expected);
}

TEST(RunCounters, AFailureAfterAGoodReadHidesTheValuesUntilTheNextGoodRead)
{
    RunCounterViewK view;
    resetRunCounterView(view);
    auto data = countersK();
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));

    for (int endCode : {0, 1, 2, 3, 4, 6}) {
        // The engine may have overwritten the buffer before failing.
        putLe32(data, 0, 7200);
        EXPECT_FALSE(runCounterReadEnded(view, endCode, data.data(), data.size()));
        for (const auto& [id, text] : fieldsK(view))
            EXPECT_EQ(text, "?") << "end code " << endCode << " field " << id;
        EXPECT_EQ(view.record.onTime, 5400u) << "the last completed read is kept";
    }
    EXPECT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));
    EXPECT_EQ(fieldsK(view)[0], "2.0");
}

TEST(RunCounters, BytesNoFieldShowsDoNotMatterAndShortDataIsRefused)
{
    RunCounterViewK a, b;
    resetRunCounterView(a);
    resetRunCounterView(b);
    auto data = countersK();
    ASSERT_TRUE(runCounterReadEnded(a, 5, data.data(), data.size()));
    for (std::size_t i = 30; i < 58; ++i)
        data[i] = static_cast<unsigned char>(i);
    ASSERT_TRUE(runCounterReadEnded(b, 5, data.data(), data.size()));
    EXPECT_EQ(fieldsK(a), fieldsK(b));

    RunCounterViewK shortRead;
    resetRunCounterView(shortRead);
    EXPECT_FALSE(runCounterReadEnded(shortRead, 5, data.data(), 57));
    EXPECT_EQ(fieldsK(shortRead)[0], "?");
}

TEST(RunCounters, MSeriesFieldsFollowTheRecordLayout)
{
    std::vector<unsigned char> data(134, 0);
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
    for (std::size_t i = 94; i < 134; ++i)
        data[i] = 0x5A;

    RunCounterViewM view;
    resetRunCounterView(view);
    for (const auto& [id, text] : fieldsM(view))
        EXPECT_EQ(text, "?") << "field " << id;
    ASSERT_TRUE(runCounterReadEnded(view, 5, data.data(), data.size()));

    auto fields = fieldsM(view);
    EXPECT_EQ(fields[0], "1.0");
    EXPECT_EQ(fields[1], "2.0");
    EXPECT_EQ(fields[2], "3.0");
    EXPECT_EQ(fields[8], "100");
    EXPECT_EQ(fields[12], "104");
    EXPECT_EQ(fields[13], "-2147483648");
    EXPECT_EQ(fields[14], "1.0");
    EXPECT_EQ(fields[16], "3.2");
    EXPECT_EQ(fields[19], "6.5");
    EXPECT_EQ(fields[32], "1000");
    EXPECT_EQ(fields[47], "1015");
    EXPECT_EQ(fields[48], "65535");
    EXPECT_EQ(fields.count(20), 0u);
    EXPECT_EQ(fields.count(31), 0u);

    EXPECT_FALSE(runCounterReadEnded(view, 0, data.data(), data.size()));
    EXPECT_EQ(fieldsM(view)[48], "?");
}
