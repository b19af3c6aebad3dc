#pragma once
// The whole program on its real USB path under Wine: the HID backend (no
// KAVIX_UNIT) finds and drives simulated units that the virtual USB bus
// plugs in. The units are served in the test process; a decoy of another
// vendor sits on the bus beside them.
#include "gui_harness.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>

inline constexpr std::uint16_t decoyVendorId = 0x1209;

// The simulated units and the bus are set up once for the whole run.
class UsbTest : public ProgramTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The bus carries the decoy and this unit; waits until the program's
    // own discovery finds the unit.
    static void plug(ServedUnit& unit);
    // True once the unit (vendor 0xC251) is among the HID devices, or gone.
    static bool waitForUnit(bool present, int timeoutMs = 20000);
    // How late the virtual unit completes each output report (ms).
    static void writeDelay(unsigned ms);

    // In a K-Series monitor that polls unitK: manual control on, the first
    // output (the blower) switched on and off again, each seen at the unit.
    void switchFirstOutputByHand(HWND monitor);

    // The program as WinMain starts it, on the HID backend; then language
    // and family.
    void startOnUsb(int languageId, int familyId);

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
