#include "link/device_discovery.h"

#include "base/cp1252.h"
#include "link/device_backend.h"

std::string devicePath;

namespace {

bool takeFirstUnit(void* context, const DeviceInfo& device)
{
    if (device.vendorId != unitVendorId || device.productId != unitProductId)
        return true;
    *static_cast<std::string*>(context) = device.path;
    return false;
}

} // namespace

bool findDevice()
{
    devicePath.clear();
    std::string found;
    deviceBackend().listDevices(takeFirstUnit, &found);
    devicePath = found;
    return !devicePath.empty();
}

void productTextFromUnits(const std::uint16_t* units128, char out[productStringChars + 1])
{
    std::size_t count = 0;
    while (count < productStringChars && units128[count] != 0) {
        out[count] = cp1252FromUtf16(units128[count]);
        ++count;
    }
    out[count] = '\0';
}

bool readProductString(char out[productStringChars + 1])
{
    if (devicePath.empty())
        return false;
    const DeviceBackend& backend = deviceBackend();
    DeviceHandle device = backend.open(devicePath, false);
    if (!device)
        return false;
    std::uint16_t units[128] = {};
    const bool ok = backend.productString(device, units);
    units[127] = 0;
    if (ok)
        productTextFromUnits(units, out);
    backend.close(device);
    return ok;
}
