#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_options.h"

namespace {

bool parse(std::vector<const char*> args, SimCommandLine& out, std::string& error)
{
    args.insert(args.begin(), "kavix-unitsim");
    return parseSimCommandLine(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(SimOptions, FamilyDecidesTheDefaultsAndListensOnLoopback)
{
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(parse({"--family", "M"}, line, error)) << error;
    EXPECT_EQ(line.host, "127.0.0.1");
    EXPECT_EQ(line.port, defaultSimPort);
    EXPECT_EQ(line.unit.family, 'M');
    EXPECT_EQ(line.unit.kind, 2);
    EXPECT_EQ(line.unit.vendorId, 0xC251);
    EXPECT_EQ(line.unit.productId, 0x1C01);
}

TEST(SimOptions, EveryOptionAndFault)
{
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(parse({"--port", "0", "--kind", "6", "--firmware", "1.123", "--product", "Unit X",
                       "--vid", "0x1234", "--pid", "7169", "--switched-off", "--fahrenheit", "--errors",
                       "0x21", "--mode", "4", "--answer-f0", "--family", "K", "--drop-every", "3",
                       "--duplicate-every", "4", "--wrong-code-every", "5", "--mismatch-type",
                       "--delay-ms", "20", "--silent-after", "9", "--disconnect-after", "11"},
                      line, error))
        << error;
    const SimOptions& unit = line.unit;
    EXPECT_EQ(line.port, 0);
    EXPECT_EQ(unit.kind, 6);
    EXPECT_EQ(unit.firmwareMajor, 1);
    EXPECT_EQ(unit.firmwareMinor, 123);
    EXPECT_EQ(unit.product, "Unit X");
    EXPECT_EQ(unit.vendorId, 0x1234);
    EXPECT_EQ(unit.productId, 7169);
    EXPECT_FALSE(unit.switchedOn);
    EXPECT_TRUE(unit.fahrenheit);
    EXPECT_EQ(unit.errorBits, 0x21u);
    EXPECT_EQ(unit.functionMode, 4);
    EXPECT_EQ(unit.pollAnswerCode, 0xF0);
    EXPECT_EQ(unit.faults.dropEvery, 3u);
    EXPECT_EQ(unit.faults.duplicateEvery, 4u);
    EXPECT_EQ(unit.faults.wrongCodeEvery, 5u);
    EXPECT_TRUE(unit.faults.mismatchType);
    EXPECT_EQ(unit.faults.delayMs, 20u);
    EXPECT_TRUE(unit.faults.silent);
    EXPECT_EQ(unit.faults.silentAfter, 9u);
    EXPECT_EQ(unit.faults.disconnectAfter, 11u);
}

TEST(SimOptions, ProductTextFromAUtf8TerminalBecomesWindows1252)
{
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(parse({"--family", "K", "--product", "K\xC3\xA4lte \xE2\x82\xAC"}, line, error));
    EXPECT_EQ(line.unit.product, "K\xE4lte \x80");
    ASSERT_TRUE(parse({"--family", "K", "--product", "K\xE4lte"}, line, error));   // already 1252
    EXPECT_EQ(line.unit.product, "K\xE4lte");
}

TEST(SimOptions, RejectsWhatItCannotUse)
{
    SimCommandLine line;
    std::string error;
    EXPECT_FALSE(parse({}, line, error));
    EXPECT_FALSE(parse({"--family", "X"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--firmware", "1"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--firmware", "16.0"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--port", "70000"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--port"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--kind", "-1"}, line, error));
    EXPECT_FALSE(parse({"--family", "K", "--frobnicate"}, line, error));
    EXPECT_NE(error.find("--frobnicate"), std::string::npos);
}

} // namespace
