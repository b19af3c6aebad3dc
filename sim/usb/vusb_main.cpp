// kavix-vusb: installs the virtual USB unit into the current Wine prefix.
//   kavix-vusb install HOST:PORT [HOST:PORT ...]   plug one unit per endpoint
//   kavix-vusb remove                              unplug them all, remove the bus
//   kavix-vusb list                                the HID devices present
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vusb_install.h"

namespace {

int usage()
{
    std::fputs("usage: kavix-vusb install HOST:PORT [HOST:PORT ...] | remove | list\n", stderr);
    return 2;
}

std::wstring ownFolder()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path, length);
    const std::size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    std::string error;
    if (command == "install" && argc >= 3) {
        std::vector<std::string> endpoints(argv + 2, argv + argc);
        if (!installVirtualUsb(ownFolder(), endpoints, error)) {
            std::fprintf(stderr, "kavix-vusb: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "remove" && argc == 2) {
        if (!removeVirtualUsb(error)) {
            std::fprintf(stderr, "kavix-vusb: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (command == "list" && argc == 2) {
        for (const HidDeviceEntry& device : presentHidDevices())
            std::printf("%04X:%04X  %s  %s\n", device.vendorId, device.productId, device.product.c_str(),
                        device.path.c_str());
        return 0;
    }
    return usage();
}
