#include "protocol_link_fixture.h"

#include <cstdlib>

#include "app/window_table.h"
#include "link/device_backend.h"
#include "link/link_control.h"
#include "link/win/feature_link.h"
#include "protocol/protocol_display_window.h"
#include "protocol/protocol_read_window.h"
#include "protocol/protocol_save_command.h"
#include "protocol/run_counter_window.h"
#include "sim_data_sets.h"

namespace {

void unregisterFeatureClasses()
{
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}

} // namespace

std::string fieldText(HWND window, int id) { return windowText(GetDlgItem(window, id)); }

void ProtocolLinkTest::attachUnit(char family, std::uint32_t protocolEntries, std::uint32_t answerDelayMs)
{
    unit_ = std::make_unique<SimUnit>();
    SimOptions options = defaultSimOptions(family);
    options.faults.delayMs = answerDelayMs;
    initSimUnit(*unit_, options);
    fillFamilyDataSets(store_, family, factoryConfiguration(family), protocolEntries);
    useBlockStore(*unit_, store_);
    server_ = startSimServer(*unit_, "127.0.0.1", 0);
    ASSERT_NE(server_, nullptr);
    const std::string setting = "KAVIX_UNIT=127.0.0.1:" + std::to_string(simServerPort(server_));
    _putenv(setting.c_str());
}

void ProtocolLinkTest::TearDown()
{
    ProtocolWindowTest::TearDown();
    if (server_)
        stopSimServer(server_);
    server_ = nullptr;
    _putenv("KAVIX_UNIT=");
    setDeviceBackend(nullptr);
    linkHooks.stopLink = nullptr;
}

void ProtocolLinkTest::startLinked(int languageId, int familyId)
{
    unregisterFeatureClasses();
    // Indexed like windowClassTable: RunCounter, Upload, ProtDisplay.
    WindowProcTable features = {};
    features.procedure[4] = runCounterProcK;
    features.procedure[5] = runCounterProcM;
    features.procedure[6] = protocolReadProcK;
    features.procedure[7] = protocolReadProcM;
    features.procedure[8] = protocolDisplayProcK;
    features.procedure[9] = protocolDisplayProcM;
    ASSERT_NE(start(features), nullptr);
    protocolSaveCommand = saveProtocolCommand;
    // What the program's start-up does: events, the backend KAVIX_UNIT
    // chooses, notifications to the feature window.
    linkHooks.stopLink = stopLink;
    prepareProgramLink();
    confirmSelection(languageId, familyId);
}

HWND ProtocolLinkTest::openCounters()
{
    menuCommand(commandRunCounter);
    pumpUntil([] { return !recordedMessageBoxes().empty(); });
    return childOfClass(main(), isFamilyM() ? "RunCounter_CU1" : "RunCounter_CU0");
}

void ProtocolLinkTest::readCountersAgain(HWND counters)
{
    click(counters, isFamilyM() ? 66 : 12);
    pumpUntil([] { return !recordedMessageBoxes().empty(); });
}

HWND ProtocolLinkTest::startProtocolRead()
{
    menuCommand(commandProtocolRead);
    return childOfClass(main(), isFamilyM() ? "Upload_CU1" : "Upload_CU0");
}

bool ProtocolLinkTest::readWindowGone()
{
    const char* name = isFamilyM() ? "Upload_CU1" : "Upload_CU0";
    return pumpUntil([this, name] { return childOfClass(main(), name) == nullptr; }, 10000);
}

std::vector<RecordedMessageBox> ProtocolLinkTest::takeMessageBoxes()
{
    std::vector<RecordedMessageBox> boxes;
    boxes.swap(recordedMessageBoxes());
    return boxes;
}
