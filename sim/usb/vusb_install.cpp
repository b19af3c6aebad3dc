#include "vusb_install.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <devguid.h>
#include <newdev.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include "virtual_usb.h"


namespace {

const GUID controlGuid = VUSB_CONTROL_GUID_INIT;
const GUID noClass = {};

std::string lastError(const char* what)
{
    return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

// REG_MULTI_SZ of the endpoints, and the same as the bus's control request
// takes it (ASCII).
std::wstring wideList(const std::vector<std::string>& endpoints)
{
    std::wstring list;
    for (const std::string& endpoint : endpoints) {
        list.append(endpoint.begin(), endpoint.end());
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

std::string narrowList(const std::vector<std::string>& endpoints)
{
    std::string list;
    for (const std::string& endpoint : endpoints) {
        list += endpoint;
        list.push_back('\0');
    }
    list.push_back('\0');
    return list;
}

// The path of the first interface of the class that is present.
std::wstring interfacePath(const GUID& interfaceClass)
{
    std::wstring path;
    HDEVINFO set = SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr, DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return path;
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof data;
    if (SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClass, 0, &data)) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr);
        std::vector<std::uint8_t> buffer(size + sizeof(WCHAR));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (size && SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr))
            path = detail->DevicePath;
    }
    SetupDiDestroyDeviceInfoList(set);
    return path;
}

// A bus that has just been installed starts in the driver host a moment
// later.
constexpr int busStartMs = 5000;

bool controlBus(DWORD code, const void* input, DWORD size, std::string& error)
{
    std::wstring path = interfacePath(controlGuid);
    for (int waited = 0; path.empty() && waited < busStartMs; waited += 50) {
        Sleep(50);
        path = interfacePath(controlGuid);
    }
    if (path.empty()) {
        error = "the virtual USB bus is not running";
        return false;
    }
    HANDLE bus = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (bus == INVALID_HANDLE_VALUE) {
        error = lastError("opening the virtual USB bus");
        return false;
    }
    DWORD returned = 0;
    const bool ok = DeviceIoControl(bus, code, const_cast<void*>(input), size, nullptr, 0, &returned, nullptr);
    if (!ok)
        error = lastError("controlling the virtual USB bus");
    CloseHandle(bus);
    return ok;
}

// Opens the bus device's record, creating and registering it when asked.
bool openBusDevice(HDEVINFO set, SP_DEVINFO_DATA& device, bool create, std::string& error)
{
    device.cbSize = sizeof device;
    if (SetupDiOpenDeviceInfoW(set, VUSB_BUS_INSTANCE_ID, nullptr, 0, &device))
        return true;
    if (!create) {
        error = "not installed";
        return false;
    }
    static const wchar_t hardwareIds[] = VUSB_BUS_HARDWARE_ID L"\0";
    if (!SetupDiCreateDeviceInfoW(set, VUSB_BUS_INSTANCE_ID, &noClass, nullptr, nullptr, 0, &device)) {
        error = lastError("creating the bus device");
        return false;
    }
    if (!SetupDiSetDeviceRegistryPropertyW(set, &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(hardwareIds), sizeof hardwareIds) ||
        !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device)) {
        error = lastError("registering the bus device");
        return false;
    }
    return true;
}

bool storeEndpoints(HDEVINFO set, SP_DEVINFO_DATA& device, const std::vector<std::string>& endpoints,
                    std::string& error)
{
    HKEY key = SetupDiCreateDevRegKeyW(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (key == INVALID_HANDLE_VALUE) {
        error = lastError("opening the bus's parameters");
        return false;
    }
    const std::wstring list = wideList(endpoints);
    const LONG result = RegSetValueExW(key, VUSB_ENDPOINTS_VALUE, 0, REG_MULTI_SZ,
                                       reinterpret_cast<const BYTE*>(list.data()),
                                       static_cast<DWORD>(list.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        error = "storing the endpoints failed (error " + std::to_string(result) + ")";
        return false;
    }
    return true;
}

} // namespace

bool installVirtualUsb(const std::wstring& folder, const std::vector<std::string>& endpoints, std::string& error)
{
    if (endpoints.size() > VUSB_MAX_UNITS) {
        error = "at most " + std::to_string(VUSB_MAX_UNITS) + " units";
        return false;
    }
    for (const std::string& endpoint : endpoints) {
        if (endpoint.empty() || endpoint.size() > VUSB_MAX_ENDPOINT || endpoint.find(':') == std::string::npos) {
            error = "not an endpoint (HOST:PORT): " + endpoint;
            return false;
        }
    }
    const std::wstring inf = folder + L"\\kavixvusb.inf";
    if (GetFileAttributesW(inf.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "kavixvusb.inf is not beside the installer";
        return false;
    }
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
        error = lastError("SetupDiCreateDeviceInfoList");
        return false;
    }
    SP_DEVINFO_DATA device;
    bool ok = openBusDevice(set, device, true, error) && storeEndpoints(set, device, endpoints, error);
    SetupDiDestroyDeviceInfoList(set);
    if (!ok)
        return false;
    BOOL reboot = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, VUSB_BUS_HARDWARE_ID, inf.c_str(), INSTALLFLAG_FORCE, &reboot)) {
        error = lastError("installing the drivers");
        return false;
    }
    // A bus that was already running keeps its units until told.
    const std::string list = narrowList(endpoints);
    return controlBus(IOCTL_VUSB_SET_ENDPOINTS, list.data(), static_cast<DWORD>(list.size()), error);
}

bool removeVirtualUsb(std::string& error)
{
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) {
        error = lastError("SetupDiCreateDeviceInfoList");
        return false;
    }
    SP_DEVINFO_DATA device;
    std::string ignored;
    bool ok = true;
    if (openBusDevice(set, device, false, ignored) && !SetupDiRemoveDevice(set, &device)) {
        error = lastError("removing the bus device");
        ok = false;
    }
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

bool setVirtualUsbWriteDelay(std::uint32_t delayMs, std::string& error)
{
    const ULONG value = delayMs;
    return controlBus(IOCTL_VUSB_SET_WRITE_DELAY, &value, sizeof value, error);
}

std::vector<HidDeviceEntry> presentHidDevices()
{
    std::vector<HidDeviceEntry> devices;
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    HDEVINFO set = SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_DEVICEINTERFACE | DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return devices;
    SP_DEVICE_INTERFACE_DATA data;
    data.cbSize = sizeof data;
    for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set, nullptr, &hidClass, index, &data); ++index) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr);
        std::vector<std::uint8_t> buffer(size + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!size || !SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, nullptr, nullptr))
            continue;
        HidDeviceEntry entry;
        entry.path = detail->DevicePath;
        HANDLE handle = CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            HIDD_ATTRIBUTES attributes;
            attributes.Size = sizeof attributes;
            if (HidD_GetAttributes(handle, &attributes)) {
                entry.vendorId = attributes.VendorID;
                entry.productId = attributes.ProductID;
            }
            wchar_t product[128] = {};
            if (HidD_GetProductString(handle, product, sizeof product - sizeof(wchar_t)))
                for (const wchar_t* at = product; *at; ++at)
                    entry.product.push_back(*at < 0x100 ? static_cast<char>(*at) : '?');
            CloseHandle(handle);
        }
        devices.push_back(entry);
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

std::string wineSidePath(const std::string& path)
{
    std::string result = !path.empty() && path[0] == '/' ? "Z:" + path : path;
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

std::wstring wineSidePathW(const std::string& path)
{
    const std::string narrow = wineSidePath(path);
    return std::wstring(narrow.begin(), narrow.end());
}
