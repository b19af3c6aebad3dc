#include "soak_fixture.h"

namespace {

using Ends = std::vector<std::uintptr_t>;

// Non-empty, and every end code one of these two.
bool endsOnly(const Ends& ends, std::uintptr_t a, std::uintptr_t b)
{
    return !ends.empty() && std::all_of(ends.begin(), ends.end(), [&](std::uintptr_t e) { return e == a || e == b; });
}

// How a transfer is meant to end, chosen per transfer. Besides one of these
// the unit may add faults the engines repair: late duplicates, unexpected
// codes, out-of-order, repeated and bad-CRC blocks, busy answers, delays.
enum Fate {
    fateSuccess,     // all faults repairable: the transfer completes
    fateDrop,        // an answer is lost: the link falls silent, or it completes first
    fateDisconnect,  // the unit goes: end code 4, or it completes first
    fateRefused,     // 0x51: end code 1
    fateBusy52,      // write announcement answered 0x52: end code 5, nothing stored
    fateRejected53,  // write announcement answered 0x53: end code 6, nothing stored
    fateEepromFails, // 0x62: end code 2, nothing stored
    fateWrongType,   // poll answers of type 2: end code 1
};

class SoakTest : public SoakFixture {
protected:
    // A lost answer is taken for silence after this long without progress;
    // a transfer that may not fall silent is given much longer.
    const int silenceMs = sanitizedBuild ? 400 : 150;
    std::uintptr_t refusalEnd = 0;   // of the last fate drawn

    int limitFor(Fate fate) const { return fate == fateDrop ? silenceMs : 2 * waitMs; }

    // Faults the engines must repair, each present now and then.
    SimFaults repairableFaults(bool blockRead, bool blockWrite)
    {
        SimFaults faults;
        if (chance(0.3))
            faults.duplicateEvery = static_cast<std::uint32_t>(pick(2, 9));
        if (chance(0.3))
            faults.wrongCodeEvery = static_cast<std::uint32_t>(pick(2, 9));
        if (chance(0.05))
            faults.delayMs = static_cast<std::uint32_t>(pick(1, 3));
        for (std::uint32_t* block : {&faults.outOfOrderBlock, &faults.repeatBlock, &faults.badCrcBlock})
            if (blockRead && chance(0.3))
                *block = static_cast<std::uint32_t>(pick(0, 4));
        if (blockWrite && chance(0.3))
            faults.busyCode = chance(0.5) ? 0x64 : 0xF0;
        if (blockWrite && chance(0.2))
            faults.resendFrom = static_cast<std::uint32_t>(pick(0, 1));
        return faults;
    }

    // One fate per transfer; a lost answer or a disconnect strikes at one of
    // the first `answers` requests.
    Fate drawFate(std::vector<Fate> others, SimFaults& faults, int answers)
    {
        const int roll = pick(0, 99);
        if (roll < 10) {
            faults.dropEvery = static_cast<std::uint32_t>(pick(1, answers));
            return fateDrop;
        }
        if (roll < 20) {
            faults.disconnectAfter = static_cast<std::uint32_t>(pick(1, answers));
            return fateDisconnect;
        }
        if (roll >= 20 + 4 * static_cast<int>(others.size()))
            return fateSuccess;
        const Fate fate = others[static_cast<std::size_t>(roll - 20) / 4];
        switch (fate) {
        case fateRefused: faults.refuseBlocks = true, refusalEnd = endWrongUnit; break;
        case fateBusy52: faults.announceAnswer = 0x52, refusalEnd = endCompleted; break;
        case fateRejected53: faults.announceAnswer = 0x53, refusalEnd = endRejected; break;
        case fateEepromFails: faults.eepromFails = true, refusalEnd = endWriteFailed; break;
        default: faults.mismatchType = true, refusalEnd = endWrongUnit; break;
        }
        return fate;
    }

    // The end codes of a block transfer of this fate, done its success.
    void expectEnds(Fate fate, bool completed, std::uintptr_t done)
    {
        const Ends ends = sink.endCodes();
        if (fate == fateSuccess || (fate == fateDrop && completed)) {
            EXPECT_EQ(ends, Ends{done});
        } else if (fate == fateDrop) {
            EXPECT_EQ(ends, Ends{});
        } else if (fate == fateDisconnect) {
            EXPECT_TRUE(completed);
            EXPECT_TRUE(endsOnly(ends, endDeviceGone, done));
        } else {
            EXPECT_EQ(ends, Ends{refusalEnd});
        }
    }
    bool ended(std::uintptr_t code) { const Ends e = sink.endCodes(); return std::count(e.begin(), e.end(), code) > 0; }
};

TEST_F(SoakTest, MonitorPollsOverAFlakyLink)
{
    const int target = soakCount(10000);
    int polls = 0;
    for (int session = 1; polls < target && !HasFailure(); ++session) {
        options = defaultSimOptions(chance(0.5) ? 'K' : 'M');
        options.pollAnswerCode = chance(0.25) ? ansStatus : ansOk;
        options.faults = repairableFaults(false, false);
        const int length = std::min(pick(50, 400), target - polls + 10);
        const Fate fate = drawFate({fateWrongType}, options.faults, length);
        serve();
        const auto record = static_cast<std::uint8_t>(options.family == 'K' ? 23 : 37);
        linkRequest = LinkRequest{.command = cmdPoll, .blockSize = record, .expectedAnswerType = 1};
        linkRequest.expectedUnitKind = options.kind;
        answerPromptly();
        const bool completed = transfer(pollEngine, static_cast<std::size_t>(length), limitFor(fate));
        const std::size_t got = sink.count(WM_LINK_DATA);
        const Ends ends = sink.endCodes();
        const bool reachedEnd = completed && ends.empty() && got >= static_cast<std::size_t>(length);
        SCOPED_TRACE("session " + std::to_string(session) + ", fate " + std::to_string(fate));
        if (fate == fateSuccess) {
            EXPECT_TRUE(reachedEnd) << got << " polls, completed " << completed << ", ends " << ends.size();
        } else if (fate == fateDrop) {
            EXPECT_TRUE(ends.empty());
            EXPECT_TRUE(reachedEnd || (!completed && got < options.faults.dropEvery));
        } else if (fate == fateDisconnect) {
            EXPECT_TRUE(completed);
            EXPECT_TRUE(reachedEnd || (endsOnly(ends, endDeviceGone, endDeviceGone) &&
                                       got <= options.faults.disconnectAfter));
        } else {
            EXPECT_EQ(ends, Ends{endWrongUnit});
            EXPECT_EQ(got, 0u);
        }
        // Only answers of the unit's own kind and type ever reach the monitor.
        std::uint8_t head[4] = {1, options.kind};   // type, kind, firmware
        writeLe16(head + 2, firmwareWord(options.firmwareMajor, options.firmwareMinor));
        for (const Notification& n : sink.all(WM_LINK_DATA))
            ASSERT_EQ(0, std::memcmp(n.answer, head, 4));
        polls += static_cast<int>(got);
    }
    RecordProperty("polls", polls);
}

TEST_F(SoakTest, ConfigurationProgramAndReadBackCycles)
{
    const int cycles = soakCount(200);
    serve();
    for (int cycle = 0; cycle < cycles && !HasFailure(); ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        if (chance(0.2)) {
            options = defaultSimOptions(options.family == 'K' ? 'M' : 'K');
            serve();
        }
        // Program a changed configuration.
        const std::vector<std::uint8_t> before = configuration();
        std::vector<std::uint8_t> wanted = before;
        for (int i = pick(1, 4); i > 0; --i)
            wanted[static_cast<std::size_t>(pick(0, static_cast<int>(wanted.size()) - 1))] =
                static_cast<std::uint8_t>(pick(0, 255));
        SimFaults faults = repairableFaults(false, true);
        Fate fate = drawFate({fateRefused, fateBusy52, fateRejected53, fateEepromFails}, faults, 5);
        setFaults(faults);
        blockRequest(cmdAnnounceWrite, &wanted);
        bool completed = transfer(blockWriteEngine, 0, limitFor(fate));
        const std::vector<std::uint8_t> after = configuration();
        SCOPED_TRACE("program fate " + std::to_string(fate));
        // End code 3 only when the unit really holds the new configuration.
        EXPECT_TRUE(!ended(endProgrammed) || after == wanted);
        expectEnds(fate, completed, endProgrammed);
        EXPECT_TRUE(after == before || (fate < fateRefused && after == wanted));

        // Read it back.
        faults = repairableFaults(true, false);
        fate = drawFate({fateRefused}, faults, 4);
        setFaults(faults);
        blockRequest(cmdReadConfiguration);
        completed = transfer(blockReadEngine, 0, limitFor(fate));
        SCOPED_TRACE("read fate " + std::to_string(fate));
        // End code 5 only with the complete, correct configuration.
        EXPECT_TRUE(!ended(endCompleted) || bufferHolds(after));
        expectEnds(fate, completed, endCompleted);
    }
}

TEST_F(SoakTest, ProtocolReadsUnderFaults)
{
    const int reads = soakCount(50);
    for (int i = 0; i < reads && !HasFailure(); ++i) {
        options = defaultSimOptions(chance(0.5) ? 'K' : 'M');
        const auto entries = static_cast<std::uint32_t>(chance(0.1) ? 0 : pick(1, 300));
        serve(entries);
        const std::vector<std::uint8_t> expected = failureProtocol(options.family, entries);
        const std::size_t blocks = std::max<std::size_t>(1, (expected.size() + 47) / 48);
        SimFaults faults = repairableFaults(true, false);
        const Fate fate = drawFate({fateRefused}, faults, static_cast<int>(std::min<std::size_t>(blocks + 2, 20)));
        setFaults(faults);
        blockRequest(cmdReadProtocol);
        // The program never asks for checked blocks; a selector above 2 does.
        if (chance(0.5))
            linkRequest.crcSelector = 3;
        const bool completed = transfer(blockReadEngine, 0, limitFor(fate));
        SCOPED_TRACE("read " + std::to_string(i) + ", fate " + std::to_string(fate) + ", " + std::to_string(entries));

        const Ends ends = sink.endCodes();
        const ProtocolReadout read = readout(buffer.size());
        const ReadoutEnd end = protocolReadoutEnded(read, ends.empty() ? 6 : static_cast<int>(ends[0]));
        if (ended(endCompleted)) {
            EXPECT_TRUE(bufferHolds(expected));
            EXPECT_EQ(sink.count(WM_LINK_DATA), blocks);   // every block reported once
            EXPECT_EQ(read.count, static_cast<std::int32_t>(entries));
        }
        EXPECT_EQ(end.protocolAvailable, !ends.empty() && ends[0] == endCompleted && entries > 0);
        expectEnds(fate, completed, endCompleted);
    }
}

} // namespace
