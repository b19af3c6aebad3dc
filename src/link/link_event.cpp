#include "link/link_event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// The portable event, for every platform but Windows. One lock for all link events keeps wait-for-any simple: a waiter registers
// its own condition variable with every event it waits on, and a set wakes
// exactly those waiters.
struct EventWaiter {
    std::condition_variable wake;
};

namespace {

std::mutex eventLock;

void addWaiter(LinkEvent& event, EventWaiter* waiter)
{
    if (event.waiterCount < 8)
        event.waiters[event.waiterCount++] = waiter;
}

void removeWaiter(LinkEvent& event, EventWaiter* waiter)
{
    for (int i = 0; i < event.waiterCount; ++i) {
        if (event.waiters[i] == waiter) {
            event.waiters[i] = event.waiters[--event.waiterCount];
            event.waiters[event.waiterCount] = nullptr;
            return;
        }
    }
}

int firstSet(LinkEvent* const* events, int count)
{
    for (int i = 0; i < count; ++i)
        if (events[i]->signalled)
            return i;
    return waitTimedOut;
}

} // namespace

LinkEvent::LinkEvent(EventReset reset, EventStart start)
    : manualReset(reset == EventReset::manual), signalled(start == EventStart::set)
{
}

// Nobody waits on an event that goes away: its owner outlives every wait.
LinkEvent::~LinkEvent() = default;

void setEvent(LinkEvent& event)
{
    std::lock_guard<std::mutex> hold(eventLock);
    event.signalled = true;
    for (int i = 0; i < event.waiterCount; ++i)
        event.waiters[i]->wake.notify_one();
}

void resetEvent(LinkEvent& event)
{
    std::lock_guard<std::mutex> hold(eventLock);
    event.signalled = false;
}

bool isEventSet(LinkEvent& event)
{
    std::lock_guard<std::mutex> hold(eventLock);
    return event.signalled;
}

int waitForAny(LinkEvent* const* events, int count, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> hold(eventLock);
    int found = firstSet(events, count);
    if (found == waitTimedOut && timeoutMs > 0) {
        EventWaiter waiter;
        for (int i = 0; i < count; ++i)
            addWaiter(*events[i], &waiter);
        while ((found = firstSet(events, count)) == waitTimedOut) {
            if (waiter.wake.wait_until(hold, deadline) == std::cv_status::timeout) {
                found = firstSet(events, count);
                break;
            }
        }
        for (int i = 0; i < count; ++i)
            removeWaiter(*events[i], &waiter);
    }
    if (found != waitTimedOut && !events[found]->manualReset)
        events[found]->signalled = false;
    return found;
}
