#pragma once
// The whole program on its real USB path under Wine: the HID backend (no
// KAVIX_UNIT) finds and drives simulated units that the virtual USB bus
// plugs in. The units are served in the test process; a decoy of another
// vendor sits on the bus beside them.
#include "gui_harness.h"

#include <cstring>

#include "app/layout.h"

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim_blocks.h"
#include "sim_server.h"
#include "sim_unit.h"

// A simulated unit served on a loopback port for the bus to connect to.
struct ServedUnit {
    std::unique_ptr<SimUnit> unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::string endpoint;

    void start(char family, std::uint32_t protocolEntries, void (*adjust)(SimOptions&) = nullptr);
    void stop();
    std::uint32_t requestsSeen();
};

inline constexpr std::uint16_t decoyVendorId = 0x1209;

// The simulated units and the bus are set up once for the whole run.
class UsbTest : public ShellTest {
protected:
    void TearDown() override;

    // The bus carries the decoy and this unit; waits until the program's
    // own discovery finds the unit.
    static void plug(ServedUnit& unit);
    // True once the unit (vendor 0xC251) is among the HID devices, or gone.
    static bool waitForUnit(bool present, int timeoutMs = 20000);

    // The program as WinMain starts it; then language and family.
    void startProgram(int languageId, int familyId);
    HWND familyWindow(const char* classBase) const;
    void closeWindow(HWND window);

    static void setUpUnits();
    static void tearDownUnits();
    friend class UsbEnvironment;

    static ServedUnit unitK;
    static ServedUnit unitM;
    static ServedUnit decoy;
    static ServedUnit* plugged;
};

// Threads and handles of this process, for leak checks.
int processThreadCount();
int processHandleCount();
