#pragma once
#include <filesystem>
#include <random>
#include <thread>

#include "link/sim_link_fixture.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

// Long runs of whole transfers against the simulator over loopback, with
// faults drawn from a seeded generator (KAVIX_SOAK_SEED repeats a run).
// Sanitizer builds run a tenth of the counts; KAVIX_SOAK_DIVISOR sets the
// divisor.
inline constexpr bool sanitizedBuild = KAVIX_SANITIZED;   // set by the build

inline int soakCount(int full)
{
    const char* text = std::getenv("KAVIX_SOAK_DIVISOR");
    return std::max(1, full / std::max(1, text && *text ? std::atoi(text) : (sanitizedBuild ? 10 : 1)));
}

inline std::uint32_t soakSeed()
{
    const char* text = std::getenv("KAVIX_SOAK_SEED");
    return text && *text ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : 20261206u;
}

// Entries of a /proc directory. A thread that has just been joined can stay
// listed for a moment: waits (at most 2 s) for the expected count, or
// without one for two looks 10 ms apart to agree.
inline long entriesIn(const char* directory, long expected = -1)
{
    using Entries = std::filesystem::directory_iterator;
    long count = std::distance(Entries(directory), Entries());
    for (int i = 0; i < 200 && count != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const long again = std::distance(Entries(directory), Entries());
        if (expected < 0 && again == count)
            break;
        count = again;
    }
    return count;
}

using Ends = std::vector<std::uintptr_t>;

// How a transfer is meant to end, chosen per transfer: it completes with all
// faults repairable; an answer is lost and the link falls silent; the unit
// goes (end code 4); or the unit refuses. Before a lost answer or a
// disconnect strikes, the transfer may have completed. Besides its fate the
// unit may add faults the engines repair: late duplicates, unexpected codes,
// out-of-order, repeated and bad-CRC blocks, busy answers, delays.
enum class Fate { success, drop, disconnect, refused };

// A way the unit refuses, and the end code it brings.
using Refusal = std::pair<void (*)(SimFaults&), std::uintptr_t>;
const Refusal refused51{[](SimFaults& f) { f.refuseBlocks = true; }, endWrongUnit};
const Refusal wrongType{[](SimFaults& f) { f.mismatchType = true; }, endWrongUnit};   // poll answers of type 2
// Writes refused with nothing stored: announcement answered 0x52 or 0x53, EEPROM failing (0x62).
const Refusal busy52{[](SimFaults& f) { f.announceAnswer = 0x52; }, endCompleted};
const Refusal rejected53{[](SimFaults& f) { f.announceAnswer = 0x53; }, endRejected};
const Refusal eepromFails{[](SimFaults& f) { f.eepromFails = true; }, endWriteFailed};

// Whole transfers over loopback, faults drawn from the seed; every link
// thread, connection and socket of a test is gone at its end.
class SoakFixture : public SimLinkFixture {
protected:
    std::mt19937 random{soakSeed()};
    long threadsBefore = 0, filesBefore = 0;   // entries of /proc/self/task and fd

    void SetUp() override
    {
        // ThreadSanitizer starts a thread of its own with the first one.
        std::thread([] {}).join();
        threadsBefore = entriesIn("/proc/self/task");
        filesBefore = entriesIn("/proc/self/fd");
        SimLinkFixture::SetUp();
        buffer.assign(protocolBufferSize, 0xEE);
    }
    void TearDown() override
    {
        SimLinkFixture::TearDown();
        EXPECT_EQ(entriesIn("/proc/self/task", threadsBefore), threadsBefore);
        EXPECT_EQ(entriesIn("/proc/self/fd", filesBefore), filesBefore);
        RecordProperty("seed", std::to_string(soakSeed()));
    }

    template <class T = int>
    T pick(int low, int high) { return static_cast<T>(std::uniform_int_distribution<int>(low, high)(random)); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    // The protocol-read window's bookkeeping, fed with what the link posted.
    ProtocolReadout readout(std::size_t capacity)
    {
        ProtocolReadout readout;
        startProtocolReadout(readout, options.family == 'K' ? Family::k : Family::m, capacity);
        for (const Notification& n : sink.all(WM_LINK_DATA))
            protocolBlockAccepted(readout, n.answer, static_cast<std::uint32_t>(n.lParam));
        return readout;
    }

    // Runs linkRequest on the unit served, under faults the engines repair
    // and a drawn fate (a lost answer or a disconnect strikes at one of the
    // first `answers` requests, or one of `refusals`), and checks the fate.
    // A poll runs for `answers` answers and has no end code; a block
    // transfer ends with 5 (read) or 3 (write) when it succeeds.
    Fate soak(EngineProcedure engine, const std::vector<Refusal>& refusals, int answers)
    {
        const bool polls = engine == pollEngine, reads = engine == blockReadEngine, writes = !polls && !reads;
        SimFaults faults;
        const auto sometimes = [&](bool allowed, double p, std::uint32_t& fault, int low, int high) {
            if (allowed && chance(p))
                fault = pick<std::uint32_t>(low, high);
        };
        sometimes(true, 0.3, faults.duplicateEvery, 2, 9);
        sometimes(true, 0.3, faults.wrongCodeEvery, 2, 9);
        sometimes(true, 0.05, faults.delayMs, 1, 3);
        for (std::uint32_t* block : {&faults.outOfOrderBlock, &faults.repeatBlock, &faults.badCrcBlock})
            sometimes(reads, 0.3, *block, 0, 4);
        if (writes && chance(0.3))
            faults.busyCode = chance(0.5) ? 0x64 : 0xF0;
        sometimes(writes, 0.2, faults.resendFrom, 0, 1);

        const int roll = pick(0, 99), nth = (roll - 20) / 4;
        const Refusal* refusal = roll >= 20 && nth < static_cast<int>(refusals.size()) ? &refusals[nth] : nullptr;
        const Fate fate = roll < 10 ? Fate::drop : roll < 20 ? Fate::disconnect : refusal ? Fate::refused : Fate::success;
        if (fate == Fate::drop || fate == Fate::disconnect)
            (fate == Fate::drop ? faults.dropEvery : faults.disconnectAfter) = pick<std::uint32_t>(1, answers);
        if (refusal)
            refusal->first(faults);
        setFaults(faults);

        const std::size_t enough = polls ? static_cast<std::size_t>(answers) : 0;
        // A lost answer is taken for silence after a short time without
        // progress; a transfer that may not fall silent is given much longer.
        const bool completed = transfer(engine, enough, fate != Fate::drop ? 2 * waitMs : sanitizedBuild ? 400 : 150);
        const Ends ends = sink.endCodes();
        const std::size_t data = sink.count(WM_LINK_DATA);
        // A poll has no end code of success: the only one it may meet here is 4.
        const std::uintptr_t done = polls ? endDeviceGone : reads ? endCompleted : endProgrammed;
        const bool finished = polls ? completed && ends.empty() && data >= enough : ends == Ends{done};
        const bool goneOrDone =
            !ends.empty() && std::ranges::all_of(ends, [&](auto e) { return e == endDeviceGone || e == done; });
        const bool asFated =
            fate == Fate::success ? finished
            // It completed before the loss, or fell silent with no end code
            // (and, polling, no answer from the lost one on).
            : fate == Fate::drop ? (completed ? finished : ends.empty() && (!polls || data < faults.dropEvery))
            // It completed before the disconnect, or ended with code 4 (and,
            // polling, no answer past the disconnect).
            : fate == Fate::disconnect
                ? completed && (finished || (goneOrDone && (!polls || data <= faults.disconnectAfter)))
            // The refusal's end code; no refused poll answer reaches the monitor.
            : ends == Ends{refusal->second} && (!polls || data == 0);
        EXPECT_TRUE(asFated) << "fate " << static_cast<int>(fate) << ", completed " << completed << ", " << data << " data, ends "
                             << testing::PrintToString(ends);
        return fate;
    }
    // Whether the last transfer met this end code.
    bool ended(std::uintptr_t code) { const Ends e = sink.endCodes(); return std::count(e.begin(), e.end(), code) > 0; }
};
