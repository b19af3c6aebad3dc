#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "protocol/protocol_entries.h"
#include "protocol/run_counters.h"
#include "sim_data_sets.h"
#include "sim_options.h"
#include "temp_dir.h"

// What a simulated unit starts from: its command line, its data sets and
// its EEPROM file.
namespace {

bool parse(std::vector<const char*> args, SimCommandLine& out, std::string& error)
{
    args.insert(args.begin(), "kavix-unitsim");
    return parseSimCommandLine(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(SimCommandLine, AProductTextBecomesWindows1252)
{
    SimCommandLine line;
    std::string error;
    // A product typed in a UTF-8 terminal becomes Windows-1252; one that is
    // not UTF-8 is taken as it is.
    ASSERT_TRUE(parse({"--family", "K", "--product", "K\xC3\xA4lte \xE2\x82\xAC"}, line, error));
    EXPECT_EQ(line.unit.product, "K\xE4lte \x80");
    ASSERT_TRUE(parse({"--family", "K", "--product", "K\xE4lte"}, line, error));
    EXPECT_EQ(line.unit.product, "K\xE4lte");
}

TEST(SimCommandLine, OptionsReachTheirFieldsTheFamilyGivesTheRestAndItListensOnLoopback)
{
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(parse({"--firmware", "1.123", "--vid", "0x1234", "--errors", "0x21", "--family", "M", "--eeprom",
                       "m.bin", "--protocol-entries", "30840", "--repeat-block", "0", "--bad-crc-block", "2",
                       "--resend-from", "1", "--out-of-order-block", "3", "--announce-answer", "0x53", "--busy",
                       "0xF0", "--silent-after", "9"},
                      line, error))
        << error;
    const SimOptions& unit = line.unit;
    EXPECT_EQ(line.host, "127.0.0.1");
    EXPECT_EQ(line.port, defaultSimPort);
    EXPECT_EQ(unit.kind, 2);
    EXPECT_EQ(unit.productId, 0x1C01);
    EXPECT_EQ(line.eepromFile, "m.bin");
    EXPECT_EQ(line.protocolEntries, 30840u);
    EXPECT_EQ(unit.firmwareMajor, 1);
    EXPECT_EQ(unit.firmwareMinor, 123);
    EXPECT_EQ(unit.vendorId, 0x1234);
    EXPECT_EQ(unit.errorBits, 0x21u);
    EXPECT_EQ(unit.faults.repeatBlock, 0u);
    EXPECT_EQ(unit.faults.badCrcBlock, 2u);
    EXPECT_EQ(unit.faults.resendFrom, 1u);
    EXPECT_EQ(unit.faults.outOfOrderBlock, 3u);
    EXPECT_EQ(unit.faults.announceAnswer, 0x53);
    EXPECT_EQ(unit.faults.busyCode, 0xF0);
    EXPECT_TRUE(unit.faults.silent);
    EXPECT_EQ(unit.faults.silentAfter, 9u);
}

TEST(SimCommandLine, RejectsWhatItCannotUse)
{
    const std::vector<std::vector<const char*>> bad = {
        {},
        {"--family", "X"},
        {"--family", "K", "--firmware", "1"},
        {"--family", "K", "--firmware", "16.0"},
        {"--family", "K", "--port", "70000"},
        {"--family", "K", "--port"},
        {"--family", "K", "--kind", "-1"},
        {"--family", "M", "--protocol-entries", "50000"},   // beyond 16-bit block numbers
        {"--family", "K", "--busy", "0x62"},                // a code the engines do not wait on
        {"--family", "K", "--frobnicate"},
    };
    SimCommandLine line;
    std::string error;
    for (const auto& args : bad)
        EXPECT_FALSE(parse(args, line, error)) << (args.empty() ? "(none)" : args.back());
    EXPECT_NE(error.find("--frobnicate"), std::string::npos);
}

TEST(SimDataSets, RecordsFitTheirLayoutsAndTheProtocolCanOverfillTheProgramsBuffer)
{
    // (The counters and protocol windows' tests show what the unit sends.)
    const std::vector<std::uint8_t> k = factoryConfiguration('K');
    ASSERT_EQ(k.size(), kParameterBlockSize);
    EXPECT_EQ(0, std::memcmp(k.data(), &kDefaultParameters, k.size()));
    EXPECT_EQ(runningCounters('M').size(), sizeof(RunCountersM));
    EXPECT_EQ(failureProtocol('M', 40).size(), 40 * sizeof(ProtocolEntryM));
    // Beyond the program's 2 MiB (to test its guard), but within 16-bit
    // block numbers.
    EXPECT_GT(maxProtocolEntries('K') * sizeof(ProtocolEntryK), protocolBufferSize);
    EXPECT_GT(maxProtocolEntries('M') * sizeof(ProtocolEntryM), protocolBufferSize);
    EXPECT_LT(maxProtocolEntries('M') * sizeof(ProtocolEntryM) / 48, 0xFFFFu);
}

TEST(SimDataSets, AMissingEepromFileStartsWithTheDefaults)
{
    TempDir dir;
    const std::string file = (dir / "unit.eeprom").string();
    std::vector<std::uint8_t> configuration;
    std::string error;
    ASSERT_TRUE(loadEepromImage(file, 'M', configuration, error)) << error;
    EXPECT_EQ(configuration, factoryConfiguration('M'));
    EXPECT_EQ(readBytes(file).size(), mParameterBlockSize);

    // An M-Series image is no K-Series EEPROM. (Keeping a programmed
    // configuration is part of the link's round trip test.)
    EXPECT_FALSE(loadEepromImage(file, 'K', configuration, error));
    EXPECT_NE(error.find("62 bytes"), std::string::npos);
}

} // namespace
