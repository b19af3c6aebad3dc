#include "soak_fixture.h"

namespace {

using SoakTest = SoakFixture;

TEST_F(SoakTest, MonitorPollsOverAFlakyLink)
{
    for (int session = 1, polls = 0, target = soakCount(10000); polls < target && !HasFailure(); ++session) {
        SCOPED_TRACE("session " + std::to_string(session));
        options = defaultSimOptions(chance(0.5) ? 'K' : 'M');
        options.pollAnswerCode = chance(0.25) ? ansStatus : ansOk;
        serve();
        pollRequest();
        soak(pollEngine, {wrongType}, std::min(pick(50, 400), target - polls + 10));
        // Only answers of the unit's own kind and type ever reach the monitor.
        const auto head = std::tuple(1, options.kind, firmwareWord(options.firmwareMajor, options.firmwareMinor));
        for (const Notification& n : sink.all(WM_LINK_DATA))   // type, kind, firmware
            ASSERT_EQ(std::tuple(n.answer[0], n.answer[1], readLe16(n.answer + 2)), head);
        polls += static_cast<int>(sink.count(WM_LINK_DATA));
    }
}

TEST_F(SoakTest, ConfigurationProgramAndReadBackCycles)
{
    serve();
    for (int cycle = 0; cycle < soakCount(200) && !HasFailure(); ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        if (chance(0.2)) {
            options = defaultSimOptions(options.family == 'K' ? 'M' : 'K');
            serve();
        }
        // Program a changed configuration: end code 3 only when the unit
        // really holds it, and it holds the old one or, unless refused, the new.
        const std::vector<std::uint8_t> before = configuration();
        std::vector<std::uint8_t> wanted = before;
        for (int i = pick(1, 4); i > 0; --i)
            wanted[pick<std::size_t>(0, static_cast<int>(wanted.size()) - 1)] = pick<std::uint8_t>(0, 255);
        blockRequest(cmdAnnounceWrite, &wanted);
        const Fate fate = soak(blockWriteEngine, {refused51, busy52, rejected53, eepromFails}, 5);
        const std::vector<std::uint8_t> after = configuration();
        EXPECT_TRUE(!ended(endProgrammed) || after == wanted);
        EXPECT_TRUE(after == before || (fate != Fate::refused && after == wanted)) << "fate " << static_cast<int>(fate);

        // Read it back: end code 5 only with the complete, correct configuration.
        blockRequest(cmdReadConfiguration);
        soak(blockReadEngine, {refused51}, 4);
        EXPECT_TRUE(!ended(endCompleted) || bufferHolds(after));
    }
}

TEST_F(SoakTest, ProtocolReadsUnderFaults)
{
    for (int i = 0; i < soakCount(50) && !HasFailure(); ++i) {
        options = defaultSimOptions(chance(0.5) ? 'K' : 'M');
        const auto entries = chance(0.1) ? 0 : pick<std::uint32_t>(1, 300);
        SCOPED_TRACE("read " + std::to_string(i) + ", " + std::to_string(entries) + " entries");
        serve(entries);
        const std::vector<std::uint8_t> expected = failureProtocol(options.family, entries);
        const std::size_t blocks = std::max<std::size_t>(1, (expected.size() + 47) / 48);
        blockRequest(cmdReadProtocol);
        // The program never asks for checked blocks; a selector above 2 does.
        if (chance(0.5))
            linkRequest.crcSelector = 3;
        soak(blockReadEngine, {refused51}, static_cast<int>(std::min<std::size_t>(blocks + 2, 20)));
        const ProtocolReadout read = readout(buffer.size());
        if (ended(endCompleted)) {
            EXPECT_TRUE(bufferHolds(expected));
            EXPECT_EQ(sink.count(WM_LINK_DATA), blocks);   // every block reported once
            EXPECT_EQ(read.count, static_cast<std::int32_t>(entries));
        }
        const int end = sink.endCodes().empty() ? 6 : static_cast<int>(sink.endCodes()[0]);
        EXPECT_EQ(protocolReadoutEnded(read, end).protocolAvailable, end == endCompleted && entries > 0);
    }
}

} // namespace
