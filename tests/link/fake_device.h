#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "link/device_backend.h"
#include "link/reports.h"

// An in-process device behind the backend seam, scripted by the test: it
// records every write and delivers the input reports the test pushes. Lets a
// test put the reader and the engines into exact states.
namespace fake {

struct Report {
    std::uint8_t bytes[reportSize];
};

enum WriteMode {
    writeCompletes,
    writeFails,
    writeGone,
    writeNeverCompletes,
    writeFailsDuringStop,   // fails at once, and stopLink's linkStop arrives meanwhile
};
enum ReadMode { readWaits, readFails };

void install();   // resets the script and makes this the device backend
void uninstall();

// Script.
void setDevices(std::vector<DeviceInfo> devices);
void setOpenFails(bool fails);
void setProductUnits(const std::vector<std::uint16_t>& units); // without terminator
void setWriteMode(WriteMode mode);
void setReadMode(ReadMode mode);

// Delivers an input report (completes a pending read or waits for the next).
void push(const std::uint8_t* report);
// An answer report: sequence number, code, then data bytes from byte 4 on.
void pushAnswer(std::uint8_t sequence, std::uint8_t code, const std::vector<std::uint8_t>& data = {});
// The device disappears: a pending read fails, every later I/O reports gone.
void unplug();

// Observation.
std::vector<Report> writes();
// Waits up to timeoutMs until at least count writes have been made.
bool waitForWrites(std::size_t count, int timeoutMs);
int readStarts();
int opens();
int closes();
// Input reports pushed but not yet taken by a read.
std::size_t queued();
// Waits until the reader has a read pending (its queue is drained).
bool waitForPendingRead(int timeoutMs);

} // namespace fake
