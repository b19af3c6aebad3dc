#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "link/device_backend.h"
#include "link/link_state.h"

// An in-process device behind the backend seam, scripted by the test: it
// records every write and delivers the input reports the test pushes, so a
// test can put the reader and the engines into exact states.
namespace fake {

struct Report { std::uint8_t bytes[reportSize]; };

enum class WriteMode { completes, fails, gone, neverCompletes };

struct Script {
    std::vector<DeviceInfo> devices{};     // what a search lists
    bool openFails = false;
    std::vector<std::uint16_t> product{};  // UTF-16, without terminator
    WriteMode writeMode = WriteMode::completes;
    bool readsFail = false;                // every read fails at once
};

// Starts afresh with this script and makes this the device backend.
void install(const Script& script = {});
// Delivers an input report: completes the pending read, or waits for the next.
void push(const std::uint8_t* report);
// An answer report: sequence number, code, then data bytes from byte 4 on.
void pushAnswer(std::uint8_t sequence, std::uint8_t code, const std::vector<std::uint8_t>& data = {});
// The device disappears: a pending read fails, every later I/O reports gone.
void unplug();

std::vector<Report> writes();
// These return as soon as their condition holds.
bool waitForWrites(std::size_t count, int timeoutMs);
bool waitForReadStarts(int count, int timeoutMs);
bool waitForPendingRead(int timeoutMs);
int openDevices();   // opens minus closes

} // namespace fake
