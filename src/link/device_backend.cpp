#include "link/device_backend.h"

#include <cstdlib>

#include "link/remote_unit.h"

namespace {

void listNothing(DeviceVisitor, void*) {}
DeviceHandle openNothing(const std::string&, bool) { return nullptr; }
void closeNothing(DeviceHandle) {}
bool noProductString(DeviceHandle, std::uint16_t*) { return false; }
IoStatus noRead(DeviceHandle, std::uint8_t*, LinkEvent**) { return IoStatus::failed; }
IoStatus noWrite(DeviceHandle, const std::uint8_t*, LinkEvent**) { return IoStatus::failed; }
bool noResult(DeviceHandle) { return false; }
void noCancel(DeviceHandle) {}

const DeviceBackend noDevices = {
    "none", listNothing, openNothing, closeNothing, noProductString,
    noRead, noWrite, noResult, noResult, noCancel,
};

const DeviceBackend* current = &noDevices;

} // namespace

const DeviceBackend& deviceBackend() { return *current; }

void setDeviceBackend(const DeviceBackend* backend)
{
    current = backend ? backend : &noDevices;
}

void selectDeviceBackend(const DeviceBackend* platformBackend)
{
    const char* endpoint = std::getenv("KAVIX_UNIT");
    if (endpoint && *endpoint) {
        setRemoteUnitEndpoint(endpoint);
        setDeviceBackend(&remoteUnitBackend);
        return;
    }
    setDeviceBackend(platformBackend);
}
