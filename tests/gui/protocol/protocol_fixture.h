#pragma once
// The counters, protocol-read and display windows and the save command in
// the started program.
#include "gui_harness.h"

#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "sim_data_sets.h"

class ProtocolTest : public ProgramTest {
protected:
    // A unit of the family with its counters and a failure protocol of so
    // many entries, answering delayMs late.
    void attachUnit(char family, std::uint32_t entries, std::uint32_t delayMs = 0)
    {
        serveUnit(family, entries);
        changeUnit([delayMs](SimUnit& unit, SimBlockStore&) { unit.options.faults.delayMs = delayMs; });
    }

    char family() const { return appState.family == 1 ? 'M' : 'K'; }
    HWND display() const { return familyWindow("ProtDisplay_CU"); }
    bool displayOpens()
    {
        return pumpUntil([this] { return display() != nullptr; });
    }

    // count entries of the family in protocolBuffer, as a good read leaves them.
    void loadProtocol(std::uint32_t count)
    {
        const std::vector<std::uint8_t> bytes = failureProtocol(family(), count);
        std::memcpy(protocolBuffer, bytes.data(), bytes.size());
        appState.protocolCount = static_cast<std::int32_t>(count);
        appState.protocolAvailable = 1;
    }
    HWND openDisplay()
    {
        menuCommand(commandProtocolDisplay);
        return display();
    }

    // Menu "Running Counter": its window, once the read at opening has ended
    // in a message box.
    HWND openCounters()
    {
        menuCommand(commandRunCounter);
        waitForMessageBoxes(1);
        return familyWindow("RunCounter_CU");
    }
    // Menu "Failure Protocol -> Read": its window, nullptr if gone already.
    HWND startProtocolRead()
    {
        menuCommand(commandProtocolRead);
        return familyWindow("Upload_CU");
    }
    bool readWindowGone()
    {
        return pumpUntil([this] { return familyWindow("Upload_CU") == nullptr; }, 10000);
    }
    // A whole read; the one message box it ends with.
    RecordedMessageBox readProtocol()
    {
        startProtocolRead();
        EXPECT_TRUE(readWindowGone());
        return takeBoxes(1)[0];
    }
};

inline std::string fieldText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }
