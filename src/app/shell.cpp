#include "app/shell.h"

#include <cstring>

#include "app/layout.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "app/window_table.h"

HINSTANCE appInstance = nullptr;
unsigned char* dataBuffer = nullptr;
unsigned char* protocolBuffer = nullptr;
OPENFILENAMEA fileDialog;
LinkHooks linkHooks = {nullptr, nullptr, nullptr};

namespace {

WindowProcTable featureProcedures = {};

// Filter pairs, each zero-terminated, then the empty terminating string.
const char fileFilter[] =
    "Flash Files (*.hex)\0*.hex\0"
    "Conf Files (*.cbf)\0*.cbf\0"
    "Protokoll Files (*.csv)\0*.csv\0";

bool registerWindowClasses(HINSTANCE instance)
{
    HICON icon = LoadIconA(instance, "Symbol_KAVIX");
    for (int i = 0; i < windowClassCount; ++i) {
        WNDPROC procedure = DefWindowProcA;
        if (i == 0)
            procedure = mainWindowProc;
        else if (i == 1)
            procedure = selectionWindowProc;
        else if (featureProcedures.procedure[i])
            procedure = featureProcedures.procedure[i];

        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(windowClassTable[i].whiteBackground ? WHITE_BRUSH : LTGRAY_BRUSH));
        wc.lpszClassName = windowClassTable[i].name;
        // A second start in the same process (the GUI tests) finds them registered.
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    return true;
}

void fillFileDialog(HWND owner)
{
    std::memset(&fileDialog, 0, sizeof fileDialog);
    fileDialog.lStructSize = sizeof fileDialog;
    fileDialog.hwndOwner = owner;
    fileDialog.lpstrFilter = fileFilter;
    fileDialog.nMaxFile = 260;
    fileDialog.nMaxFileTitle = 259;
    fileDialog.lpstrDefExt = "cbf";
}

unsigned char* allocateWorkBuffer()
{
    // Committed and zero-filled by the system.
    return static_cast<unsigned char*>(VirtualAlloc(nullptr, workBufferSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void releaseWorkBuffers()
{
    if (dataBuffer)
        VirtualFree(dataBuffer, 0, MEM_RELEASE);
    if (protocolBuffer)
        VirtualFree(protocolBuffer, 0, MEM_RELEASE);
    dataBuffer = nullptr;
    protocolBuffer = nullptr;
}

} // namespace

WNDPROC featureProcedure(const char* className)
{
    for (int i = 2; i < windowClassCount; ++i)
        if (std::strcmp(windowClassTable[i].name, className) == 0)
            return featureProcedures.procedure[i];
    return nullptr;
}

HWND startApplication(HINSTANCE instance, int showCommand, const WindowProcTable& features)
{
    appInstance = instance;
    featureProcedures = features;

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

    dataBuffer = allocateWorkBuffer();
    protocolBuffer = dataBuffer ? allocateWorkBuffer() : nullptr;
    if (!dataBuffer || !protocolBuffer) {
        uiMessageBox(main, "Nicht genügend Speicher !", "EMF1", MB_OK | MB_ICONERROR);
        releaseWorkBuffers();
        DestroyWindow(main);
        return nullptr;
    }

    SetTimer(main, tickTimerId, 100, nullptr);
    if (linkHooks.createEvents)
        linkHooks.createEvents();
    return main;
}

int runMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void shutdownApplication()
{
    // The main window is gone by now, and its timer with it.
    KillTimer(mainWindowHandle(), tickTimerId);
    releaseWorkBuffers();
    if (linkHooks.closeEvents)
        linkHooks.closeEvents();
}

int runKavix(HINSTANCE instance, int showCommand, const WindowProcTable& features)
{
    if (!startApplication(instance, showCommand, features))
        return 0;
    const int code = runMessageLoop();
    shutdownApplication();
    return code;
}
