#include "app/program.h"

#include <cstring>

#include "app/dialog_keys.h"
#include "app/feature_link.h"
#include "app/layout.h"
#include "app/tick_counters.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/ui_seams.h"
#include "app/window_procedures.h"

namespace {

struct WindowClass {
    const char* name;
    WNDPROC procedure;
    bool whiteBackground;   // otherwise light grey
};

// Registered in this order.
const WindowClass windowClasses[] = {
    {"Kavix", mainWindowProc, true},
    {"Select_CUx", selectionWindowProc, false},
    {"Configuration_CU0", configurationProcK, false},
    {"Configuration_CU1", configurationProcM, false},
    {"RunCounter_CU0", runCounterProcK, false},
    {"RunCounter_CU1", runCounterProcM, false},
    {"Upload_CU0", protocolReadProcK, false},
    {"Upload_CU1", protocolReadProcM, false},
    {"ProtDisplay_CU0", protocolDisplayProcK, true},
    {"ProtDisplay_CU1", protocolDisplayProcM, true},
    {"Monitor_CU0", monitorProcK, false},
    {"Monitor_CU1", monitorProcM, false},
};

bool registerWindowClasses(HINSTANCE instance)
{
    HICON icon = LoadIconA(instance, "Symbol_KAVIX");
    for (const WindowClass& entry : windowClasses) {
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = entry.procedure;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(entry.whiteBackground ? WHITE_BRUSH : LTGRAY_BRUSH));
        wc.lpszClassName = entry.name;
        // A second start in the same process (the GUI tests) finds them registered.
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    return true;
}

} // namespace

HWND startProgram(HINSTANCE instance, int showCommand)
{
    appInstance = instance;
    std::memset(&appState, 0, sizeof appState);
    loadSettings(appState);
    resetRestartTicks(appState);

    if (!registerWindowClasses(instance))
        return nullptr;

    HWND main = CreateWindowExA(0, "Kavix", "Quarnel Polarund Expert Tool",
                                WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, 370, 350,
                                nullptr, nullptr, instance, nullptr);
    if (!main)
        return nullptr;
    appState.mainWindow = stateFromHandle(main);
    ShowWindow(main, showCommand);
    UpdateWindow(main);

    fillFileDialog(main);
    if (!allocateWorkBuffers()) {
        uiMessageBox(main, "Nicht genügend Speicher !", "EMF1", MB_OK | MB_ICONERROR);
        DestroyWindow(main);
        return nullptr;
    }

    SetTimer(main, tickTimerId, 100, nullptr);
    prepareProgramLink();
    return main;
}

int runMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (handleDialogKey(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void shutdownProgram()
{
    // The main window is gone by now, and its timer with it.
    KillTimer(mainWindowHandle(), tickTimerId);
    releaseWorkBuffers();
}

int runProgram(HINSTANCE instance, int showCommand)
{
    if (!startProgram(instance, showCommand))
        return 0;
    const int code = runMessageLoop();
    shutdownProgram();
    return code;
}
