#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "fake_device.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"

using Clock = std::chrono::steady_clock;

inline long msSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Bound of every wait for something that must happen: generous, since the
// waits end as soon as it does and the machine may be busy.
inline constexpr int waitMs = 5000;

// A notification, with a copy of the bytes its parameter pointed at when it
// was posted.
struct Notification {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    const std::uint8_t* bytes;
    std::uint8_t answer[61];
};

// Receives the link's notifications in place of a window.
class RecordingSink {
public:
    void install() { setNotificationPoster(&RecordingSink::post, this); }
    static void uninstall() { setNotificationPoster(nullptr, nullptr); }
    void clear() { std::scoped_lock hold(lock_); received_.clear(); }

    // Notifications of one message, or all of them (message 0).
    std::vector<Notification> all(std::uint32_t message = 0) { std::scoped_lock hold(lock_); return allLocked(message); }
    std::size_t count(std::uint32_t message) { return all(message).size(); }
    Notification last() { return all().empty() ? Notification{} : all().back(); }
    std::vector<std::uintptr_t> endCodes()
    {
        std::vector<std::uintptr_t> codes;
        for (const Notification& end : all(WM_LINK_END))
            codes.push_back(end.wParam);
        return codes;
    }
    bool waitFor(std::uint32_t message, std::size_t count, int timeoutMs = waitMs)
    {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                 [&] { return allLocked(message).size() >= count; });
    }
    // End code of the nth WM_LINK_END (from 1); 99 if it does not come.
    std::uintptr_t endCode(std::size_t nth = 1)
    {
        return waitFor(WM_LINK_END, nth) ? all(WM_LINK_END)[nth - 1].wParam : 99;
    }

    // Called for each notification on the engine's thread: may set events.
    void (*onPost)(const Notification& notification) = nullptr;

private:
    std::vector<Notification> allLocked(std::uint32_t message)
    {
        std::vector<Notification> out;
        for (const Notification& n : received_)
            if (message == 0 || n.message == message)
                out.push_back(n);
        return out;
    }
    static bool post(void* context, const LinkNotification& posted)
    {
        auto* self = static_cast<RecordingSink*>(context);
        Notification entry{posted.message, posted.wParam, posted.lParam, posted.bytes, {}};
        if (posted.bytes)
            std::memcpy(entry.answer, posted.bytes, posted.length);
        { std::scoped_lock hold(self->lock_); self->received_.push_back(entry); }
        self->changed_.notify_all();
        if (self->onPost)
            self->onPost(entry);
        return true;
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Notification> received_;
};

// Every link test starts from a closed link with the scripted device as the
// unit, and leaves the link closed. The test plays the unit, answering each
// written report by its sequence number.
class LinkFixture : public ::testing::Test {
protected:
    RecordingSink sink;

    void SetUp() override
    {
        createLinkEvents();
        sink.install();
        fake::install();
        devicePath = "fake-unit";
        // The K-Series monitor's poll: command 0x3A, a 23-byte command
        // record, answer type 1 from a unit of kind 1.
        linkRequest = LinkRequest{.command = cmdPoll, .blockSize = 23, .expectedAnswerType = 1, .expectedUnitKind = 1};
        for (int i = 0; i < 23; ++i)
            linkRequest.payload[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    void TearDown() override
    {
        stopLink();
        RecordingSink::uninstall();
        setDeviceBackend(nullptr);
    }

    void start(EngineProcedure engine) { ASSERT_TRUE(startLinkThreads(engine, &linkRequest)); }
    void restart(EngineProcedure engine) { stopLink(); start(engine); }
    // Each answer is processed at once, like a quick monitor.
    void answerPromptly()
    {
        sink.onPost = [](const Notification& n) { if (n.message == WM_LINK_DATA) setEvent(answerProcessed); };
    }

    // Write i of the test (waits for it).
    fake::Report written(std::size_t i)
    {
        EXPECT_TRUE(fake::waitForWrites(i + 1, waitMs)) << "no write " << i;
        auto all = fake::writes();
        return all.size() > i ? all[i] : fake::Report{};
    }
    std::uint8_t sequenceOf(std::size_t i) { return written(i).bytes[outSequence]; }
    std::uint8_t commandOf(std::size_t i) { return written(i).bytes[outCommand]; }
    // Answers write i (once it is made) with this code and data from byte 4 on.
    void answerCode(std::size_t i, std::uint8_t code, const std::vector<std::uint8_t>& data = {})
    {
        fake::pushAnswer(sequenceOf(i), code, data);
    }
    // The nth end, the last notification so far: its code, and whether it
    // passes the unit's answer.
    void expectEnd(std::size_t nth, std::uintptr_t code, bool withAnswer)
    {
        ASSERT_EQ(sink.endCode(nth), code);
        const Notification end = sink.last();
        EXPECT_EQ(end.message, WM_LINK_END);
        EXPECT_EQ(end.lParam, withAnswer ? reinterpret_cast<std::intptr_t>(end.bytes) : 0);
    }
};
