#include "link/win/hid_backend.h"

#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "link/report_format.h"

namespace {

std::atomic<int> transferSetupFailures{0};

// How long a thread waits for a transfer it cancelled to settle. Windows
// cancels at once; Wine's HID class driver cannot cancel a write that the
// device still holds, and such a write is left to finish on its own.
constexpr DWORD settleMs = 100;

// One read or one write of an opened device. Everything the system writes
// when the transfer completes (OVERLAPPED, buffer, event) belongs to the
// device, so a transfer that outlives the thread that started it, or the
// device's handle, never completes into freed memory. The event is the
// OVERLAPPED's own: the link's threads wait on it directly, together with
// their other events. Manual reset, so that it stays set once the transfer
// has finished, for the link's wait and for the looks here alike.
struct Transfer {
    OVERLAPPED overlapped{};
    LinkEvent done{EventReset::manual};
    std::uint8_t* readTarget = nullptr;
    bool pending = false;            // started, result not taken yet
    std::uint8_t buffer[reportSize] = {};
};

struct HidDevice {
    HANDLE handle = INVALID_HANDLE_VALUE;
    Transfer read, write;
};

// Closed devices with a transfer still running, freed once it has finished.
std::mutex parkedLock;
std::vector<HidDevice*> parked;

// The errors a handle gets once its device has been removed: 1167 from
// Windows; Wine completes and fails the I/O of a removed HID device with
// access denied (STATUS_DELETE_PENDING, STATUS_FILE_DELETED). A handle that
// was opened for reading and writing is denied nothing else.
bool deviceGoneError(DWORD error)
{
    return error == ERROR_DEVICE_NOT_CONNECTED || error == ERROR_ACCESS_DENIED || error == ERROR_DEV_NOT_EXIST ||
           error == ERROR_DEVICE_REMOVED;
}

bool finished(const Transfer& transfer, DWORD waitMs)
{
    return !transfer.pending || WaitForSingleObject(transfer.done.handle, waitMs) == WAIT_OBJECT_0;
}

// Drops the result of a finished transfer that nobody collects.
void discard(HidDevice* device, Transfer& transfer)
{
    DWORD moved = 0;
    GetOverlappedResult(device->handle, &transfer.overlapped, &moved, FALSE);
    transfer.pending = false;
}

// Cancels a running transfer and waits a little for it; false if it is
// still running (it then stays in its slot).
bool cancelAndSettle(HidDevice* device, Transfer& transfer)
{
    if (!transfer.pending)
        return true;
    CancelIoEx(device->handle, &transfer.overlapped);
    if (!finished(transfer, settleMs))
        return false;
    discard(device, transfer);
    return true;
}

void sweepParked()
{
    std::lock_guard<std::mutex> hold(parkedLock);
    for (std::size_t i = 0; i < parked.size();) {
        HidDevice* device = parked[i];
        if (finished(device->read, 0) && finished(device->write, 0)) {
            delete device;
            parked[i] = parked.back();
            parked.pop_back();
        } else {
            ++i;
        }
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
    sweepParked();
    HANDLE handle = openPath(path.c_str(), forReports ? FILE_FLAG_OVERLAPPED : 0);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    auto* device = new HidDevice;
    device->handle = handle;
    if (forReports && (!device->read.done.handle || !device->write.done.handle ||
                       (transferSetupFailures > 0 && transferSetupFailures-- > 0))) {
        CloseHandle(handle);
        delete device;
        return nullptr;
    }
    return device;
}

void closeHid(DeviceHandle handle)
{
    auto* device = static_cast<HidDevice*>(handle);
    if (!device)
        return;
    const bool readSettled = cancelAndSettle(device, device->read);
    const bool writeSettled = cancelAndSettle(device, device->write);
    CloseHandle(device->handle);
    device->handle = INVALID_HANDLE_VALUE;
    if (readSettled && writeSettled) {
        delete device;
    } else {
        std::lock_guard<std::mutex> hold(parkedLock);
        parked.push_back(device);
    }
    sweepParked();
}

bool hidProductString(DeviceHandle handle, std::uint16_t* units128)
{
    auto* device = static_cast<HidDevice*>(handle);
    std::memset(units128, 0, 256);
    return HidD_GetProductString(device->handle, units128, 256) != FALSE;
}

IoStatus start(HidDevice* device, Transfer& transfer, std::uint8_t* readTarget, const std::uint8_t* report,
               LinkEvent** completion)
{
    if (transfer.pending) {
        // The last transfer of this kind was given up while it ran: its slot
        // is free again only once it has finished.
        if (!finished(transfer, 0))
            return IoStatus::failed;
        discard(device, transfer);
    }
    // A wait on the event sees only this transfer's end.
    resetEvent(transfer.done);
    std::memset(&transfer.overlapped, 0, sizeof transfer.overlapped);
    transfer.overlapped.hEvent = transfer.done.handle;
    if (report)
        std::memcpy(transfer.buffer, report, reportSize);
    const BOOL done = readTarget ? ReadFile(device->handle, transfer.buffer, reportSize, nullptr, &transfer.overlapped)
                                 : WriteFile(device->handle, transfer.buffer, reportSize, nullptr, &transfer.overlapped);
    if (done) {
        if (readTarget)
            std::memcpy(readTarget, transfer.buffer, reportSize);
        return IoStatus::done;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING)
        return deviceGoneError(error) ? IoStatus::gone : IoStatus::failed;
    transfer.pending = true;
    transfer.readTarget = readTarget;
    *completion = &transfer.done;
    return IoStatus::pending;
}

IoStatus hidStartRead(DeviceHandle handle, std::uint8_t* report, LinkEvent** completion)
{
    auto* device = static_cast<HidDevice*>(handle);
    return start(device, device->read, report, nullptr, completion);
}

IoStatus hidStartWrite(DeviceHandle handle, const std::uint8_t* report, LinkEvent** completion)
{
    auto* device = static_cast<HidDevice*>(handle);
    return start(device, device->write, nullptr, report, completion);
}

bool result(HidDevice* device, Transfer& transfer)
{
    if (!transfer.pending)
        return false;
    DWORD moved = 0;
    const bool ok = GetOverlappedResult(device->handle, &transfer.overlapped, &moved, FALSE) != FALSE;
    if (!ok && GetLastError() == ERROR_IO_INCOMPLETE)
        return false;
    transfer.pending = false;
    if (ok && transfer.readTarget)
        std::memcpy(transfer.readTarget, transfer.buffer, reportSize);
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

void hidCancelWrite(DeviceHandle handle)
{
    auto* device = static_cast<HidDevice*>(handle);
    cancelAndSettle(device, device->write);
}

} // namespace

const DeviceBackend hidBackend = {
    "hid", listHid, openHid, closeHid, hidProductString,
    hidStartRead, hidStartWrite, hidReadResult, hidWriteResult, hidCancelWrite,
};

void failHidTransferSetups(int count)
{
    transferSetupFailures = count;
}

std::size_t parkedHidDevices()
{
    sweepParked();
    std::lock_guard<std::mutex> hold(parkedLock);
    return parked.size();
}
