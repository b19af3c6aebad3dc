#pragma once
// Windows only: resources that the shell owns for the whole run.
#include <windows.h>
#include <commdlg.h>

#include <cstdint>

#include "app/app_state.h"

inline constexpr std::size_t workBufferSize = 2 * 1024 * 1024;
inline constexpr UINT_PTR tickTimerId = 150;

extern HINSTANCE appInstance;
extern unsigned char* dataBuffer;
extern unsigned char* protocolBuffer;
extern OPENFILENAMEA fileDialog;

// Handles are kept in AppState as 32-bit values.
inline HWND handleFromState(std::int32_t value) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value)); }
inline std::int32_t stateFromHandle(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)); }
inline HWND mainWindowHandle() { return handleFromState(appState.mainWindow); }

// Hooks that the device link fills in when it is linked into the program:
// creating and closing its events, and stopping an open link.
struct LinkHooks {
    bool (*createEvents)();
    void (*closeEvents)();
    void (*stopLink)();
};
extern LinkHooks linkHooks;

// Command 42 (save the failure protocol); set when that feature is linked in.
extern void (*protocolSaveCommand)(HWND main);

// Window procedures of the feature classes, in the order of
// windowClassTable (entries 0 and 1, main and selection window, are the
// shell's own and ignored). A null entry is a feature this build does not
// have: its class is registered, but its command opens nothing.
struct WindowProcTable {
    WNDPROC procedure[12];
};
WNDPROC featureProcedure(const char* className);

// Start-up up to (not including) the message loop. Returns the main window,
// or nullptr when the program must end (out of memory, no window).
HWND startApplication(HINSTANCE instance, int showCommand, const WindowProcTable& features);

// Runs the message loop until the quit message; returns its code.
int runMessageLoop();

// Everything after the message loop: timer, buffers, events.
void shutdownApplication();

// WinMain's whole work.
int runKavix(HINSTANCE instance, int showCommand, const WindowProcTable& features);

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK selectionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
