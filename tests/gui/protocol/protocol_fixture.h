#pragma once
// A started program with the counters, protocol-read and display windows and
// the save command linked in as in the program; a simulated unit served in
// the test process is reached as the program reaches it (KAVIX_UNIT).
#include "gui_harness.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/layout.h"
#include "app/ui_seams.h"
#include "app/window_table.h"
#include "link/device_backend.h"
#include "link/link_control.h"
#include "app/feature_link.h"
#include "protocol/protocol_display_window.h"
#include "protocol/protocol_read_window.h"
#include "protocol/protocol_save_command.h"
#include "protocol/run_counter_window.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "sim_unit.h"

class ProtocolTest : public ShellTest {
protected:
    void TearDown() override
    {
        ShellTest::TearDown();
        if (server_)
            stopSimServer(server_);
        _putenv("KAVIX_UNIT=");
        setDeviceBackend(nullptr);
        linkHooks.stopLink = nullptr;
        protocolSaveCommand = nullptr;
        setFileDialogHook(nullptr);
    }

    // A unit of the family ('K' or 'M') with its counters and a failure
    // protocol of the given number of entries, answering delayMs late.
    void attachUnit(char family, std::uint32_t entries, std::uint32_t delayMs = 0)
    {
        unit_ = std::make_unique<SimUnit>();
        SimOptions options = defaultSimOptions(family);
        options.faults.delayMs = delayMs;
        initSimUnit(*unit_, options);
        fillFamilyDataSets(store_, family, factoryConfiguration(family), entries);
        useBlockStore(*unit_, store_);
        server_ = startSimServer(*unit_, "127.0.0.1", 0);
        ASSERT_NE(server_, nullptr);
        _putenv(("KAVIX_UNIT=127.0.0.1:" + std::to_string(simServerPort(server_))).c_str());
    }

    // Changes the unit's data sets while it serves.
    template <typename Change>
    void changeUnit(Change change)
    {
        std::lock_guard<std::mutex> hold(unit_->lock);
        change(store_);
    }

    // Start-up as the program does it; then language and family.
    void startAs(int languageId, int familyId)
    {
        // Classes stay registered within the process, with the procedure of
        // the first start.
        for (int i = 2; i < windowClassCount; ++i)
            UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
        WindowProcTable features = {};   // indexed like windowClassTable
        features.procedure[4] = runCounterProcK;
        features.procedure[5] = runCounterProcM;
        features.procedure[6] = protocolReadProcK;
        features.procedure[7] = protocolReadProcM;
        features.procedure[8] = protocolDisplayProcK;
        features.procedure[9] = protocolDisplayProcM;
        ASSERT_NE(start(features), nullptr);
        protocolSaveCommand = saveProtocolCommand;
        linkHooks.stopLink = stopLink;
        prepareProgramLink();
        confirmSelection(languageId, familyId);
    }

    char family() const { return appState.family == 1 ? 'M' : 'K'; }
    // The family's window of a class ("Upload_CU" ...).
    HWND familyWindow(const char* classBase) const
    {
        return childOfClass(main(), (classBase + std::string(family() == 'M' ? "1" : "0")).c_str());
    }
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
    void closeWindow(HWND window)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        pumpUntil([window] { return !IsWindow(window); });
    }

    // Menu "Running Counter": its window, once the read at opening has ended
    // in a message box.
    HWND openCounters()
    {
        menuCommand(commandRunCounter);
        pumpUntil([] { return !recordedMessageBoxes().empty(); });
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
        return onlyMessageBox();
    }

    // The one message box shown since the last call.
    RecordedMessageBox onlyMessageBox()
    {
        std::vector<RecordedMessageBox> boxes;
        boxes.swap(recordedMessageBoxes());
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? RecordedMessageBox{} : boxes[0];
    }

    std::unique_ptr<SimUnit> unit_;
    SimBlockStore store_;
    SimServer* server_ = nullptr;
};

inline void expectBox(const RecordedMessageBox& box, const std::string& text, const char* caption, UINT icon)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.type & MB_ICONMASK, icon);
}

inline std::string fieldText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }
