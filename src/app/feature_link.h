#pragma once
// Windows only: the window side of the link, shared by every feature window
// that talks to the unit (configuration, running counters, protocol read,
// monitor). The window code passes itself in; the texts come from the
// portable builders in app/link_messages.h.
#include <windows.h>

#include "app/link_messages.h"
#include "link/link_control.h"

// A feature window as the link helpers need it: the window, which feature it
// is and the controls it greys while a transfer runs.
struct FeatureLinkWindow {
    HWND window = nullptr;
    Feature feature = Feature::configuration;
    Family family = Family::k;
    const int* controlIds = nullptr;
    int controlCount = 0;
};

// The program's choices at start-up: the device backend (a remote unit when
// KAVIX_UNIT=host:port is set, else HID) and notifications posted to
// appState.featureWindow.
void selectProgramDeviceBackend();
void useWindowNotifications();
// All of the link's start-up at once: the five events, the backend, the
// notifications, and appState.linkOpen following the link's open state.
// Called once by the program's start-up.
void prepareProgramLink();

// Common controls with the progress-bar class. On failure: the DLL message
// with this window's caption, WM_CLOSE posted to the window, false.
bool ensureCommonControls(HWND window, Feature feature, Family family);

// A link start after the caller has filled the request (openLink): the
// connected title once the product string (into product, 65 bytes) is read,
// the controls greyed once the threads run. Each failure shows its message
// (family caption, error icon) and returns false.
bool startFeatureLink(const FeatureLinkWindow& feature, EngineProcedure engine, LinkRequest* request,
                      char* product);

void enableFeatureControls(const FeatureLinkWindow& feature, bool enable);

// Standard reaction to WM_LINK_END: stopLink, controls enabled again, the
// message of the end code. Returns the reaction so the caller does its own
// completion for end code 5.
EndReaction reactToLinkEnd(const FeatureLinkWindow& feature, WPARAM endCode, LPARAM lParam);

// The wrong-unit / wrong-firmware box of end code 1 (lParam: &answer[4]).
void showWrongUnitMessage(const FeatureLinkWindow& feature, LPARAM lParam);
