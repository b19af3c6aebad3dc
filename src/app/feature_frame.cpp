#include "app/feature_frame.h"

#include "app/app_state.h"
#include "app/menus.h"
#include "app/shell.h"
#include "link/link_control.h"

void featureFrameCreateInBox(HWND window, int x, int y, int width, int height)
{
    appState.featureOpen = 1;
    MoveWindow(window, x, y, width, height, FALSE);
    greyMenuItems(mainWindowHandle());
}

void featureFrameCreate(HWND window)
{
    featureFrameCreateInBox(window, 0, 0, appState.clientWidth, appState.clientHeight);
}

void featureFrameClose(HWND window, bool usesLink)
{
    HWND main = mainWindowHandle();
    InvalidateRect(main, nullptr, TRUE);
    appState.featureOpen = 0;
    setLanguageMenu(main, appState.language);
    enableMenuItems(main);
    greyProtocolItemsUnlessAvailable(main);
    if (usesLink)
        stopLink();
    DestroyWindow(window);
}
