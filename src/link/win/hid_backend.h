#pragma once
#include "link/device_backend.h"

// The control unit through the Windows HID class driver: SetupAPI
// enumeration, HID.DLL attributes and product string, overlapped report I/O.
extern const DeviceBackend hidBackend;
