#include "app/menus.h"

#include "app/app_state.h"
#include "app/shell.h"
#include "app/window_table.h"

void setLanguageMenu(HWND mainWindow, std::int32_t language)
{
    HMENU menu = LoadMenuA(appInstance, language == 0 ? "Menue_KAVIX_0" : "Menue_KAVIX_1");
    HMENU old = GetMenu(mainWindow);
    SetMenu(mainWindow, menu);
    if (old && old != menu)
        DestroyMenu(old);
}

void setMenuItemEnabled(HWND mainWindow, int command, bool enabled)
{
    HMENU menu = GetMenu(mainWindow);
    if (!menu)
        return;
    EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(mainWindow);
}

void greyMenuItems(HWND mainWindow)
{
    for (int id : menuItemIds)
        setMenuItemEnabled(mainWindow, id, false);
}

void enableMenuItems(HWND mainWindow)
{
    for (int id : menuItemIds)
        setMenuItemEnabled(mainWindow, id, true);
}

void greyProtocolItemsUnlessAvailable(HWND mainWindow)
{
    if (appState.protocolAvailable == 0) {
        setMenuItemEnabled(mainWindow, commandProtocolDisplay, false);
        setMenuItemEnabled(mainWindow, commandProtocolSave, false);
    }
}
