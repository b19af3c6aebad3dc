#pragma once
#include <condition_variable>
#include <mutex>

// A Win32-style event for the link threads: auto-reset (one wait consumes the
// signal) or manual-reset (stays set until reset). Waits are always bounded,
// so a thread never sleeps past a stop request.
struct EventWaiter;

struct LinkEvent {
    bool manualReset = false;
    bool signalled = false;
    // Threads blocked in a wait that includes this event (at most a handful).
    EventWaiter* waiters[8] = {};
    int waiterCount = 0;
};

inline constexpr int waitTimedOut = -1;

void initEvent(LinkEvent& event, bool manualReset);
void setEvent(LinkEvent& event);
void resetEvent(LinkEvent& event);
bool isEventSet(LinkEvent& event);

// Waits until one of the events is set or timeoutMs has passed. Returns the
// index of the lowest-numbered set event (consuming it if auto-reset), or
// waitTimedOut. count is at most 4.
int waitForAny(LinkEvent* const* events, int count, int timeoutMs);
// true if the event was set within timeoutMs.
bool waitForEvent(LinkEvent& event, int timeoutMs);
