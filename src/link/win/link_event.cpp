#include "link/link_event.h"

#include <windows.h>

// The kernel event: what the system sets when an overlapped transfer ends is
// the same kind of object as the link's own events, so one wait covers both.

LinkEvent::LinkEvent(EventReset reset, EventStart start)
    : handle(CreateEventA(nullptr, reset == EventReset::manual, start == EventStart::set, nullptr))
{
}

LinkEvent::~LinkEvent()
{
    if (handle)
        CloseHandle(handle);
}

void setEvent(LinkEvent& event)
{
    SetEvent(event.handle);
}

void resetEvent(LinkEvent& event)
{
    ResetEvent(event.handle);
}

bool isEventSet(LinkEvent& event)
{
    return WaitForSingleObject(event.handle, 0) == WAIT_OBJECT_0;
}

int waitForAny(LinkEvent* const* events, int count, int timeoutMs)
{
    HANDLE handles[4];
    for (int i = 0; i < count; ++i)
        handles[i] = events[i]->handle;
    const DWORD woke =
        WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE, timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 0);
    if (woke >= WAIT_OBJECT_0 && woke < WAIT_OBJECT_0 + static_cast<DWORD>(count))
        return static_cast<int>(woke - WAIT_OBJECT_0);
    // A failed wait (an event the system could not create) takes its time
    // like a time-out, so a caller that waits again does not spin.
    if (woke == WAIT_FAILED && timeoutMs > 0)
        Sleep(static_cast<DWORD>(timeoutMs));
    return waitTimedOut;
}
