#include "link/win/hid_backend.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <cstdlib>
#include <cstring>

#include "link/reports.h"

namespace {

// One opened device. A pending overlapped read or write signals its own
// kernel event; a registered wait turns that into the link's portable event.
struct HidDevice {
    HANDLE handle = INVALID_HANDLE_VALUE;
    struct Transfer {
        OVERLAPPED overlapped{};
        HANDLE kernelEvent = nullptr;
        HANDLE wait = nullptr;
        LinkEvent* completion = nullptr;
        bool pending = false;
        std::uint8_t buffer[reportSize] = {};
    } read, write;
};

void CALLBACK transferDone(void* context, BOOLEAN)
{
    auto* transfer = static_cast<HidDevice::Transfer*>(context);
    setEvent(*transfer->completion);
}

// Ends the registered wait of a finished or cancelled transfer.
void endWait(HidDevice::Transfer& transfer)
{
    if (transfer.wait) {
        UnregisterWaitEx(transfer.wait, INVALID_HANDLE_VALUE);
        transfer.wait = nullptr;
    }
}

HANDLE openPath(const char* path, DWORD flags)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, flags, nullptr);
}

void listHid(DeviceVisitor visit, void* context)
{
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    HDEVINFO list = SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE)
        return;
    SP_DEVICE_INTERFACE_DATA interfaceData;
    interfaceData.cbSize = sizeof interfaceData;
    SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail = nullptr;
    bool goOn = true;
    for (DWORD index = 0; goOn && SetupDiEnumDeviceInterfaces(list, nullptr, &hidClass, index, &interfaceData);
         ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, nullptr, 0, &size, nullptr);
        std::free(detail);
        detail = size >= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
                     ? static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(std::malloc(size))
                     : nullptr;
        if (!detail)
            continue;
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, detail, size, nullptr, nullptr))
            continue;
        HANDLE device = openPath(detail->DevicePath, 0);
        if (device == INVALID_HANDLE_VALUE)
            continue;
        HIDD_ATTRIBUTES attributes;
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(device, &attributes))
            attributes.VendorID = attributes.ProductID = 0;
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        if (!HidD_GetPreparsedData(device, &preparsed)) {
            CloseHandle(device);
            continue;
        }
        HIDP_CAPS capabilities;
        HidP_GetCaps(preparsed, &capabilities);
        HidD_FreePreparsedData(preparsed);
        CloseHandle(device);
        DeviceInfo info;
        info.path = detail->DevicePath;
        info.vendorId = attributes.VendorID;
        info.productId = attributes.ProductID;
        goOn = visit(context, info);
    }
    std::free(detail);
    SetupDiDestroyDeviceInfoList(list);
}

DeviceHandle openHid(const std::string& path, bool forReports)
{
    HANDLE handle = openPath(path.c_str(), forReports ? FILE_FLAG_OVERLAPPED : 0);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    auto* device = new HidDevice;
    device->handle = handle;
    device->read.kernelEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    device->write.kernelEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return device;
}

void cancelPending(HidDevice* device, HidDevice::Transfer& transfer)
{
    if (!transfer.pending)
        return;
    DWORD moved = 0;
    GetOverlappedResult(device->handle, &transfer.overlapped, &moved, TRUE);
    transfer.pending = false;
}

void closeHid(DeviceHandle handle)
{
    auto* device = static_cast<HidDevice*>(handle);
    if (!device)
        return;
    CancelIo(device->handle);
    cancelPending(device, device->read);
    cancelPending(device, device->write);
    endWait(device->read);
    endWait(device->write);
    CloseHandle(device->handle);
    CloseHandle(device->read.kernelEvent);
    CloseHandle(device->write.kernelEvent);
    delete device;
}

bool hidProductString(DeviceHandle handle, std::uint16_t* units128)
{
    auto* device = static_cast<HidDevice*>(handle);
    std::memset(units128, 0, 256);
    return HidD_GetProductString(device->handle, units128, 256) != FALSE;
}

IoStatus start(HidDevice* device, HidDevice::Transfer& transfer, bool reading, std::uint8_t* target,
               LinkEvent* completion)
{
    endWait(transfer);
    ResetEvent(transfer.kernelEvent);
    std::memset(&transfer.overlapped, 0, sizeof transfer.overlapped);
    transfer.overlapped.hEvent = transfer.kernelEvent;
    transfer.completion = completion;
    const BOOL done = reading ? ReadFile(device->handle, target, reportSize, nullptr, &transfer.overlapped)
                              : WriteFile(device->handle, transfer.buffer, reportSize, nullptr, &transfer.overlapped);
    if (done)
        return ioDone;
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        transfer.pending = true;
        if (!RegisterWaitForSingleObject(&transfer.wait, transfer.kernelEvent, transferDone, &transfer,
                                         INFINITE, WT_EXECUTEONLYONCE | WT_EXECUTEINWAITTHREAD))
            transfer.wait = nullptr;
        return ioPending;
    }
    if (error == ERROR_DEVICE_NOT_CONNECTED)
        return ioGone;
    return ioFailed;
}

IoStatus hidStartRead(DeviceHandle handle, std::uint8_t* report, LinkEvent* completion)
{
    auto* device = static_cast<HidDevice*>(handle);
    return start(device, device->read, true, report, completion);
}

IoStatus hidStartWrite(DeviceHandle handle, const std::uint8_t* report, LinkEvent* completion)
{
    auto* device = static_cast<HidDevice*>(handle);
    std::memcpy(device->write.buffer, report, reportSize);
    return start(device, device->write, false, nullptr, completion);
}

bool result(HidDevice* device, HidDevice::Transfer& transfer)
{
    DWORD moved = 0;
    const bool ok = GetOverlappedResult(device->handle, &transfer.overlapped, &moved, FALSE) != FALSE;
    if (ok || GetLastError() != ERROR_IO_INCOMPLETE) {
        transfer.pending = false;
        endWait(transfer);
    }
    return ok;
}

bool hidReadResult(DeviceHandle handle)
{
    auto* device = static_cast<HidDevice*>(handle);
    return result(device, device->read);
}

bool hidWriteResult(DeviceHandle handle)
{
    auto* device = static_cast<HidDevice*>(handle);
    return result(device, device->write);
}

} // namespace

const DeviceBackend hidBackend = {
    "hid", listHid, openHid, closeHid, hidProductString,
    hidStartRead, hidStartWrite, hidReadResult, hidWriteResult,
};
