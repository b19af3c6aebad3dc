#include <algorithm>

#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"
#include "soak_fixture.h"

namespace {

bool contains(const std::vector<std::uintptr_t>& ends, std::uintptr_t code)
{
    return std::find(ends.begin(), ends.end(), code) != ends.end();
}

bool onlyFrom(const std::vector<std::uintptr_t>& ends, std::uintptr_t a, std::uintptr_t b)
{
    return std::all_of(ends.begin(), ends.end(), [&](std::uintptr_t end) { return end == a || end == b; });
}

std::uint8_t familyNumber(char family) { return family == 'M' ? 2 : 1; }

class SoakTest : public SoakFixture {
protected:
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(protocolBufferSize);

    // One fate per transfer; a lost answer or a disconnect strikes at one of
    // the first `answers` requests.
    Fate drawFate(std::vector<Fate> others, SimFaults& faults, int answers)
    {
        const int roll = pick(0, 99);
        Fate fate = fateSuccess;
        if (roll < 10) {
            fate = fateDrop;
            faults.dropEvery = static_cast<std::uint32_t>(pick(1, answers));
        } else if (roll < 20) {
            fate = fateDisconnect;
            faults.disconnectAfter = static_cast<std::uint32_t>(pick(1, answers));
        } else if (roll < 20 + 4 * static_cast<int>(others.size())) {
            fate = others[static_cast<std::size_t>(roll - 20) / 4];
        }
        switch (fate) {
        case fateRefused: faults.refuseBlocks = true; break;
        case fateBusy52: faults.announceAnswer = 0x52; break;
        case fateRejected53: faults.announceAnswer = 0x53; break;
        case fateEepromFails: faults.eepromFails = true; break;
        case fateWrongType: faults.mismatchType = true; break;
        default: break;
        }
        return fate;
    }

    void readRequest(char family, std::uint8_t command, std::uint8_t crcSelector)
    {
        linkRequest = LinkRequest{};
        linkRequest.command = command;
        linkRequest.payload[0] = family == 'K' && command == cmdReadConfiguration ? 3 : 1;
        linkRequest.payload[1] = familyNumber(family);
        linkRequest.data = buffer.data();
        linkRequest.dataCapacity = static_cast<std::uint32_t>(buffer.size());
        linkRequest.blockSize = command == cmdReadProtocol ? 48 : 32;
        linkRequest.crcSelector = crcSelector;
        std::fill(buffer.begin(), buffer.end(), 0xEE);
    }

    void programRequest(char family, std::vector<std::uint8_t>& configuration)
    {
        linkRequest = LinkRequest{};
        linkRequest.command = cmdAnnounceWrite;
        linkRequest.dataCommand = cmdWriteBlock;
        linkRequest.payload[0] = family == 'K' ? 3 : 1;
        linkRequest.payload[1] = familyNumber(family);
        linkRequest.data = configuration.data();
        linkRequest.totalLength = static_cast<std::uint32_t>(configuration.size());
        linkRequest.blockSize = 32;
    }

    bool bufferHolds(const std::vector<std::uint8_t>& bytes)
    {
        return std::equal(bytes.begin(), bytes.end(), buffer.begin());
    }
};

TEST_F(SoakTest, MonitorPollsOverAFlakyLink)
{
    const int target = soakCount(10000);
    const auto start = Clock::now();
    int polls = 0;
    int sessions = 0;
    while (polls < target) {
        const char family = chance(0.5) ? 'K' : 'M';
        SimOptions options = defaultSimOptions(family);
        options.pollAnswerCode = chance(0.25) ? ansStatus : ansOk;
        options.faults = repairableFaults(false, false);
        const int length = std::min(pick(50, 400), target - polls + 10);
        const Fate fate = drawFate({fateWrongType}, options.faults, length);
        serve(family, 0, &options);
        linkRequest = LinkRequest{};
        linkRequest.command = cmdPoll;
        linkRequest.blockSize = family == 'K' ? 23 : 37;
        linkRequest.expectedAnswerType = 1;
        linkRequest.expectedUnitKind = options.kind;

        const TransferRecord t = runTransfer(pollEngine, static_cast<std::size_t>(length), fate == fateDrop);
        ++sessions;
        const std::size_t got = t.data.size();
        const bool reachedEnd = !t.silent && t.ends.empty() && got >= static_cast<std::size_t>(length);
        SCOPED_TRACE("session " + std::to_string(sessions) + ", fate " + std::to_string(fate));
        switch (fate) {
        case fateSuccess:
            EXPECT_TRUE(reachedEnd) << got << " polls, silent " << t.silent << ", ends " << t.ends.size();
            break;
        case fateDrop:
            EXPECT_TRUE(t.ends.empty());
            EXPECT_TRUE(reachedEnd || (t.silent && got < options.faults.dropEvery));
            break;
        case fateDisconnect:
            EXPECT_FALSE(t.silent);
            EXPECT_TRUE(reachedEnd || (allEndsAre(t.ends, endDeviceGone) && got <= options.faults.disconnectAfter));
            break;
        default:
            EXPECT_EQ(t.ends, std::vector<std::uintptr_t>{endWrongUnit});
            EXPECT_EQ(got, 0u);
            break;
        }
        // Only answers of the unit's own kind and type ever reach the monitor.
        const std::uint16_t firmware = firmwareWord(options.firmwareMajor, options.firmwareMinor);
        for (const Notification& n : t.data) {
            ASSERT_EQ(n.answer[0], 1);
            ASSERT_EQ(n.answer[1], options.kind);
            ASSERT_EQ(readLe16(n.answer + 2), firmware);
        }
        polls += static_cast<int>(got);
        if (HasFailure())
            break;
    }
    RecordProperty("polls", polls);
    std::printf("soak: %d monitor polls in %d sessions, %ld ms, stopLink at most %ld ms\n", polls, sessions,
                msSince(start), longestStopMs);
}

TEST_F(SoakTest, ConfigurationProgramAndReadBackCycles)
{
    const int cycles = soakCount(200);
    const auto start = Clock::now();
    char family = 'K';
    serve(family);
    int programmed = 0;
    int cycle = 0;
    for (; cycle < cycles && !HasFailure(); ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        if (chance(0.2)) {
            family = family == 'K' ? 'M' : 'K';
            serve(family);
        }
        // Program a changed configuration.
        const std::vector<std::uint8_t> before = storedConfiguration();
        std::vector<std::uint8_t> wanted = before;
        for (int i = pick(1, 4); i > 0; --i)
            wanted[static_cast<std::size_t>(pick(0, static_cast<int>(wanted.size()) - 1))] =
                static_cast<std::uint8_t>(pick(0, 255));
        SimFaults faults = repairableFaults(false, true);
        Fate fate = drawFate({fateRefused, fateBusy52, fateRejected53, fateEepromFails}, faults, 5);
        setFaults(faults);
        programRequest(family, wanted);
        const TransferRecord w = runTransfer(blockWriteEngine, 0, fate == fateDrop);
        const std::vector<std::uint8_t> after = storedConfiguration();
        SCOPED_TRACE("program fate " + std::to_string(fate));
        // End code 3 only when the unit really holds the new configuration.
        if (contains(w.ends, endProgrammed)) {
            EXPECT_EQ(after, wanted);
            ++programmed;
        }
        switch (fate) {
        case fateSuccess: EXPECT_EQ(w.ends, std::vector<std::uintptr_t>{endProgrammed}); break;
        case fateRefused: EXPECT_EQ(w.ends, std::vector<std::uintptr_t>{endWrongUnit}); break;
        case fateBusy52: EXPECT_EQ(w.ends, std::vector<std::uintptr_t>{endCompleted}); break;
        case fateRejected53: EXPECT_EQ(w.ends, std::vector<std::uintptr_t>{endRejected}); break;
        case fateEepromFails: EXPECT_EQ(w.ends, std::vector<std::uintptr_t>{endWriteFailed}); break;
        case fateDrop:
            EXPECT_TRUE(w.silent ? w.ends.empty() : w.ends == std::vector<std::uintptr_t>{endProgrammed});
            break;
        default:
            EXPECT_FALSE(w.silent);
            EXPECT_TRUE(!w.ends.empty() && onlyFrom(w.ends, endDeviceGone, endProgrammed));
            break;
        }
        if (fate != fateSuccess && fate != fateDrop && fate != fateDisconnect) {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_TRUE(after == before || after == wanted);
        }

        // Read it back.
        faults = repairableFaults(true, false);
        fate = drawFate({fateRefused}, faults, 4);
        setFaults(faults);
        readRequest(family, cmdReadConfiguration, familyNumber(family));
        const TransferRecord r = runTransfer(blockReadEngine, 0, fate == fateDrop);
        SCOPED_TRACE("read fate " + std::to_string(fate));
        // End code 5 only with the complete, correct configuration.
        if (contains(r.ends, endCompleted)) {
            EXPECT_TRUE(bufferHolds(after));
        }
        switch (fate) {
        case fateSuccess: EXPECT_EQ(r.ends, std::vector<std::uintptr_t>{endCompleted}); break;
        case fateRefused: EXPECT_EQ(r.ends, std::vector<std::uintptr_t>{endWrongUnit}); break;
        case fateDrop:
            EXPECT_TRUE(r.silent ? r.ends.empty() : r.ends == std::vector<std::uintptr_t>{endCompleted});
            break;
        default:
            EXPECT_FALSE(r.silent);
            EXPECT_TRUE(!r.ends.empty() && onlyFrom(r.ends, endDeviceGone, endCompleted));
            break;
        }
    }
    RecordProperty("cycles", cycle);
    std::printf("soak: %d program/read-back cycles (%d programmed), %ld ms, stopLink at most %ld ms\n", cycle,
                programmed, msSince(start), longestStopMs);
}

TEST_F(SoakTest, ProtocolReadsUnderFaults)
{
    const int reads = soakCount(50);
    const auto start = Clock::now();
    int complete = 0;
    int i = 0;
    for (; i < reads && !HasFailure(); ++i) {
        const char family = chance(0.5) ? 'K' : 'M';
        const std::uint32_t entries = static_cast<std::uint32_t>(chance(0.1) ? 0 : pick(1, 300));
        serve(family, entries);
        const std::vector<std::uint8_t> expected = failureProtocol(family, entries);
        const std::size_t blocks = std::max<std::size_t>(1, (expected.size() + 47) / 48);
        SimFaults faults = repairableFaults(true, false);
        const Fate fate = drawFate({fateRefused}, faults, static_cast<int>(std::min<std::size_t>(blocks + 2, 20)));
        setFaults(faults);
        // The program never asks for checked blocks; a selector above 2 does.
        readRequest(family, cmdReadProtocol, chance(0.5) ? 3 : familyNumber(family));
        const TransferRecord t = runTransfer(blockReadEngine, 0, fate == fateDrop);
        SCOPED_TRACE("read " + std::to_string(i) + ", fate " + std::to_string(fate) + ", entries " +
                     std::to_string(entries));

        // The protocol-read window's bookkeeping, fed with what the link posted.
        ProtocolReadout readout;
        startProtocolReadout(readout, family == 'K' ? Family::k : Family::m, buffer.size());
        for (const Notification& n : t.data)
            protocolBlockAccepted(readout, n.answer, static_cast<std::uint32_t>(n.lParam));
        const ReadoutEnd end = protocolReadoutEnded(readout, t.ends.empty() ? 6 : static_cast<int>(t.ends[0]));
        if (contains(t.ends, endCompleted)) {
            ++complete;
            EXPECT_TRUE(bufferHolds(expected));
            EXPECT_EQ(t.data.size(), blocks);   // every block reported once
            EXPECT_EQ(readout.count, static_cast<std::int32_t>(entries));
        }
        EXPECT_EQ(end.protocolAvailable, t.ends.size() >= 1 && t.ends[0] == endCompleted && entries > 0);
        switch (fate) {
        case fateSuccess: EXPECT_EQ(t.ends, std::vector<std::uintptr_t>{endCompleted}); break;
        case fateRefused: EXPECT_EQ(t.ends, std::vector<std::uintptr_t>{endWrongUnit}); break;
        case fateDrop:
            EXPECT_TRUE(t.silent ? t.ends.empty() : t.ends == std::vector<std::uintptr_t>{endCompleted});
            break;
        default:
            EXPECT_FALSE(t.silent);
            EXPECT_TRUE(!t.ends.empty() && onlyFrom(t.ends, endDeviceGone, endCompleted));
            break;
        }
    }
    RecordProperty("reads", i);
    std::printf("soak: %d protocol reads (%d complete), %ld ms, stopLink at most %ld ms\n", i, complete,
                msSince(start), longestStopMs);
}

} // namespace
