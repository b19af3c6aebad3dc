#pragma once
#include <cstdint>

#include "link/device_backend.h"

// The unit as the link threads use it. The reader opens and closes it; the
// engine writes through it. A small lock keeps the handle alive while an
// engine uses it, so a write racing the reader's close fails cleanly (as on
// a closed Windows handle) instead of touching a released connection.
bool openLinkDevice(const std::string& path);
void closeLinkDevice();

// Without an open device these fail like I/O on an invalid handle.
IoStatus linkStartRead(std::uint8_t* report, LinkEvent* completion);
bool linkReadResult();
IoStatus linkStartWrite(const std::uint8_t* report, LinkEvent* completion);
bool linkWriteResult();
// The engine gives up its pending write before it returns.
void linkCancelWrite();
