#include "link/link_device.h"

#include <mutex>

namespace {
std::mutex deviceLock;
DeviceHandle deviceHandle = nullptr;
const DeviceBackend* deviceOwner = nullptr;
} // namespace

bool openLinkDevice(const std::string& path)
{
    const DeviceBackend& backend = deviceBackend();
    DeviceHandle opened = path.empty() ? nullptr : backend.open(path, true);
    std::lock_guard<std::mutex> hold(deviceLock);
    deviceHandle = opened;
    deviceOwner = &backend;
    return opened != nullptr;
}

void closeLinkDevice()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    if (deviceHandle)
        deviceOwner->close(deviceHandle);
    deviceHandle = nullptr;
}

IoStatus linkStartRead(std::uint8_t* report, LinkEvent* completion)
{
    std::lock_guard<std::mutex> hold(deviceLock);
    return deviceHandle ? deviceOwner->startRead(deviceHandle, report, completion) : ioFailed;
}

bool linkReadResult()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    return deviceHandle && deviceOwner->readResult(deviceHandle);
}

IoStatus linkStartWrite(const std::uint8_t* report, LinkEvent* completion)
{
    std::lock_guard<std::mutex> hold(deviceLock);
    return deviceHandle ? deviceOwner->startWrite(deviceHandle, report, completion) : ioFailed;
}

bool linkWriteResult()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    return deviceHandle && deviceOwner->writeResult(deviceHandle);
}

void linkCancelWrite()
{
    std::lock_guard<std::mutex> hold(deviceLock);
    if (deviceHandle)
        deviceOwner->cancelWrite(deviceHandle);
}
