#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "protocol/protocol_entries.h"
#include "protocol/run_counters.h"
#include "sim_data_sets.h"
#include "sim_options.h"
#include "temp_dir.h"

namespace {

TEST(SimDataSets, RecordsDecodeAsTheProgramReadsThem)
{
    const std::vector<std::uint8_t> k = factoryConfiguration('K');
    ASSERT_EQ(k.size(), kParameterBlockSize);
    EXPECT_EQ(0, std::memcmp(k.data(), &kDefaultParameters, k.size()));
    EXPECT_EQ(factoryConfiguration('M').size(), mParameterBlockSize);

    RunCountersK countersK{};
    const std::vector<std::uint8_t> rawK = runningCounters('K');
    ASSERT_TRUE(loadRunCountersK(rawK.data(), rawK.size(), countersK));
    EXPECT_LE(countersK.coolTime + countersK.heatTime, countersK.onTime);
    RunCountersM countersM{};
    const std::vector<std::uint8_t> rawM = runningCounters('M');
    ASSERT_TRUE(loadRunCountersM(rawM.data(), rawM.size(), countersM));
    for (int c = 0; c < 6; ++c)
        EXPECT_LE(countersM.runTimes[c], countersM.onTime);

    // Entries count their events from 1, their counters only grow, and their
    // error codes are the family's kinds.
    const std::vector<std::uint8_t> protocol = failureProtocol('M', 40);
    ASSERT_EQ(protocol.size(), 40 * sizeof(ProtocolEntryM));
    ProtocolEntryM previous{};
    for (std::int32_t i = 0; i < 40; ++i) {
        ProtocolEntryM entry{};
        ASSERT_TRUE(readProtocolEntryM(protocol.data(), protocol.size(), i, entry));
        EXPECT_EQ(entry.eventCounter, static_cast<std::uint32_t>(i + 1));
        EXPECT_LT(entry.errorCode, 17);
        EXPECT_GT(entry.onTime, previous.onTime);
        EXPECT_LE(entry.runTimes[0], entry.coolTime);
        previous = entry;
    }
    ProtocolEntryK entryK{};
    const std::vector<std::uint8_t> protocolK = failureProtocol('K', 8);
    ASSERT_TRUE(readProtocolEntryK(protocolK.data(), protocolK.size(), 7, entryK));
    EXPECT_EQ(entryK.errorCode, 0x0001);   // the eighth entry starts the seven kinds again
    EXPECT_EQ(entryK.eventCounter, 8u);

    // Beyond the program's 2 MiB, but within 16-bit block numbers.
    EXPECT_GT(maxProtocolEntries('K') * sizeof(ProtocolEntryK), protocolBufferSize);
    EXPECT_GT(maxProtocolEntries('M') * sizeof(ProtocolEntryM), protocolBufferSize);
    EXPECT_LT(maxProtocolEntries('M') * sizeof(ProtocolEntryM) / 48, 0xFFFFu);
}

TEST(SimDataSets, EepromFileStartsWithTheDefaultsAndKeepsWhatIsProgrammed)
{
    TempDir dir;
    const std::string file = (dir / "unit.eeprom").string();
    std::vector<std::uint8_t> configuration;
    std::string error;
    ASSERT_TRUE(loadEepromImage(file, 'M', configuration, error)) << error;
    EXPECT_EQ(configuration, factoryConfiguration('M'));
    EXPECT_EQ(readBytes(file).size(), mParameterBlockSize);

    configuration[2] = 27;
    ASSERT_TRUE(saveEepromImage(file, configuration));
    std::vector<std::uint8_t> again;
    ASSERT_TRUE(loadEepromImage(file, 'M', again, error));
    EXPECT_EQ(again, configuration);
    // An M-Series image is no K-Series EEPROM.
    EXPECT_FALSE(loadEepromImage(file, 'K', again, error));
    EXPECT_NE(error.find("62 bytes"), std::string::npos);
}

TEST(SimDataSets, CommandLineSelectsDataSetsTimingAndBlockFaults)
{
    const char* args[] = {"kavix-unitsim", "--family", "M", "--eeprom", "m.bin", "--protocol-entries", "30840",
                          "--frame-ms", "1", "--repeat-block", "0", "--announce-answer", "0x53", "--busy", "0xF0"};
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(parseSimCommandLine(static_cast<int>(std::size(args)), args, line, error)) << error;
    EXPECT_EQ(line.eepromFile, "m.bin");
    EXPECT_EQ(line.protocolEntries, 30840u);
    EXPECT_EQ(line.unit.frameMs, 1u);
    EXPECT_EQ(line.unit.faults.repeatBlock, 0u);
    EXPECT_EQ(line.unit.faults.outOfOrderBlock, noBlock);
    EXPECT_EQ(line.unit.faults.announceAnswer, 0x53);
    EXPECT_EQ(line.unit.faults.busyCode, 0xF0);
    // More entries than 16-bit block numbers can carry, a busy code the
    // engines would not wait on.
    const char* tooMany[] = {"kavix-unitsim", "--family", "M", "--protocol-entries", "50000"};
    EXPECT_FALSE(parseSimCommandLine(5, tooMany, line, error));
    const char* badBusy[] = {"kavix-unitsim", "--family", "K", "--busy", "0x62"};
    EXPECT_FALSE(parseSimCommandLine(5, badBusy, line, error));
}

} // namespace
