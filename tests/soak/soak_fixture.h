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
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool sanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool sanitizedBuild = true;
#else
inline constexpr bool sanitizedBuild = false;
#endif
#else
inline constexpr bool sanitizedBuild = false;
#endif

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

// Whole transfers over loopback; every link thread, connection and socket
// of a test is gone at its end.
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

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
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
};
