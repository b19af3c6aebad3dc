// The main window: its menu commands open the feature windows as children.
#include <cstdint>

#include "app/layout.h"
#include "app/tick_counters.h"
#include "app/menus.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "app/window_procedures.h"
#include "app/window_table.h"
#include "link/link_control.h"

namespace {

// The device context in which the layout unit was measured; kept for the
// window's lifetime.
HDC layoutContext = nullptr;

void measureLayoutUnit(HWND window)
{
    layoutContext = GetDC(window);
    SelectObject(layoutContext, GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(layoutContext, &metrics);
    appState.charWidth = metrics.tmAveCharWidth;
    appState.lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    appState.screenWidth = GetDeviceCaps(layoutContext, HORZRES);
    appState.screenHeight = GetDeviceCaps(layoutContext, VERTRES);
}

void openChild(HWND main, const char* className, const char* caption, DWORD style)
{
    HWND child = CreateWindowExA(0, className, caption, style, 0, 0, 0, 0, main, nullptr, appInstance, nullptr);
    if (child)
        appState.featureWindow = stateFromHandle(child);
}

void openFeature(HWND main, int command)
{
    FeatureWindowChoice choice;
    if (!featureWindowFor(command, chosenFamily(), choice))
        return;
    openChild(main, choice.className, text(choice.captionText), WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU);
}

void openSelection(HWND main)
{
    openChild(main, "Select_CUx", nullptr, WS_CHILD | WS_VISIBLE);
}

void paintLogo(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBITMAP logo = LoadBitmapA(appInstance, "Bild1");
    if (logo) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, logo);
        BitBlt(dc, logoX(appState.clientWidth), logoY(), logoWidth, logoHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(logo);
    }
    EndPaint(window, &ps);
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        appState.mainWindow = stateFromHandle(window);
        measureLayoutUnit(window);
        const PixelRect r = centredWindow(appState.screenWidth, appState.screenHeight, windowCells(Family::k),
                                          appState.charWidth, appState.lineHeight);
        MoveWindow(window, r.x, r.y, r.width, r.height, FALSE);
        PostMessageA(window, WM_APP, 0, 0);
        break;
    }
    case WM_APP:
        openSelection(window);
        return 0;
    case WM_SIZE:
        appState.clientWidth = LOWORD(lParam);
        appState.clientHeight = HIWORD(lParam);
        return 0;
    case WM_PAINT:
        if (appState.featureOpen == 0) {
            paintLogo(window);
            return 0;
        }
        break;
    case WM_COMMAND:
        if (lParam != 0)
            break;
        switch (LOWORD(wParam)) {
        case commandConfiguration:
        case commandRunCounter:
        case commandMonitor:
        case commandProtocolRead:
        case commandProtocolDisplay:
            openFeature(window, LOWORD(wParam));
            return 0;
        case commandProtocolSave:
            saveProtocolCommand(window);
            return 0;
        case commandSelection:
            openSelection(window);
            return 0;
        case commandInfo:
            uiMessageBox(window, infoBoxText, text(textProgramName), MB_OK | MB_ICONINFORMATION);
            return 0;
        default:
            break;
        }
        break;
    case WM_TIMER:
        advanceTicks(appState);
        return 0;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_DESTROY && appState.autoDisplay) {
            PostMessageA(window, WM_COMMAND, commandProtocolDisplay, 0);
            appState.autoDisplay = 0;
            return 0;
        }
        break;
    case WM_DESTROY:
        stopLink();
        if (layoutContext)
            ReleaseDC(window, layoutContext);
        layoutContext = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
