#pragma once
#include "link/device_backend.h"

// A unit reached over TCP (KAVIX_UNIT=host:port), for the simulator. Every
// open is its own connection; discovery connects, reads the identity and
// closes again.
extern const DeviceBackend remoteUnitBackend;

// host:port of the unit that listDevices offers; empty offers none.
void setRemoteUnitEndpoint(const char* endpoint);

// Time allowed for connecting and for the identity record.
inline constexpr int remoteConnectTimeoutMs = 1000;
