#pragma once

// An event of the link threads, with the two reset kinds of a Win32 event:
// auto-reset (one wait consumes the signal) or manual-reset (stays set until
// reset). Waits are always bounded, so a thread never sleeps past a stop
// request.
//
// On Windows it is a kernel event: a transfer's OVERLAPPED event and the
// link's own events are waited on together in one WaitForMultipleObjects.
// Elsewhere it is a small portable event (one lock, a condition variable per
// waiter) with the same behaviour, so the link runs and is tested natively.

enum class EventReset { automatic, manual };
enum class EventStart { clear, set };

struct EventWaiter;

class LinkEvent {
public:
    explicit LinkEvent(EventReset reset, EventStart start = EventStart::clear);
    ~LinkEvent();
    LinkEvent(const LinkEvent&) = delete;
    LinkEvent& operator=(const LinkEvent&) = delete;

#ifdef _WIN32
    // The kernel event (a HANDLE); null only if the system had none left.
    void* handle = nullptr;
#else
    bool manualReset = false;
    bool signalled = false;
    // Threads blocked in a wait that includes this event (at most a handful).
    EventWaiter* waiters[8] = {};
    int waiterCount = 0;
#endif
};

inline constexpr int waitTimedOut = -1;

void setEvent(LinkEvent& event);
void resetEvent(LinkEvent& event);
// Whether a manual-reset event is set. (On Windows a look at an auto-reset
// event would consume its signal: only manual-reset events are asked.)
bool isEventSet(LinkEvent& event);

// Waits until one of the events is set or timeoutMs has passed. Returns the
// index of the lowest-numbered set event (consuming it if auto-reset), or
// waitTimedOut. count is at most 4.
int waitForAny(LinkEvent* const* events, int count, int timeoutMs);
// true if the event was set within timeoutMs.
inline bool waitForEvent(LinkEvent& event, int timeoutMs)
{
    LinkEvent* const one[1] = {&event};
    return waitForAny(one, 1, timeoutMs) == 0;
}
