#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

#include "cli/monitor_chart.h"
#include "cli/monitor_log.h"
#include "temp_dir.h"

namespace {

// The line's values by the header's column names; the counts must agree.
std::map<std::string, std::string> csvRow(Family family, const MonitorSample& sample)
{
    auto split = [](const std::string& line) {
        std::vector<std::string> fields;
        std::istringstream in(line.substr(0, line.find('\n')));
        for (std::string field; std::getline(in, field, ',');)
            fields.push_back(field);
        return fields;
    };
    const auto names = split(monitorLogHeader(family));
    const auto values = split(monitorLogLine(family, "2024-05-01T10:00:00", sample));
    EXPECT_EQ(names.size(), values.size());
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < std::min(names.size(), values.size()); ++i)
        row[names[i]] = values[i];
    return row;
}

// Tags nest and close, inside a single svg root.
::testing::AssertionResult wellFormed(const std::string& svg)
{
    std::vector<std::string> open;
    int roots = 0;
    for (std::size_t at = svg.find('<'); at != std::string::npos; at = svg.find('<', at + 1)) {
        const std::size_t end = svg.find('>', at);
        const bool closing = svg[at + 1] == '/';
        const std::size_t nameAt = at + (closing ? 2 : 1);
        const std::string name = svg.substr(nameAt, svg.find_first_of(" />", nameAt) - nameAt);
        if (end == std::string::npos || name.empty())
            return ::testing::AssertionFailure() << "broken tag at " << at;
        if (closing) {
            if (open.empty() || open.back() != name)
                return ::testing::AssertionFailure() << "</" << name << "> at " << at << " closes nothing open";
            open.pop_back();
        } else if (svg[at + 1] != '?' && svg[end - 1] != '/') {
            roots += open.empty();
            open.push_back(name);
        }
    }
    if (roots != 1 || !open.empty() || svg.find("<svg") > svg.find("<", 2))
        return ::testing::AssertionFailure() << "not one closed svg root";
    return ::testing::AssertionSuccess();
}

// The numbers of an attribute value, from p up to its closing quote.
std::vector<double> numbersAt(const char* p)
{
    std::vector<double> numbers;
    for (char* next = nullptr; *p != '"'; p = next + (*next == ',' || *next == ' ')) {
        numbers.push_back(std::strtod(p, &next));
        if (next == p)
            return {-1};
    }
    return numbers;
}

// Every number in a geometry attribute lies on the 1000-wide document: a
// divide by zero or a lost clamp shows up as NaN or a value far outside.
void expectGeometryInside(const std::string& svg)
{
    for (const char* name : {" x=\"", " y=\"", " width=\"", " height=\"", " cx=\"", " cy=\"", " x1=\"", " y1=\"",
                             " x2=\"", " y2=\"", " points=\""}) {
        for (std::size_t at = svg.find(name); at != std::string::npos; at = svg.find(name, at + 1)) {
            for (double v : numbersAt(svg.c_str() + at + std::strlen(name)))
                EXPECT_TRUE(v >= 0 && v <= 1000) << name << v << " at " << at;
        }
    }
}

std::string bandGroup(const std::string& svg, const std::string& id)
{
    const std::size_t at = svg.find("id=\"band-" + id + "\"");
    return at == std::string::npos ? std::string() : svg.substr(at, svg.find("</g>", at) - at);
}

int countOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

double attribute(const std::string& text, std::size_t from, const char* name)
{
    return std::strtod(text.c_str() + text.find(name, from) + std::strlen(name), nullptr);
}

// The y coordinates of the document's nth polyline.
std::vector<double> polylineYs(const std::string& svg, int nth)
{
    std::size_t at = svg.find("<polyline");
    while (nth-- > 0)
        at = svg.find("<polyline", at + 1);
    const auto numbers = numbersAt(svg.c_str() + svg.find("points=\"", at) + 8);
    std::vector<double> ys;
    for (std::size_t i = 1; i < numbers.size(); i += 2)
        ys.push_back(numbers[i]);
    return ys;
}

// Hand-built answers behind one pad byte, so the record sits at an odd address.
std::vector<std::uint8_t> recordK(std::uint16_t flags)
{
    return {0xEE, 1, 1, 0x23, 0x01, 0x0A, 0x06, 55,  // firmware 1.23, outputs, inputs, blower 55 %
            0xFB, 0xFF, 0x37, 0x01,                   // evaporator -0.5 C, 31.1 F
            0xEB, 0x00, 0xE6, 0x02,                   // room 23.5 C, 74.2 F
            0xE6, 0x00, 0x21, 0x00,                   // 230 V, errors 0x0021
            static_cast<std::uint8_t>(flags), static_cast<std::uint8_t>(flags >> 8), 3, 0};
}

std::vector<std::uint8_t> recordM(std::uint16_t flags)
{
    return {0xEE, 1, 2, 0x07, 0x02,                   // firmware 2.07
            0x05, 0x21, 0x00, 0x00, 0x02, 0xF0, 0x03, 0x00, 30, 70,  // outputs, inputs, blowers
            0x85, 0xFF, 0x63, 0x00, 0xD2, 0x00, 0xBA, 0x02,  // water -12.3 C, 9.9 F; room 21.0 C, 69.8 F
            0, 0, 0, 0, 0x90, 0x01, 50,               // 400 V, 50 Hz
            0x01, 0x00, 0x01, 0x00,                   // errors 0x00010001
            static_cast<std::uint8_t>(flags), static_cast<std::uint8_t>(flags >> 8), 9, 0};
}

MonitorSample decoded(Family family, const std::vector<std::uint8_t>& record, double seconds = 0)
{
    MonitorSample sample;
    EXPECT_TRUE(decodeMonitorSample(family, record.data() + 1, record.size() - 1, seconds, sample));
    return sample;
}

} // namespace

// The other fields are checked through the log lines below.
TEST(MonitorSampleDecode, TakesTheCopiesOfTheUnitShownAndRefusesShortAnswers)
{
    struct Case {
        Family family;
        std::uint16_t flags;
        double first, second;
    };
    for (const Case& c : {Case{Family::k, 0x8000, -0.5, 23.5}, Case{Family::k, 0x0001, 31.1, 74.2},
                          Case{Family::m, 0x8000, -12.3, 21.0}, Case{Family::m, 0x8001, 9.9, 69.8}}) {
        const auto record = c.family == Family::m ? recordM(c.flags) : recordK(c.flags);
        const MonitorSample sample = decoded(c.family, record);
        EXPECT_EQ(sample.switchedOn, (c.flags & 0x8000) != 0) << c.flags;
        EXPECT_EQ(sample.fahrenheit, (c.flags & 1) != 0) << c.flags;
        EXPECT_DOUBLE_EQ(sample.temperature[0], c.first);
        EXPECT_DOUBLE_EQ(sample.temperature[1], c.second);
        MonitorSample unused;
        EXPECT_FALSE(decodeMonitorSample(c.family, record.data() + 1, record.size() - 2, 0, unused));
    }
    MonitorSample unused;
    const auto k = recordK(0);
    EXPECT_FALSE(decodeMonitorSample(Family::m, k.data() + 1, k.size() - 1, 0, unused));
}

TEST(MonitorLog, EveryColumnHoldsItsValue)
{
    auto expectRow = [](Family family, const MonitorSample& sample, std::size_t columns,
                        const std::map<std::string, std::string>& expected) {
        auto row = csvRow(family, sample);
        EXPECT_EQ(row.size(), columns);
        for (const auto& [column, value] : expected)
            EXPECT_EQ(row[column], value) << column;
    };
    expectRow(Family::k, decoded(Family::k, recordK(0x8000), 1.25), 23,
              {{"seconds", "1.250"}, {"on", "1"}, {"unit", "C"}, {"evaporator", "-0.5"}, {"room", "23.5"},
               {"mains_voltage", "230"}, {"blower_power", "55"}, {"function_mode", "F7"}, {"firmware", "1.23"},
               {"outputs", "0x000A"}, {"blower", "0"}, {"compressor", "1"}, {"sea_water_pump", "0"},
               {"reversing_valve", "1"}, {"errors", "0x0021"}, {"err_aaa_low_voltage", "1"},
               {"err_a01_low_pressure", "0"}, {"err_init", "1"}, {"inputs", "0x0006"}});
    expectRow(Family::m, decoded(Family::m, recordM(0x0001), 3600), 46,
              {{"seconds", "3600.000"}, {"on", "0"}, {"unit", "F"}, {"water", "9.9"}, {"room", "69.8"},
               {"mains_voltage", "400"}, {"mains_frequency", "50"}, {"blower1_power", "30"},
               {"blower2_power", "70"}, {"function_mode", "F?"}, {"firmware", "2.07"}, {"outputs", "0x00002105"},
               {"blower1", "1"}, {"blower2", "0"}, {"sea_water_pump", "1"}, {"compressor1", "1"},
               {"compressor5", "0"}, {"compressor6", "1"}, {"errors", "0x00010001"}, {"err_aaa_low_voltage", "1"},
               {"err_a15_water_flow", "0"}, {"err_init", "1"}, {"inputs", "0x0003F002"}});

    // A comma in the time stamp must not shift the columns.
    EXPECT_EQ(monitorLogLine(Family::k, "10:00:00,5", MonitorSample{}).rfind("\"10:00:00,5\",0.000,0,C,", 0), 0u);
}

TEST(MonitorChart, EdgeCasesGiveWellFormedCharts)
{
    const std::string empty = monitorChartSvg(Family::k, {});
    EXPECT_TRUE(wellFormed(empty));
    EXPECT_NE(empty.find("No data"), std::string::npos);

    const std::vector<MonitorSample> one = {decoded(Family::k, recordK(0x8001))};
    const std::string single = monitorChartSvg(Family::k, one);
    EXPECT_TRUE(wellFormed(single));
    expectGeometryInside(single);
    EXPECT_NE(single.find("&#176;F"), std::string::npos);

    // Constant values, half of them shown in degrees F: still one level.
    std::vector<MonitorSample> flat(50, decoded(Family::m, recordM(0x8000)));
    for (std::size_t i = 0; i < flat.size(); ++i) {
        flat[i].seconds = static_cast<double>(i);
        flat[i].fahrenheit = i % 2 == 1;
        for (double& t : flat[i].temperature)
            t = i % 2 == 1 ? t * 9 / 5 + 32 : t;
    }
    const std::string constant = monitorChartSvg(Family::m, flat);
    EXPECT_TRUE(wellFormed(constant));
    expectGeometryInside(constant);
    EXPECT_EQ(countOf(constant, "<polyline"), 3);
    for (int series = 0; series < 3; ++series) {
        const auto ys = polylineYs(constant, series);
        EXPECT_EQ(std::count(ys.begin(), ys.end(), ys.front()), static_cast<std::ptrdiff_t>(ys.size())) << series;
    }
}

TEST(MonitorChart, BandsShowEachSetIntervalOnce)
{
    std::vector<MonitorSample> samples(40);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i].seconds = 0.5 * static_cast<double>(i);
        samples[i].outputs = (i / 4) % 2 == 1 ? 0x2 : 0;   // on for 4 answers, off for 4, five times
        samples[i].errorBits = i == 10 ? 0x1 : 0;
        samples[i].switchedOn = true;
    }
    const std::string svg = monitorChartSvg(Family::k, samples);
    EXPECT_TRUE(wellFormed(svg));

    const std::string compressor = bandGroup(svg, "compressor");
    EXPECT_EQ(countOf(compressor, "<rect"), 5);
    // An interval lasts until the next answer: 4 of the 8 answers per period.
    const std::size_t first = compressor.find("<rect");
    const std::size_t second = compressor.find("<rect", first + 1);
    EXPECT_NEAR(attribute(compressor, first, "width=\""),
                (attribute(compressor, second, "x=\"") - attribute(compressor, first, "x=\"")) / 2, 0.2);

    EXPECT_EQ(countOf(bandGroup(svg, "err_aaa_low_voltage"), "<rect"), 1);
    EXPECT_EQ(countOf(bandGroup(svg, "on"), "<rect"), 1);
    EXPECT_EQ(countOf(bandGroup(svg, "blower"), "<rect"), 0);
}

TEST(MonitorChart, LongSessionStaysSmallAndKeepsSpikes)
{
    std::vector<MonitorSample> samples(100000);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        MonitorSample& s = samples[i];
        s.seconds = 0.1 * static_cast<double>(i);
        s.temperature[0] = i == 54321 ? 99.9 : 20 + static_cast<double>(i % 7) / 10;
        s.temperature[1] = 22 - static_cast<double>(i % 5) / 10;
        s.mainsVoltage = 225 + static_cast<int>(i % 11);
        // An interval every 30 s, a little over two pixel columns: about
        // the most rectangles a band can have once near ones are merged.
        s.outputs = s.errorBits = (i / 150) % 2 == 1 ? 0xFFFFFFFFu : 0;
    }
    const std::string svg = monitorChartSvg(Family::m, samples);
    EXPECT_LT(svg.size(), 1000000u);
    EXPECT_GT(countOf(bandGroup(svg, "err_init"), "<rect"), 200);
    EXPECT_TRUE(wellFormed(svg));
    expectGeometryInside(svg);

    const auto ys = polylineYs(svg, 0);
    EXPECT_LE(ys.size(), 2000u);
    const auto [low, high] = std::minmax_element(ys.begin(), ys.end());
    EXPECT_GT(*high - *low, 150) << "the spike to 99.9 was thinned away";
}

TEST(MonitorChart, FailedWriteLeavesNoFile)
{
    TempDir dir;
    const std::vector<MonitorSample> samples(3);
    EXPECT_FALSE(writeMonitorChart(dir / "missing" / "chart.svg", Family::k, samples));
    std::filesystem::create_directories(dir / "taken" / "inside");
    EXPECT_FALSE(writeMonitorChart(dir / "taken", Family::k, samples));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"taken"});

    ASSERT_TRUE(writeMonitorChart(dir / "chart.svg", Family::k, samples));
    const auto bytes = readBytes(dir / "chart.svg");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), monitorChartSvg(Family::k, samples));
}
