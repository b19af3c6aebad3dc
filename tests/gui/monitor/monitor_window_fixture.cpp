#include "monitor_window_fixture.h"

#include <commctrl.h>

#include <cstdlib>

#include "app/layout.h"
#include "app/window_table.h"
#include "link/device_backend.h"
#include "link/link_control.h"
#include "link/win/feature_link.h"
#include "monitor/monitor_windows.h"

namespace {

// Classes stay registered within the test process, with the procedure of
// the first start.
void unregisterFeatureClasses()
{
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}

BOOL CALLBACK collectStatic(HWND child, LPARAM list)
{
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "static") == 0)
        reinterpret_cast<std::vector<std::string>*>(list)->push_back(windowText(child));
    return TRUE;
}

} // namespace

SimOptions MonitorWindowTest::unitOptions(char family, bool switchedOn) const
{
    SimOptions options = defaultSimOptions(family);
    options.switchedOn = switchedOn;
    return options;
}

void MonitorWindowTest::attachUnit(const SimOptions& options)
{
    unit_ = std::make_unique<SimUnit>();
    initSimUnit(*unit_, options);
    unit_->fixedSeconds = 0;
    server_ = startSimServer(*unit_, "127.0.0.1", 0);
    ASSERT_NE(server_, nullptr);
    const std::string setting = "KAVIX_UNIT=127.0.0.1:" + std::to_string(simServerPort(server_));
    _putenv(setting.c_str());
}

void MonitorWindowTest::TearDown()
{
    ShellTest::TearDown();
    if (server_)
        stopSimServer(server_);
    server_ = nullptr;
    _putenv("KAVIX_UNIT=");
    setDeviceBackend(nullptr);
    linkHooks.stopLink = nullptr;
    unregisterFeatureClasses();
}

HWND MonitorWindowTest::openAs(int languageId, int familyId)
{
    unregisterFeatureClasses();
    WindowProcTable features = {};
    features.procedure[10] = monitorProcK;
    features.procedure[11] = monitorProcM;
    if (!start(features))
        return nullptr;
    // What the program's start-up does: events, the backend KAVIX_UNIT
    // chooses, notifications to the feature window.
    linkHooks.stopLink = stopLink;
    prepareProgramLink();
    confirmSelection(languageId, familyId);
    menuCommand(commandMonitor);
    window_ = childOfClass(main(), familyId == selectionIdM ? "Monitor_CU1" : "Monitor_CU0");
    // Start has run once either Stop or Start is enabled.
    pumpUntil([this] { return window_ && (enabled(idStart) || enabled(idStop)); });
    return window_;
}

bool MonitorWindowTest::waitForAnswers(int count, int timeoutMs)
{
    std::uint32_t first = 0;
    {
        std::lock_guard<std::mutex> hold(unit_->lock);
        first = unit_->requestsSeen;
    }
    // The request after the n-th answer only leaves once the window has
    // handled that answer.
    const bool seen = pumpUntil(
        [&] {
            std::lock_guard<std::mutex> hold(unit_->lock);
            return unit_->requestsSeen >= first + static_cast<std::uint32_t>(count) + 1;
        },
        timeoutMs);
    pumpFor(20);
    return seen;
}

bool MonitorWindowTest::waitForToggle()
{
    return pumpUntil([this] { return enabled(idManualToggle); });
}

int MonitorWindowTest::progressPosition() const
{
    HWND bar = FindWindowExA(window_, nullptr, PROGRESS_CLASSA, nullptr);
    return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
}

std::vector<std::string> MonitorWindowTest::staticTexts() const
{
    std::vector<std::string> texts;
    EnumChildWindows(window_, collectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void MonitorWindowTest::scroll(int id, int code, int position)
{
    SendMessageA(window_, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(control(id)));
}

std::uint32_t MonitorWindowTest::unitOutputs()
{
    std::lock_guard<std::mutex> hold(unit_->lock);
    return unit_->live.outputs;
}

bool MonitorWindowTest::unitManual()
{
    std::lock_guard<std::mutex> hold(unit_->lock);
    return unit_->live.manual;
}

std::uint8_t MonitorWindowTest::unitBlowerPower(int blower)
{
    std::lock_guard<std::mutex> hold(unit_->lock);
    return unit_->live.blowerPower[blower];
}

bool MonitorWindowTest::waitForUnitOutputs(std::uint32_t mask, std::uint32_t value, int timeoutMs)
{
    return pumpUntil([&] { return (unitOutputs() & mask) == value; }, timeoutMs);
}

std::vector<RecordedMessageBox> MonitorWindowTest::takeMessageBoxes()
{
    std::vector<RecordedMessageBox> boxes;
    boxes.swap(recordedMessageBoxes());
    return boxes;
}

void MonitorWindowTest::screenshot(const char* name)
{
    const char* folder = std::getenv("KAVIX_MONITOR_SHOTS");
    if (!folder)
        return;
    RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pumpFor(300);
    captureWindow(main(), (std::string(folder) + "/" + name + ".bmp").c_str());
}
