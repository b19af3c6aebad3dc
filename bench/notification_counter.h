#pragma once
// Counts the link's notifications in place of a feature window; optionally
// releases the next poll at once, as a quick monitor does.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "link/link_state.h"
#include "link/notifications.h"

struct NotificationCounter {
    std::mutex lock;
    std::condition_variable changed;
    std::uint64_t data = 0;
    std::uint64_t ends = 0;
    long endCode = -1;           // of the last WM_LINK_END
    bool releaseAtOnce = false;

    static bool post(void* context, const LinkNotification& notification)
    {
        auto* counter = static_cast<NotificationCounter*>(context);
        {
            std::lock_guard<std::mutex> hold(counter->lock);
            if (notification.message == WM_LINK_DATA)
                ++counter->data;
            if (notification.message == WM_LINK_END) {
                ++counter->ends;
                counter->endCode = static_cast<long>(notification.wParam);
            }
        }
        counter->changed.notify_all();
        if (notification.message == WM_LINK_DATA && counter->releaseAtOnce)
            setEvent(answerProcessed);
        return true;
    }

    void install() { setNotificationPoster(&NotificationCounter::post, this); }
    static void uninstall() { setNotificationPoster(nullptr, nullptr); }

    void reset()
    {
        std::lock_guard<std::mutex> hold(lock);
        data = ends = 0;
        endCode = -1;
    }
    // condition is checked under the lock.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs)
    {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), condition);
    }
};
