#include "link/link_device.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

std::mutex deviceLock;
DeviceHandle deviceHandle = nullptr;
const DeviceBackend* deviceOwner = nullptr;
// The device's events of the pending read and write; null while none is.
LinkEvent* readCompletion = nullptr;
LinkEvent* writeCompletion = nullptr;
// Threads in a wait on one of those events. The device owns them, so it is
// closed only once these waits are through.
int waitsUnderWay = 0;
std::condition_variable waitsEnded;

int awaitTransfer(LinkEvent* const& completion, LinkEvent* stop, int timeoutMs)
{
    LinkEvent* transfer = nullptr;
    {
        std::lock_guard<std::mutex> hold(deviceLock);
        transfer = completion;
        waitsUnderWay += transfer != nullptr;
    }
    if (!transfer) {
        if (stop)
            return waitForEvent(*stop, timeoutMs) ? 1 : waitTimedOut;
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return waitTimedOut;
    }
    LinkEvent* const events[2] = {transfer, stop};
    const int woke = waitForAny(events, stop ? 2 : 1, timeoutMs);
    std::lock_guard<std::mutex> hold(deviceLock);
    if (--waitsUnderWay == 0)
        waitsEnded.notify_all();
    return woke;
}

} // namespace

bool openLinkDevice(const std::string& path)
{
    const DeviceBackend& backend = deviceBackend();
    DeviceHandle opened = path.empty() ? nullptr : backend.open(path, true);
    std::lock_guard<std::mutex> hold(deviceLock);
    deviceHandle = opened;
    deviceOwner = &backend;
    readCompletion = writeCompletion = nullptr;
    return opened != nullptr;
}

void closeLinkDevice()
{
    std::unique_lock<std::mutex> hold(deviceLock);
    DeviceHandle closing = deviceHandle;
    deviceHandle = nullptr;
    readCompletion = writeCompletion = nullptr;
    waitsEnded.wait(hold, [] { return waitsUnderWay == 0; });
    if (closing)
        deviceOwner->close(closing);
}

IoStatus linkStartRead(std::uint8_t* report)
{
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!deviceHandle)
        return IoStatus::failed;
    LinkEvent* completion = nullptr;
    const IoStatus status = deviceOwner->startRead(deviceHandle, report, &completion);
    readCompletion = status == IoStatus::pending ? completion : nullptr;
    return status;
}

bool linkReadResult()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    readCompletion = nullptr;
    return deviceHandle && deviceOwner->readResult(deviceHandle);
}

IoStatus linkStartWrite(const std::uint8_t* report)
{
    std::lock_guard<std::mutex> hold(deviceLock);
    if (!deviceHandle)
        return IoStatus::failed;
    LinkEvent* completion = nullptr;
    const IoStatus status = deviceOwner->startWrite(deviceHandle, report, &completion);
    writeCompletion = status == IoStatus::pending ? completion : nullptr;
    return status;
}

bool linkWriteResult()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    writeCompletion = nullptr;
    return deviceHandle && deviceOwner->writeResult(deviceHandle);
}

void linkCancelWrite()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    writeCompletion = nullptr;
    if (deviceHandle)
        deviceOwner->cancelWrite(deviceHandle);
}

int linkAwaitRead(LinkEvent* stop, int timeoutMs)
{
    return awaitTransfer(readCompletion, stop, timeoutMs);
}

int linkAwaitWrite(LinkEvent* stop, int timeoutMs)
{
    return awaitTransfer(writeCompletion, stop, timeoutMs);
}

int linkDeviceWaits()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    return waitsUnderWay;
}
