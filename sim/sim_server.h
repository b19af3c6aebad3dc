#pragma once
#include <cstdint>
#include <string>

#include "sim_unit.h"

// Serves a simulated unit over the remote-unit protocol: on each accepted
// connection the identity record, then one answer per request report.
// Connections are served one after another and side by side.
struct SimServer;

// Listens on host:port (port 0 picks a free one); nullptr on failure, with
// the reason in error when given (no port, no thread). The unit must outlive
// the server. At most 64 connections are served at once; one that finds no
// place, or no thread, is closed at once and the server goes on.
SimServer* startSimServer(SimUnit& unit, const char* host, std::uint16_t port, std::string* error = nullptr);
std::uint16_t simServerPort(const SimServer* server);
// Connections accepted so far.
std::uint32_t simServerConnections(SimServer* server);
// Closes every connection (a unit unplugged) but keeps listening.
void dropSimConnections(SimServer* server);
// Stops listening, closes every connection and waits for its threads.
void stopSimServer(SimServer* server);
