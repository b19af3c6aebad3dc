#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "link/notifications.h"

// Receives the link's notifications in place of a window and keeps a copy
// of the answer bytes they point to, taken while the engine still holds them.
struct Notification {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    std::uint8_t answer[61];   // bytes from answer byte 4 on, when lParam points there
    std::chrono::steady_clock::time_point at;
};

class RecordingSink {
public:
    // The poll engine's WM_LINK_DATA carries the answer address in lParam;
    // the block-read engine's carries its block header's address in wParam
    // (copied into answer[0..7]); the block-write engine's carries none.
    bool dataPointsToAnswer = true;
    bool dataHeaderInWParam = false;

    void install() { setNotificationPoster(&RecordingSink::post, this); }
    static void uninstall() { setNotificationPoster(nullptr, nullptr); }

    std::vector<Notification> all()
    {
        std::lock_guard<std::mutex> hold(lock_);
        return received_;
    }

    std::size_t count(std::uint32_t message)
    {
        std::lock_guard<std::mutex> hold(lock_);
        return countLocked(message);
    }

    // Waits until count notifications of that message have arrived.
    bool waitFor(std::uint32_t message, std::size_t count, int timeoutMs)
    {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                 [&] { return countLocked(message) >= count; });
    }

    // Called for each notification (engine thread): may set events.
    void (*onPost)(const Notification& notification) = nullptr;

private:
    static void post(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
    {
        auto* self = static_cast<RecordingSink*>(context);
        Notification entry{message, wParam, lParam, {}, std::chrono::steady_clock::now()};
        const bool pointsToAnswer = (message == WM_LINK_DATA && self->dataPointsToAnswer) ||
                                    ((message == WM_LINK_END || message == WM_LINK_ABORT) && lParam != 0);
        if (pointsToAnswer && lParam != 0)
            std::memcpy(entry.answer, reinterpret_cast<const void*>(lParam), sizeof entry.answer);
        if (message == WM_LINK_DATA && self->dataHeaderInWParam && wParam != 0)
            std::memcpy(entry.answer, reinterpret_cast<const void*>(wParam), 8);
        {
            std::lock_guard<std::mutex> hold(self->lock_);
            self->received_.push_back(entry);
        }
        self->changed_.notify_all();
        if (self->onPost)
            self->onPost(entry);
    }

    std::size_t countLocked(std::uint32_t message) const
    {
        std::size_t n = 0;
        for (const Notification& entry : received_)
            n += entry.message == message;
        return n;
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Notification> received_;
};
