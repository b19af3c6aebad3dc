#include "fake_device.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace fake {
namespace {

struct State {
    Script script;
    bool unplugged = false;
    std::vector<Report> written{};
    std::uint8_t* readBuffer = nullptr;   // the pending read, if any
    bool readOk = false;
    int readStarts = 0, openDevices = 0;
};

std::mutex lock;
std::condition_variable changed;
State s;
// The device's transfer events (a write that is pending never completes).
LinkEvent readDone{EventReset::manual};
LinkEvent writeDone{EventReset::manual};
int handle;
using Hold = std::unique_lock<std::mutex>;

// Runs f on the state under the lock, and wakes the waiters.
template <class F>
auto locked(F f)
{
    Hold hold(lock);
    changed.notify_all();
    return f();
}

template <class Condition>
bool waitUntil(Condition condition, int timeoutMs)
{
    Hold hold(lock);
    return changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), condition);
}

// Ends the pending read with this report, or failed (nullptr). The event is
// set after unlocking: the reader takes the lock again in readResult.
void endPendingRead(const std::uint8_t* report)
{
    const bool ended = locked([report] {
        const bool pending = s.readBuffer != nullptr;
        if (pending && report)
            std::memcpy(s.readBuffer, report, reportSize);
        s.readOk = pending && report;
        s.readBuffer = nullptr;
        return pending;
    });
    if (ended)
        setEvent(readDone);
}

void listDevices(DeviceVisitor visit, void* context)
{
    Hold hold(lock);
    for (const DeviceInfo& device : s.script.devices)
        if (!visit(context, device))
            return;
}

DeviceHandle open(const std::string&, bool)
{
    Hold hold(lock);
    const bool opens = !s.script.openFails && !s.unplugged;
    s.openDevices += opens;
    return opens ? &handle : nullptr;
}

void close(DeviceHandle)
{
    locked([] { --s.openDevices; });
    endPendingRead(nullptr);
}

bool productString(DeviceHandle, std::uint16_t* units)
{
    Hold hold(lock);
    std::memset(units, 0, 256);
    std::copy_n(s.script.product.begin(), std::min<std::size_t>(s.script.product.size(), 128), units);
    return true;
}

// Every read stays pending until the test pushes a report.
IoStatus startRead(DeviceHandle, std::uint8_t* report, LinkEvent** completion)
{
    return locked([&] {
        ++s.readStarts;
        if (s.unplugged || s.script.readsFail)
            return s.unplugged ? IoStatus::gone : IoStatus::failed;
        resetEvent(readDone);
        s.readBuffer = report;
        *completion = &readDone;
        return IoStatus::pending;
    });
}

// Writes complete at once or never: there is no result to fetch, nothing to cancel.
IoStatus startWrite(DeviceHandle, const std::uint8_t* report, LinkEvent** completion)
{
    return locked([&] {
        const WriteMode mode = s.unplugged ? WriteMode::gone : s.script.writeMode;
        *completion = &writeDone;
        if (mode == WriteMode::gone || mode == WriteMode::neverCompletes)
            return mode == WriteMode::gone ? IoStatus::gone : IoStatus::pending;
        s.written.emplace_back();
        std::memcpy(s.written.back().bytes, report, reportSize);
        return mode == WriteMode::completes ? IoStatus::done : IoStatus::failed;
    });
}

bool readResult(DeviceHandle) { return locked([] { return s.readOk; }); }

const DeviceBackend backend = {
    "fake", listDevices, open, close, productString, startRead, startWrite, readResult,
    [](DeviceHandle) { return false; }, [](DeviceHandle) {},
};

} // namespace

void install(const Script& script)
{
    locked([&] { s = State{.script = script}; });
    resetEvent(readDone);
    resetEvent(writeDone);
    setDeviceBackend(&backend);
}

// Waits for the reader to have a read pending (it has none while the engine
// has not yet taken the last report), so reports arrive one at a time.
void push(const std::uint8_t* report)
{
    waitForPendingRead(5000);
    endPendingRead(report);
}

void pushAnswer(std::uint8_t sequence, std::uint8_t code, const std::vector<std::uint8_t>& data)
{
    std::uint8_t report[reportSize] = {0, sequence, code};
    std::copy_n(data.begin(), std::min(data.size(), reportSize - 4), report + 4);
    push(report);
}

void unplug()
{
    locked([] { s.unplugged = true; });
    endPendingRead(nullptr);
}

std::vector<Report> writes() { return locked([] { return s.written; }); }
int openDevices() { return locked([] { return s.openDevices; }); }
bool waitForWrites(std::size_t n, int timeoutMs) { return waitUntil([n] { return s.written.size() >= n; }, timeoutMs); }
bool waitForReadStarts(int n, int timeoutMs) { return waitUntil([n] { return s.readStarts >= n; }, timeoutMs); }
bool waitForPendingRead(int timeoutMs) { return waitUntil([] { return s.readBuffer != nullptr; }, timeoutMs); }

} // namespace fake
