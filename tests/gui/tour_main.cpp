// kavix-tour: starts the program in this process with two simulated units
// (K-Series and M-Series) served on loopback, walks through its windows by
// messages and writes a screenshot (BMP) of the main window at each stop.
// Message boxes are answered at once and listed on the standard output.
// With a screen size it first makes the desktop that size (with a taskbar)
// and takes the windows that show how the program fits a small screen or a
// large scaling, the focus moved there with Tab as a keyboard user would.
// Usage: kavix_tour.exe OUTPUT_FOLDER [WIDTHxHEIGHT]
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dialog_keys.h"
#include "app/layout.h"
#include "app/program.h"
#include "app/shell.h"
#include "app/ui_seams.h"
#include "app/window_table.h"
#include "gui_pump.h"
#include "test_desktop.h"
#include "window_capture.h"
#include "link/device_backend.h"
#include "link/remote_unit.h"
#include "sim_blocks.h"
#include "sim_data_sets.h"
#include "sim_server.h"
#include "sim_unit.h"

namespace {

std::filesystem::path outputFolder;
HWND mainWindow = nullptr;

struct TourUnit {
    SimUnit unit;
    SimBlockStore store;
    SimServer* server = nullptr;
    std::string endpoint;
};

bool startUnit(TourUnit& tourUnit, char family, bool switchedOn, std::uint32_t answerDelayMs = 0)
{
    SimOptions options = defaultSimOptions(family);
    options.switchedOn = switchedOn;
    options.faults.delayMs = answerDelayMs;
    initSimUnit(tourUnit.unit, options);
    fillFamilyDataSets(tourUnit.store, family, factoryConfiguration(family), 120);
    useBlockStore(tourUnit.unit, tourUnit.store);
    tourUnit.server = startSimServer(tourUnit.unit, "127.0.0.1", 0);
    if (!tourUnit.server)
        return false;
    tourUnit.endpoint = "127.0.0.1:" + std::to_string(simServerPort(tourUnit.server));
    return true;
}

void attach(const TourUnit& tourUnit)
{
    setRemoteUnitEndpoint(tourUnit.endpoint.c_str());
    setDeviceBackend(&remoteUnitBackend);
}

int answerMessageBox(HWND, const char* text, const char* caption, UINT)
{
    std::printf("message box [%s]: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}

void shot(const char* name)
{
    RedrawWindow(mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pumpFor(300);
    const std::string path = (outputFolder / (std::string(name) + ".bmp")).string();
    std::printf("%s %s\n", captureWindow(mainWindow, path.c_str()) ? "wrote" : "FAILED", path.c_str());
}

HWND selectionWindow() { return childOfClass(mainWindow, "Select_CUx"); }

void choose(int languageId, int familyId)
{
    HWND selection = selectionWindow();
    clickControl(selection, languageId);
    clickControl(selection, familyId);
    clickControl(selection, selectionIdOk);
    pumpUntil([] { return selectionWindow() == nullptr; });
}

void command(int id, int settleMs = 200)
{
    PostMessageA(mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
    pumpFor(settleMs);
}

// Opens a feature, lets it talk to the unit, takes its picture, closes it.
void visit(int commandId, const char* name, int settleMs = 1500)
{
    command(commandId, settleMs);
    HWND feature = handleFromState(appState.featureWindow);
    if (appState.featureOpen && IsWindow(feature)) {
        shot(name);
        PostMessageA(feature, WM_CLOSE, 0, 0);
        pumpUntil([] { return appState.featureOpen == 0; });
        pumpFor(200);
    } else {
        std::printf("no window for %s\n", name);
    }
}

// Tab pressed `times` times, as the message loop hands the key over.
void tab(int times)
{
    for (int i = 0; i < times; ++i) {
        MSG key = {GetFocus() ? GetFocus() : mainWindow, WM_KEYDOWN, VK_TAB, 0, 0, {}};
        handleDialogKey(key);
    }
    pumpFor(100);
}

// The M-Series windows on a small screen or at a large scaling, named with
// the desktop, e.g. "80-configuration-m-1366x768-96dpi".
int smallScreenTour(int width, int height)
{
    if (!useDesktop(width, height)) {
        std::fprintf(stderr, "kavix_tour: the desktop cannot be %dx%d\n", width, height);
        return 1;
    }
    static TourUnit unitM;
    if (!startUnit(unitM, 'M', false))
        return 1;
    const std::string screen = "-" + std::to_string(width) + "x" + std::to_string(height) + "-" +
                               std::to_string(screenDpi()) + "dpi";
    mainWindow = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    if (!mainWindow)
        return 1;
    attach(unitM);
    pumpUntil([] { return selectionWindow() != nullptr; });
    shot(("80-selection" + screen).c_str());
    choose(selectionIdEnglish, selectionIdM);

    command(commandConfiguration, 1500);
    tab(3);   // the set temperature's value box
    shot(("81-configuration-m" + screen).c_str());
    PostMessageA(handleFromState(appState.featureWindow), WM_CLOSE, 0, 0);
    pumpUntil([] { return appState.featureOpen == 0; });
    command(commandMonitor, 1500);
    shot(("82-monitor-m" + screen).c_str());
    PostMessageA(handleFromState(appState.featureWindow), WM_CLOSE, 0, 0);
    pumpUntil([] { return appState.featureOpen == 0; });

    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    pumpUntil([] { return quitMessageSeen(); });
    shutdownProgram();
    stopSimServer(unitM.server);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavix_tour OUTPUT_FOLDER\n");
        return 2;
    }
    outputFolder = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(outputFolder);
    // Settings of the tour stay in its own folder.
    std::filesystem::current_path(outputFolder);
    std::filesystem::remove(outputFolder / "kavix.ini");
    setMessageBoxHook(answerMessageBox);
    int width = 0, height = 0;
    if (argc > 2 && std::sscanf(argv[2], "%dx%d", &width, &height) == 2)
        return smallScreenTour(width, height);

    // The K unit runs; the M unit is switched off, as for manual control; a
    // slow K unit lets the protocol read be seen in progress.
    static TourUnit unitK;
    static TourUnit unitM;
    static TourUnit slowK;
    if (!startUnit(unitK, 'K', true) || !startUnit(unitM, 'M', false) || !startUnit(slowK, 'K', true, 15)) {
        std::fprintf(stderr, "kavix_tour: cannot start the simulated units\n");
        return 1;
    }

    mainWindow = startProgram(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    if (!mainWindow)
        return 1;
    pumpUntil([] { return selectionWindow() != nullptr; });
    shot("01-selection");

    choose(selectionIdEnglish, selectionIdK);
    shot("02-main-k-english");
    attach(unitK);
    visit(commandMonitor, "30-monitor-k");
    visit(commandConfiguration, "20-configuration-k");
    visit(commandRunCounter, "40-running-counters-k");

    // The read window closes by itself when the read ends and the display
    // of the protocol takes its place.
    attach(slowK);
    command(commandProtocolRead, 600);
    shot("41-protocol-read");
    pumpUntil([] { return childOfClass(mainWindow, "ProtDisplay_CU0") != nullptr; }, 10000);
    pumpFor(300);
    if (HWND display = childOfClass(mainWindow, "ProtDisplay_CU0")) {
        shot("10-protocol-display-k");
        PostMessageA(display, WM_CLOSE, 0, 0);
        pumpUntil([] { return appState.featureOpen == 0; });
    } else {
        std::printf("the protocol display did not open\n");
    }
    attach(unitK);

    command(commandSelection);
    choose(selectionIdGerman, selectionIdM);
    shot("03-main-m-german");
    attach(unitM);
    visit(commandMonitor, "31-monitor-m");
    visit(commandConfiguration, "21-configuration-m");
    visit(commandRunCounter, "42-running-counters-m");
    command(commandProtocolRead, 200);
    pumpUntil([] { return childOfClass(mainWindow, "ProtDisplay_CU1") != nullptr; }, 10000);
    pumpFor(300);
    if (HWND display = childOfClass(mainWindow, "ProtDisplay_CU1")) {
        shot("11-protocol-display-m");
        PostMessageA(display, WM_CLOSE, 0, 0);
        pumpUntil([] { return appState.featureOpen == 0; });
    } else {
        std::printf("the protocol display did not open\n");
    }

    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    pumpUntil([] { return quitMessageSeen(); });
    shutdownProgram();
    stopSimServer(unitK.server);
    stopSimServer(unitM.server);
    stopSimServer(slowK.server);
    return 0;
}
