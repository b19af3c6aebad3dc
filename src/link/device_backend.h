#pragma once
#include <cstdint>
#include <string>

#include "link/link_event.h"

// How the link reaches a unit: the Windows HID class driver, or a remote unit
// (the simulator) over TCP. The link logic above this seam is the same for
// both.

struct DeviceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// Outcome of starting a 65-byte report read or write.
enum class IoStatus {
    done,     // completed at once
    pending,  // completes later: the completion event will be set (error 997)
    gone,     // the device is no longer connected (error 1167)
    failed,   // any other failure (also an invalid handle)
};

using DeviceHandle = void*;

// Called for each present device that could be opened; return false to end
// the listing.
using DeviceVisitor = bool (*)(void* context, const DeviceInfo& device);

struct DeviceBackend {
    const char* name;
    // Lists the present devices in enumeration order, skipping those that
    // cannot be opened or examined; leaves none of them open.
    void (*listDevices)(DeviceVisitor visit, void* context);
    // Opens a device by path for report I/O (overlapped) or only for the
    // product string; nullptr on failure.
    DeviceHandle (*open)(const std::string& path, bool forReports);
    void (*close)(DeviceHandle device);
    // Up to 128 UTF-16 code units of the product string, zero-terminated
    // (a 256-byte buffer, as the HID class driver fills it).
    bool (*productString)(DeviceHandle device, std::uint16_t* units128);
    // Starts one report transfer. For a pending one, *completion names the
    // device's own event for it: set once the transfer has finished, clear
    // until then (a start clears what an earlier transfer left), and alive
    // until the device is closed. One read and one write may be pending at
    // once.
    IoStatus (*startRead)(DeviceHandle device, std::uint8_t* report, LinkEvent** completion);
    IoStatus (*startWrite)(DeviceHandle device, const std::uint8_t* report, LinkEvent** completion);
    // The result of a finished pending read or write, without waiting.
    bool (*readResult)(DeviceHandle device);
    bool (*writeResult)(DeviceHandle device);
    // Gives up a pending write that its starter no longer waits for: the
    // device cancels it where it can; one it cannot cancel finishes later
    // into the device's own buffer and event, and keeps the write slot busy
    // until then.
    void (*cancelWrite)(DeviceHandle device);
};

// The backend that discovery and the link threads use. The default lists no
// device; the program selects its backend once at start-up.
const DeviceBackend& deviceBackend();
void setDeviceBackend(const DeviceBackend* backend);

// The program's choice: a remote unit when KAVIX_UNIT=host:port is set,
// otherwise the platform backend (HID on Windows; none elsewhere).
void selectDeviceBackend(const DeviceBackend* platformBackend);

// Vendor and product id of the control unit.
inline constexpr std::uint16_t unitVendorId = 0xC251;
inline constexpr std::uint16_t unitProductId = 0x1C01;
