// The main window: its menu commands open the feature windows as children.
#include <cstdint>

#include "app/dialog_keys.h"
#include "app/layout.h"
#include "app/main_window_fit.h"
#include "app/screen_scale.h"
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
    measureSystemUnit(layoutContext);
    appState.screenWidth = GetDeviceCaps(layoutContext, HORZRES);
    appState.screenHeight = GetDeviceCaps(layoutContext, VERTRES);
}

void openChild(HWND main, const char* className, const char* caption, DWORD style)
{
    // A scrolled client area starts again at its origin for the new window.
    scrollMainWindowHome(main);
    HWND child = CreateWindowExA(0, className, caption, style, 0, 0, 0, 0, main, nullptr, appInstance, nullptr);
    if (!child)
        return;
    appState.featureWindow = stateFromHandle(child);
    if (controlFont())
        applyControlFont(child);
    focusFirstControl(child);
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
    const POINT scrolled = mainWindowScroll();
    drawBitmap(dc, "Bild1", logoX(appState.clientWidth, scaledLength(logoWidth)) - scrolled.x,
               logoY(scaledLength(logoHeight)) - scrolled.y, logoWidth, logoHeight, SRCCOPY);
    EndPaint(window, &ps);
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        appState.mainWindow = stateFromHandle(window);
        measureLayoutUnit(window);
        fitMainWindow(window, windowCells(Family::k), false);
        PostMessageA(window, WM_APP, 0, 0);
        break;
    }
    case WM_APP:
        openSelection(window);
        return 0;
    case WM_SIZE:
        mainWindowSized(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
        if (scrollMainWindow(window, message, wParam))
            return 0;
        break;
    case WM_DPICHANGED:
        // Another monitor or another scaling: the unit, fonts and layout
        // again, at the place Windows suggests.
        refitMainWindow(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DISPLAYCHANGE:
        refitMainWindow(window, windowDpi(window), nullptr);
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            refitMainWindow(window, windowDpi(window), nullptr);
        break;
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
