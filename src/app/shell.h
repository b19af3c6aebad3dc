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

// The shared file dialog's fixed fields: owner, filters, name lengths and
// the default extension. Each command sets its own buffers, flags and filter.
void fillFileDialog(HWND owner);

// dataBuffer and protocolBuffer, 2 MiB each, committed and zero-filled;
// false, with neither kept, when memory is short.
bool allocateWorkBuffers();
void releaseWorkBuffers();
