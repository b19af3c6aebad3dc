#pragma once
// serve's bridge: one client on the TCP wire talks to the unit attached
// here, report for report, until either side goes.
#include <atomic>

#include "link/net_socket.h"

enum class BridgeEnd {
    clientLeft,   // the client closed its connection
    deviceGone,   // the unit could not be opened or went away; the client is cut off
    stopped,      // stop was set
    idle,         // the client sent nothing for idleMs and was cut off
};

// The unit is the one discovery found last (devicePath). It is opened only
// when the client sends its first report, so a client that only reads the
// identity (discovery, product string) never opens it; it is closed again
// before this returns. A client that sends no report for idleMs (from its
// connection, then from its last report) is cut off.
BridgeEnd bridgeClient(NetSocket client, const std::atomic<bool>& stop, int idleMs);
