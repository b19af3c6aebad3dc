#include <gtest/gtest.h>

#include <tuple>

#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "protocol/protocol_entries.h"
#include "protocol/run_counters.h"
#include "sim_data_sets.h"
#include "sim_options.h"
#include "temp_dir.h"

// What a simulated unit starts from: its command line, its data sets and
// its EEPROM file.

// The error message; "" when the line parses.
static std::string parse(std::vector<const char*> args, SimCommandLine& out)
{
    args.insert(args.begin(), "kavix-unitsim");
    std::string error;
    return parseSimCommandLine(static_cast<int>(args.size()), args.data(), out, error) ? "" : error;
}

TEST(SimCommandLine, OptionsReachTheirFieldsOnTheFamilysDefaultsAndBadValuesAreNamed)
{
    SimCommandLine line;
    // A product typed in a UTF-8 terminal becomes Windows-1252.
    ASSERT_EQ(parse({"--firmware", "1.123", "--vid", "0x1234", "--errors", "0x21", "--family", "M", "--eeprom", "m.bin",
                     "--protocol-entries", "30840", "--repeat-block", "0", "--bad-crc-block", "2", "--resend-from", "1",
                     "--out-of-order-block", "3", "--announce-answer", "0x53", "--busy", "0xF0", "--silent-after", "9",
                     "--product", "K\xC3\xA4lte \xE2\x82\xAC"}, line), "");
    const SimOptions& unit = line.unit;
    // It listens on loopback unless told otherwise.
    EXPECT_EQ(std::tuple(line.host, line.port, line.eepromFile, line.protocolEntries, unit.product),
              std::tuple("127.0.0.1", defaultSimPort, "m.bin", 30840u, "K\xE4lte \x80"));
    EXPECT_EQ(std::tuple(unit.kind, unit.productId, unit.firmwareMajor, unit.firmwareMinor, unit.vendorId, unit.errorBits),
              std::tuple(2, 0x1C01, 1, 123, 0x1234, 0x21u));
    const SimFaults& f = unit.faults;
    EXPECT_EQ(std::tuple(f.repeatBlock, f.badCrcBlock, f.resendFrom, f.outOfOrderBlock, f.announceAnswer, f.busyCode,
                         f.silent, f.silentAfter),
              std::tuple(0u, 2u, 1u, 3u, 0x53, 0xF0, true, 9u));
    // Text that is not UTF-8 is taken as it is.
    ASSERT_EQ(parse({"--family", "K", "--product", "K\xE4lte"}, line), "");
    EXPECT_EQ(line.unit.product, "K\xE4lte");

    // 0x62 is a busy code the engines do not wait on; 46259 entries fill the
    // 16-bit block numbers.
    // One row per check: a number out of its range (--kind), an option
    // given last without its value (--port).
    const struct { std::vector<const char*> args; const char* error; } bad[] = {
        {{}, "--family K|M is required"},
        {{"--family", "X"}, "--family takes K or M"},
        {{"--family", "K", "--firmware", "16.0"},
         "--firmware takes MAJOR.MINOR (major 0..15, minor 0..255)"},
        {{"--family", "K", "--port"}, "bad value for --port"},
        {{"--family", "K", "--kind", "-1"}, "bad value for --kind"},
        {{"--family", "M", "--protocol-entries", "50000"}, "--protocol-entries: at most 46259 for this family"},
        {{"--family", "K", "--busy", "0x62"}, "--busy takes 0x64 or 0xF0"},
        {{"--family", "K", "--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const auto& c : bad)
        EXPECT_EQ(parse(c.args, line), c.error) << (c.args.empty() ? "(none)" : c.args.back());
}

TEST(SimDataSets, RecordsFitTheirLayoutsAndAMissingEepromFileStartsWithTheDefaults)
{
    // (The counters and protocol windows' tests show what the unit sends.)
    const auto* k = reinterpret_cast<const std::uint8_t*>(&kSeriesDefaultParameters);
    EXPECT_EQ(factoryConfiguration('K'), std::vector<std::uint8_t>(k, k + kSeriesParameterBlockSize));
    EXPECT_EQ(runningCounters('M').size(), sizeof(RunCountersM));
    EXPECT_EQ(failureProtocol('M', 40).size(), 40 * sizeof(ProtocolEntryM));
    // The protocol can overfill the program's 2 MiB (to test its guard), but
    // stays within 16-bit block numbers.
    EXPECT_GT(maxProtocolEntries('K') * sizeof(ProtocolEntryK), protocolBufferSize);
    EXPECT_GT(maxProtocolEntries('M') * sizeof(ProtocolEntryM), protocolBufferSize);
    EXPECT_LT(maxProtocolEntries('M') * sizeof(ProtocolEntryM) / 48, 0xFFFFu);

    TempDir dir;
    const std::string file = (dir / "unit.eeprom").string();
    std::vector<std::uint8_t> configuration;
    std::string error;
    ASSERT_TRUE(loadEepromImage(file, 'M', configuration, error)) << error;
    EXPECT_EQ(configuration, factoryConfiguration('M'));
    EXPECT_EQ(readBytes(file).size(), mSeriesParameterBlockSize);
    // An M-Series image is no K-Series EEPROM. (Keeping a programmed
    // configuration is part of the link's round trip test.)
    EXPECT_FALSE(loadEepromImage(file, 'K', configuration, error));
    EXPECT_NE(error.find("62 bytes"), std::string::npos);
}

// A folder or a device named as EEPROM file is an error with a message, not
// an abort or a read without end; a file one byte too long is no image.
TEST(SimDataSets, AnEepromFileThatIsNoImageIsAnErrorWithItsName)
{
    TempDir dir;
    writeBytes(dir / "long.eeprom", std::vector<unsigned char>(kSeriesParameterBlockSize + 1, 0));
    const struct { std::string path; const char* error; } cases[] = {
        {dir.path().string(), " is not a file"},
#ifndef _WIN32
        {"/dev/zero", " is not a file"},
#endif
        {(dir / "long.eeprom").string(), " is not a K-Series EEPROM image (62 bytes)"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> configuration = {7};
        std::string error;
        EXPECT_FALSE(loadEepromImage(c.path, 'K', configuration, error)) << c.path;
        EXPECT_EQ(error, c.path + c.error);
        EXPECT_EQ(configuration, std::vector<std::uint8_t>{7});
    }
}
