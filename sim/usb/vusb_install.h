#pragma once
// Windows only: installs, configures and removes the virtual USB unit in the
// running Wine prefix (or on Windows with test-signed drivers).
#include <cstdint>
#include <string>
#include <vector>

// Installs the bus from the INF and drivers in folder (if it is not there
// yet) and plugs one unit per endpoint ("host:port"), replacing the units of
// an earlier install. false with a message in error.
bool installVirtualUsb(const std::wstring& folder, const std::vector<std::string>& endpoints, std::string& error);

// Removes the bus device: every unit on it is unplugged. true also when it
// was not installed.
bool removeVirtualUsb(std::string& error);

// Holds every output report for delayMs before the units take it
// (stalledWrites: until changed again); applies to the running bus only.
inline constexpr std::uint32_t stalledWrites = 0xFFFFFFFFu;
bool setVirtualUsbWriteDelay(std::uint32_t delayMs, std::string& error);

struct HidDeviceEntry {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string product;
};

// The HID devices present now, in enumeration order.
std::vector<HidDeviceEntry> presentHidDevices();

// A path of the Linux build tree as a program under Wine names it ("/a/b"
// becomes "Z:\\a\\b"); a Windows path stays as it is.
std::string wineSidePath(const std::string& path);
std::wstring wineSidePathW(const std::string& path);
