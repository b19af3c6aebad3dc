#pragma once
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "app/app_state.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"
#include "link/remote_unit.h"
#include "sim_data_sets.h"
#include "sim_server.h"

using Clock = std::chrono::steady_clock;

inline long msSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// One notification of the link, with a copy of what it points to, taken
// while the engine still holds it: the answer from byte 4 on, or the block
// header of a block read.
struct Notification {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::uint8_t answer[61];
};

// Stands in for the feature window of one transfer.
class TransferSink {
public:
    explicit TransferSink(bool answersPolls) : answersPolls_(answersPolls) {}
    void install() { setNotificationPoster(&TransferSink::post, this); }

    std::vector<Notification> all()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return received_;
    }
    std::size_t count(std::uint32_t message)
    {
        std::lock_guard<std::mutex> hold(lock_);
        return message == WM_LINK_DATA ? data_ : ends_;
    }
    // Waits up to timeoutMs for a WM_LINK_END.
    bool waitForEnd(int timeoutMs)
    {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return ends_ > 0; });
    }

private:
    static bool post(void* context, const LinkNotification& posted)
    {
        auto* self = static_cast<TransferSink*>(context);
        const std::uint32_t message = posted.message;
        Notification entry{message, posted.wParam, posted.lParam, {}};
        if (posted.bytes)
            std::memcpy(entry.answer, posted.bytes, posted.length);
        {
            std::lock_guard<std::mutex> hold(self->lock_);
            self->received_.push_back(entry);
            self->data_ += message == WM_LINK_DATA;
            self->ends_ += message == WM_LINK_END;
        }
        self->changed_.notify_all();
        // A monitor that takes each answer at once asks for the next poll.
        if (message == WM_LINK_DATA && self->answersPolls_)
            setEvent(answerProcessed);
        return true;
    }

    bool answersPolls_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Notification> received_;
    std::size_t data_ = 0;
    std::size_t ends_ = 0;
};

// Long runs of whole transfers against the simulator over loopback, with
// faults drawn from a seeded generator (KAVIX_SOAK_SEED repeats a run).
// Sanitizer builds run a tenth of the counts; KAVIX_SOAK_DIVISOR sets the
// divisor.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr int sanitizedBuild = 1;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr int sanitizedBuild = 1;
#else
inline constexpr int sanitizedBuild = 0;
#endif
#else
inline constexpr int sanitizedBuild = 0;
#endif

inline int soakCount(int full)
{
    const char* text = std::getenv("KAVIX_SOAK_DIVISOR");
    int divisor = text && *text ? std::atoi(text) : (sanitizedBuild ? 10 : 1);
    if (divisor < 1)
        divisor = 1;
    return full / divisor > 0 ? full / divisor : 1;
}

inline std::uint32_t soakSeed()
{
    const char* text = std::getenv("KAVIX_SOAK_SEED");
    return text && *text ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : 20261206u;
}

inline std::size_t entriesIn(const char* directory)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory))
        ++count;
    return count;
}

// A thread that has just been joined can stay listed for a moment: the
// count once two looks 10 ms apart agree (at most 2 s) ...
inline std::size_t stableEntriesIn(const char* directory)
{
    std::size_t count = entriesIn(directory);
    for (int i = 0; i < 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::size_t again = entriesIn(directory);
        if (again == count)
            break;
        count = again;
    }
    return count;
}

// ... or once it is the expected one (at most 2 s).
inline std::size_t settledEntriesIn(const char* directory, std::size_t expected)
{
    std::size_t count = entriesIn(directory);
    for (int i = 0; i < 200 && count != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        count = entriesIn(directory);
    }
    return count;
}

// How a transfer is meant to end, chosen per transfer. Besides one of these
// the unit may add faults the engines repair: late duplicates, unexpected
// codes, out-of-order, repeated and bad-CRC blocks, busy answers, delays.
enum Fate {
    fateSuccess,     // all faults repairable: the transfer completes
    fateRefused,     // 0x51: end code 1
    fateBusy52,      // write announcement answered 0x52: end code 5, nothing stored
    fateRejected53,  // write announcement answered 0x53: end code 6, nothing stored
    fateEepromFails, // 0x62: end code 2, nothing stored
    fateDrop,        // an answer is lost: the link falls silent, or it completes first
    fateDisconnect,  // the unit goes: end code 4, or it completes first
    fateWrongType,   // poll answers of type 2: end code 1
};

// What one transfer posted, recorded until stopLink returned.
struct TransferRecord {
    std::vector<std::uintptr_t> ends;
    std::vector<Notification> data;
    bool silent = false;   // stopped after nothing happened for the silence time
    long stopMs = 0;
};

class SoakFixture : public ::testing::Test {
protected:
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::mt19937 random{soakSeed()};
    std::size_t threadsBefore = 0;
    std::size_t filesBefore = 0;
    // A lost answer is taken for silence after this long without progress;
    // a transfer that may not fall silent is given much longer.
    int silenceMs = sanitizedBuild ? 400 : 150;
    int hangMs = 10000;
    long longestStopMs = 0;

    void SetUp() override
    {
        // ThreadSanitizer starts a thread of its own with the first one.
        std::thread([] {}).join();
        threadsBefore = stableEntriesIn("/proc/self/task");
        filesBefore = entriesIn("/proc/self/fd");
        appState.linkOpen = 0;
        createLinkEvents();
        setDeviceBackend(&remoteUnitBackend);
    }

    void TearDown() override
    {
        stopLink();
        setNotificationPoster(nullptr, nullptr);
        stopSimServer(server);
        server = nullptr;
        setRemoteUnitEndpoint("");
        setDeviceBackend(nullptr);
        // Every link thread, connection and socket of the run is gone.
        EXPECT_EQ(settledEntriesIn("/proc/self/task", threadsBefore), threadsBefore);
        EXPECT_EQ(settledEntriesIn("/proc/self/fd", filesBefore), filesBefore);
        RecordProperty("seed", std::to_string(soakSeed()));
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    // A unit of the family with its factory data sets, served on loopback.
    void serve(char family, std::uint32_t protocolEntries = 0, const SimOptions* options = nullptr)
    {
        initSimUnit(unit, options ? *options : defaultSimOptions(family));
        {
            std::lock_guard<std::mutex> hold(unit.lock);
            store = SimBlockStore{};
            fillFamilyDataSets(store, family, factoryConfiguration(family), protocolEntries);
        }
        useBlockStore(unit, store);
        if (!server) {
            server = startSimServer(unit, "127.0.0.1", 0);
            ASSERT_NE(server, nullptr);
            setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server))).c_str());
        }
    }

    void setFaults(const SimFaults& faults)
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        unit.options.faults = faults;
    }
    std::uint32_t requestsSeen()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return unit.requestsSeen;
    }
    std::vector<std::uint8_t> storedConfiguration()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return store.configuration.bytes;
    }

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
        if (blockRead) {
            if (chance(0.3))
                faults.outOfOrderBlock = static_cast<std::uint32_t>(pick(0, 4));
            if (chance(0.3))
                faults.repeatBlock = static_cast<std::uint32_t>(pick(0, 4));
            if (chance(0.3))
                faults.badCrcBlock = static_cast<std::uint32_t>(pick(0, 4));
        }
        if (blockWrite) {
            if (chance(0.3))
                faults.busyCode = chance(0.5) ? 0x64 : 0xF0;
            if (chance(0.2))
                faults.resendFrom = static_cast<std::uint32_t>(pick(0, 1));
        }
        return faults;
    }

    // Runs linkRequest as a feature window does (discovery, product string,
    // both threads) until the link posts WM_LINK_END, enoughData
    // WM_LINK_DATA have come, or nothing has happened for the silence time
    // (hangMs unless mayFallSilent); then stops the link.
    TransferRecord runTransfer(EngineProcedure engine, std::size_t enoughData = 0, bool mayFallSilent = false)
    {
        TransferRecord record;
        TransferSink local(engine == pollEngine);
        local.install();
        EXPECT_TRUE(findDevice());
        char product[productStringChars + 1];
        EXPECT_TRUE(readProductString(product));
        EXPECT_TRUE(startLinkThreads(engine, &linkRequest));

        auto lastProgress = Clock::now();
        std::size_t seen = 0;
        std::uint32_t requests = requestsSeen();
        for (;;) {
            if (local.waitForEnd(5))
                break;
            if (enoughData && local.count(WM_LINK_DATA) >= enoughData)
                break;
            const std::size_t now = local.count(WM_LINK_DATA);
            const std::uint32_t nowRequests = requestsSeen();
            if (now != seen || nowRequests != requests) {
                seen = now;
                requests = nowRequests;
                lastProgress = Clock::now();
            } else if (msSince(lastProgress) > (mayFallSilent ? silenceMs : hangMs)) {
                record.silent = true;
                break;
            }
        }
        const auto stopStart = Clock::now();
        stopLink();
        record.stopMs = msSince(stopStart);
        longestStopMs = std::max(longestStopMs, record.stopMs);
        EXPECT_TRUE(linkThreadsEnded());
        EXPECT_LT(record.stopMs, stopLinkWaitMs);
        for (const Notification& n : local.all()) {
            if (n.message == WM_LINK_END)
                record.ends.push_back(n.wParam);
            else if (n.message == WM_LINK_DATA)
                record.data.push_back(n);
        }
        setNotificationPoster(nullptr, nullptr);
        return record;
    }
};

// End codes all equal to code (at least one).
inline bool allEndsAre(const std::vector<std::uintptr_t>& ends, std::uintptr_t code)
{
    if (ends.empty())
        return false;
    for (std::uintptr_t end : ends)
        if (end != code)
            return false;
    return true;
}
