#include "app/feature_link.h"

#include "app/dialog_keys.h"

#include <commctrl.h>

#include <cstdint>

#include "app/app_state.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/win/hid_backend.h"

namespace {

bool postToFeatureWindow(void*, const LinkNotification& notification)
{
    return PostMessageA(handleFromState(appState.featureWindow), notification.message,
                        static_cast<WPARAM>(notification.wParam), static_cast<LPARAM>(notification.lParam)) != FALSE;
}

// The settings record holds the link's open state too; the link owns it.
void mirrorLinkOpen(bool open) { appState.linkOpen = open ? 1 : 0; }

void showError(const FeatureLinkWindow& feature, const char* message)
{
    uiMessageBox(feature.window, message, familyName(feature.family), MB_OK | MB_ICONERROR);
}

void restoreBaseTitle(const FeatureLinkWindow& feature)
{
    const char* base = baseTitle(feature.feature, uiText);
    if (base)
        SetWindowTextA(feature.window, base);
}

} // namespace

void selectProgramDeviceBackend() { selectDeviceBackend(&hidBackend); }

void useWindowNotifications() { setNotificationPoster(postToFeatureWindow, nullptr); }

void prepareProgramLink()
{
    createLinkEvents();
    selectProgramDeviceBackend();
    useWindowNotifications();
    watchLinkOpen(mirrorLinkOpen);
}

bool ensureCommonControls(HWND window, Feature feature, Family family)
{
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS;
    if (InitCommonControlsEx(&controls))
        return true;
    uiMessageBox(window, dllErrorText, commonControlsCaption(feature, family, uiText), MB_OK | MB_ICONERROR);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return false;
}

void enableFeatureControls(const FeatureLinkWindow& feature, bool enable)
{
    for (int i = 0; i < feature.controlCount; ++i) {
        HWND control = GetDlgItem(feature.window, feature.controlIds[i]);
        if (!control)
            continue;
        if (!enable)
            parkFocus(feature.window, control);
        EnableWindow(control, enable ? TRUE : FALSE);
    }
    if (enable)
        returnParkedFocus(feature.window);
}

bool startFeatureLink(const FeatureLinkWindow& feature, EngineProcedure engine, LinkRequest* request,
                      char* product)
{
    const LinkStart start = openLink(engine, request, product, [&](const char* unit) {
        char title[256];
        connectedTitle(title, sizeof title, feature.feature, feature.family, unit, uiText);
        SetWindowTextA(feature.window, title);
    });
    switch (start) {
    case LinkStart::opened:
        enableFeatureControls(feature, false);
        return true;
    case LinkStart::noUnit:
        showError(feature, text(textNoUnitFound));
        restoreBaseTitle(feature);
        return false;
    case LinkStart::noProduct:
        showError(feature, text(textNoUnitConnected));
        return false;
    case LinkStart::noThread:
        showError(feature, threadErrorText);
        restoreBaseTitle(feature);
        return false;
    }
    return false;
}

EndReaction reactToLinkEnd(const FeatureLinkWindow& feature, WPARAM endCode, LPARAM lParam)
{
    stopLink();
    enableFeatureControls(feature, true);
    char message[256];
    const auto* answer = reinterpret_cast<const std::uint8_t*>(lParam);
    EndReaction reaction = standardEndReaction(static_cast<std::uint32_t>(endCode), feature.family, answer, uiText,
                                               message, sizeof message);
    if (reaction.show)
        uiMessageBox(feature.window, message, familyName(feature.family),
                     MB_OK | (reaction.errorIcon ? MB_ICONERROR : MB_ICONINFORMATION));
    return reaction;
}

void showWrongUnitMessage(const FeatureLinkWindow& feature, LPARAM lParam)
{
    if (lParam == 0)
        return;
    char message[256];
    wrongUnitMessage(message, sizeof message, feature.family,
                     reinterpret_cast<const std::uint8_t*>(lParam), uiText);
    showError(feature, message);
}
