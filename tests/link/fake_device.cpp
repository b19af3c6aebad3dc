#include "fake_device.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "link/link_state.h"

namespace fake {
namespace {

struct State {
    Script script;
    bool unplugged = false;
    std::deque<Report> input;
    std::vector<Report> written;
    std::uint8_t* readBuffer = nullptr;   // the pending read, if any
    LinkEvent* readEvent = nullptr;
    bool readOk = false;
    int readStarts = 0;
    int openDevices = 0;
};

std::mutex lock;
std::condition_variable changed;
State state;
int handle;
using Hold = std::lock_guard<std::mutex>;

// Ends the pending read, with this report or failed (nullptr), and wakes
// its waiter once the lock is released.
void endPendingRead(std::unique_lock<std::mutex>& hold, const std::uint8_t* report)
{
    LinkEvent* event = state.readBuffer ? state.readEvent : nullptr;
    if (event && report)
        std::memcpy(state.readBuffer, report, reportSize);
    state.readOk = event && report;
    state.readBuffer = nullptr;
    hold.unlock();
    if (event)
        setEvent(*event);
}

template <class Condition>
bool waitUntil(int timeoutMs, Condition condition)
{
    std::unique_lock<std::mutex> hold(lock);
    return changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), condition);
}

void listDevices(DeviceVisitor visit, void* context)
{
    Hold hold(lock);
    for (const DeviceInfo& device : state.script.devices)
        if (!visit(context, device))
            return;
}

DeviceHandle open(const std::string&, bool)
{
    Hold hold(lock);
    if (state.script.openFails || state.unplugged)
        return nullptr;
    ++state.openDevices;
    return &handle;
}

void close(DeviceHandle)
{
    std::unique_lock<std::mutex> hold(lock);
    --state.openDevices;
    endPendingRead(hold, nullptr);
}

bool productString(DeviceHandle, std::uint16_t* units)
{
    Hold hold(lock);
    std::memset(units, 0, 256);
    for (std::size_t i = 0; i < state.script.product.size() && i < 128; ++i)
        units[i] = state.script.product[i];
    return true;
}

IoStatus startRead(DeviceHandle, std::uint8_t* report, LinkEvent* completion)
{
    Hold hold(lock);
    ++state.readStarts;
    changed.notify_all();
    if (state.unplugged)
        return ioGone;
    if (state.script.readsFail)
        return ioFailed;
    if (!state.input.empty()) {
        std::memcpy(report, state.input.front().bytes, reportSize);
        state.input.pop_front();
        return ioDone;
    }
    state.readBuffer = report;
    state.readEvent = completion;
    return ioPending;
}

IoStatus startWrite(DeviceHandle, const std::uint8_t* report, LinkEvent*)
{
    Hold hold(lock);
    const WriteMode mode = state.script.writeMode;
    if (state.unplugged || mode == writeGone)
        return ioGone;
    if (mode == writeNeverCompletes)
        return ioPending;
    if (mode == writeFailsDuringStop)
        setEvent(linkStop);
    state.written.push_back({});
    std::memcpy(state.written.back().bytes, report, reportSize);
    changed.notify_all();
    return mode == writeCompletes ? ioDone : ioFailed;
}

bool readResult(DeviceHandle)
{
    Hold hold(lock);
    return state.readOk;
}

bool writeResult(DeviceHandle) { return false; }

// A write that never completes needs no cancelling here.
void cancelWrite(DeviceHandle) {}

const DeviceBackend backend = {
    "fake", listDevices, open, close, productString, startRead, startWrite, readResult, writeResult, cancelWrite,
};

} // namespace

void install(const Script& script)
{
    {
        Hold hold(lock);
        state = State{};
        state.script = script;
    }
    setDeviceBackend(&backend);
}

void push(const std::uint8_t* report)
{
    std::unique_lock<std::mutex> hold(lock);
    if (!state.readBuffer) {
        state.input.push_back({});
        std::memcpy(state.input.back().bytes, report, reportSize);
        return;
    }
    endPendingRead(hold, report);
}

void pushAnswer(std::uint8_t sequence, std::uint8_t code, const std::vector<std::uint8_t>& data)
{
    std::uint8_t report[reportSize] = {0, sequence, code};
    for (std::size_t i = 0; i < data.size() && 4 + i < reportSize; ++i)
        report[4 + i] = data[i];
    push(report);
}

void unplug()
{
    std::unique_lock<std::mutex> hold(lock);
    state.unplugged = true;
    endPendingRead(hold, nullptr);
}

std::vector<Report> writes()
{
    Hold hold(lock);
    return state.written;
}

bool waitForWrites(std::size_t count, int timeoutMs)
{
    return waitUntil(timeoutMs, [count] { return state.written.size() >= count; });
}

bool waitForReadStarts(int count, int timeoutMs)
{
    return waitUntil(timeoutMs, [count] { return state.readStarts >= count; });
}

bool waitForQueued(std::size_t count, int timeoutMs)
{
    return waitUntil(timeoutMs, [count] { return state.input.size() == count; });
}

bool waitForPendingRead(int timeoutMs)
{
    return waitUntil(timeoutMs, [] { return state.readBuffer != nullptr; });
}

int openDevices()
{
    Hold hold(lock);
    return state.openDevices;
}

} // namespace fake
