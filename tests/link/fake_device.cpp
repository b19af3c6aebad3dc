#include "fake_device.h"

#include "link/link_events.h"

#include <chrono>
#include <cstring>

namespace fake {
namespace {

struct State {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<DeviceInfo> devices;
    bool openFails = false;
    std::vector<std::uint16_t> product;
    WriteMode writeMode = writeCompletes;
    ReadMode readMode = readWaits;
    std::deque<Report> input;
    std::vector<Report> written;
    bool unplugged = false;
    // The pending read, if any.
    std::uint8_t* readBuffer = nullptr;
    LinkEvent* readEvent = nullptr;
    bool readOk = false;
    int readStarts = 0;
    int opens = 0;
    int closes = 0;
    int handle = 0;
};

State state;

void listDevices(DeviceVisitor visit, void* context)
{
    std::vector<DeviceInfo> devices;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        devices = state.devices;
    }
    for (const DeviceInfo& device : devices)
        if (!visit(context, device))
            return;
}

DeviceHandle open(const std::string&, bool)
{
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.openFails || state.unplugged)
        return nullptr;
    ++state.opens;
    return &state.handle;
}

void close(DeviceHandle)
{
    LinkEvent* pending = nullptr;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        ++state.closes;
        if (state.readBuffer) {
            state.readBuffer = nullptr;
            state.readOk = false;
            pending = state.readEvent;
        }
    }
    if (pending)
        setEvent(*pending);
}

bool productString(DeviceHandle, std::uint16_t* units)
{
    std::lock_guard<std::mutex> hold(state.lock);
    std::memset(units, 0, 256);
    for (std::size_t i = 0; i < state.product.size() && i < 128; ++i)
        units[i] = state.product[i];
    return true;
}

IoStatus startRead(DeviceHandle, std::uint8_t* report, LinkEvent* completion)
{
    std::lock_guard<std::mutex> hold(state.lock);
    ++state.readStarts;
    state.changed.notify_all();
    if (state.unplugged)
        return ioGone;
    if (state.readMode == readFails)
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
    std::lock_guard<std::mutex> hold(state.lock);
    if (state.unplugged)
        return ioGone;
    switch (state.writeMode) {
    case writeCompletes:
        break;
    case writeFailsDuringStop:
        setEvent(linkStop);
        [[fallthrough]];
    case writeFails:
        state.written.push_back({});
        std::memcpy(state.written.back().bytes, report, reportSize);
        state.changed.notify_all();
        return ioFailed;
    case writeGone:
        return ioGone;
    case writeNeverCompletes:
        return ioPending;
    }
    state.written.push_back({});
    std::memcpy(state.written.back().bytes, report, reportSize);
    state.changed.notify_all();
    return ioDone;
}

bool readResult(DeviceHandle)
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.readOk;
}

bool writeResult(DeviceHandle) { return false; }

const DeviceBackend backend = {
    "fake", listDevices, open, close, productString, startRead, startWrite, readResult, writeResult,
};

} // namespace

void install()
{
    {
        std::lock_guard<std::mutex> hold(state.lock);
        state.devices.clear();
        state.openFails = false;
        state.product.clear();
        state.writeMode = writeCompletes;
        state.readMode = readWaits;
        state.input.clear();
        state.written.clear();
        state.unplugged = false;
        state.readBuffer = nullptr;
        state.readEvent = nullptr;
        state.readOk = false;
        state.readStarts = state.opens = state.closes = 0;
    }
    setDeviceBackend(&backend);
}

void uninstall() { setDeviceBackend(nullptr); }

void setDevices(std::vector<DeviceInfo> devices)
{
    std::lock_guard<std::mutex> hold(state.lock);
    state.devices = std::move(devices);
}

void setOpenFails(bool fails)
{
    std::lock_guard<std::mutex> hold(state.lock);
    state.openFails = fails;
}

void setProductUnits(const std::vector<std::uint16_t>& units)
{
    std::lock_guard<std::mutex> hold(state.lock);
    state.product = units;
}

void setWriteMode(WriteMode mode)
{
    std::lock_guard<std::mutex> hold(state.lock);
    state.writeMode = mode;
}

void setReadMode(ReadMode mode)
{
    std::lock_guard<std::mutex> hold(state.lock);
    state.readMode = mode;
}

void push(const std::uint8_t* report)
{
    LinkEvent* complete = nullptr;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        if (state.readBuffer) {
            std::memcpy(state.readBuffer, report, reportSize);
            state.readBuffer = nullptr;
            state.readOk = true;
            complete = state.readEvent;
        } else {
            state.input.push_back({});
            std::memcpy(state.input.back().bytes, report, reportSize);
        }
    }
    if (complete)
        setEvent(*complete);
}

void pushAnswer(std::uint8_t sequence, std::uint8_t code, const std::vector<std::uint8_t>& data)
{
    std::uint8_t report[reportSize] = {};
    report[1] = sequence;
    report[2] = code;
    for (std::size_t i = 0; i < data.size() && 4 + i < reportSize; ++i)
        report[4 + i] = data[i];
    push(report);
}

void unplug()
{
    LinkEvent* complete = nullptr;
    {
        std::lock_guard<std::mutex> hold(state.lock);
        state.unplugged = true;
        if (state.readBuffer) {
            state.readBuffer = nullptr;
            state.readOk = false;
            complete = state.readEvent;
        }
    }
    if (complete)
        setEvent(*complete);
}

std::vector<Report> writes()
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.written;
}

bool waitForWrites(std::size_t count, int timeoutMs)
{
    std::unique_lock<std::mutex> hold(state.lock);
    return state.changed.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                  [count] { return state.written.size() >= count; });
}

int readStarts()
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.readStarts;
}

int opens()
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.opens;
}

int closes()
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.closes;
}

std::size_t queued()
{
    std::lock_guard<std::mutex> hold(state.lock);
    return state.input.size();
}

bool waitForPendingRead(int timeoutMs)
{
    std::unique_lock<std::mutex> hold(state.lock);
    return state.changed.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                  [] { return state.readBuffer != nullptr; });
}

} // namespace fake
