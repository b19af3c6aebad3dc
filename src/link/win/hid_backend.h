#pragma once
#include <windows.h>

#include <cstddef>

#include "link/device_backend.h"

// The control unit through the Windows HID class driver: SetupAPI
// enumeration, HID.DLL attributes and product string, overlapped report I/O.
extern const DeviceBackend hidBackend;

// For tests: the next count opens for report I/O fail to set up their
// transfers, as when the system has no event left.
void failHidTransferSetups(int count);

// Closed devices whose cancelled transfer has not finished yet (their
// buffers are kept until it has).
std::size_t parkedHidDevices();
