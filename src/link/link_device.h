#pragma once
#include <cstdint>

#include "link/device_backend.h"

// The unit as the link threads use it. The reader opens and closes it; the
// engine writes through it. A small lock keeps the handle alive while an
// engine uses it, so a write racing the reader's close fails cleanly (as on
// a closed Windows handle) instead of touching a released connection.
bool openLinkDevice(const std::string& path);
// Waits for every wait on the device's transfers (linkAwaitRead and
// linkAwaitWrite from another thread) to end before the device and its
// events go; such a wait ends within its own time-out.
void closeLinkDevice();

// Without an open device these fail like I/O on an invalid handle.
IoStatus linkStartRead(std::uint8_t* report);
bool linkReadResult();
IoStatus linkStartWrite(const std::uint8_t* report);
bool linkWriteResult();
// The engine gives up its pending write before it returns.
void linkCancelWrite();

// Waits up to timeoutMs, in one wait, for the pending read (write) to
// finish or for stop to be set (stop may be null): 0 when the transfer has
// finished, 1 when stop is set, otherwise waitTimedOut. The wait is on the
// device's own event for the transfer. Without a pending transfer (its
// result was taken, or the device was closed meanwhile) only stop can end
// the wait early, so a finished transfer never wakes a later wait.
int linkAwaitRead(LinkEvent* stop, int timeoutMs);
int linkAwaitWrite(LinkEvent* stop, int timeoutMs);

// Waits on the open device's transfers under way (tests).
int linkDeviceWaits();
