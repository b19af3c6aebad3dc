#pragma once
// The counters and protocol-read windows against a simulated unit served in
// the test process, reached as the program reaches it (KAVIX_UNIT), with the
// display windows and the save command linked in as in the program.
#include "protocol_window_fixture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim_blocks.h"
#include "sim_server.h"
#include "sim_unit.h"

class ProtocolLinkTest : public ProtocolWindowTest {
protected:
    void TearDown() override;

    // A unit of the family ('K' or 'M') with its counters and a failure
    // protocol of the given number of entries.
    void attachUnit(char family, std::uint32_t protocolEntries, std::uint32_t answerDelayMs = 0);
    SimUnit& unit() { return *unit_; }
    // The unit's data sets; change them under unit().lock.
    SimBlockStore& store() { return store_; }

    // Starts with every protocol window, prepares the link as the program
    // does and confirms language and family.
    void startLinked(int languageId, int familyId);

    // Menu "Running Counter"; waits for the read posted at opening to end
    // in a message box. The counters window of the family.
    HWND openCounters();
    // Read again with the window's Read button and wait for its message box.
    void readCountersAgain(HWND counters);
    // Menu "Failure Protocol -> Read" (the window of the family, nullptr if
    // it is gone already).
    HWND startProtocolRead();
    // Waits until the protocol-read window has closed.
    bool readWindowGone();

    std::vector<RecordedMessageBox> takeMessageBoxes();
    bool isFamilyM() const { return appState.family == 1; }

    std::unique_ptr<SimUnit> unit_;
    SimBlockStore store_;
    SimServer* server_ = nullptr;
};

std::string fieldText(HWND window, int id);
