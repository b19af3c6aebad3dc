#pragma once
// Windows only. Every message box and file dialog of the program goes through
// these functions, so tests can record and answer them instead of blocking.
#include <windows.h>
#include <commdlg.h>

int uiMessageBox(HWND owner, const char* text, const char* caption, UINT type);
BOOL uiGetSaveFileName(OPENFILENAMEA* dialog);
BOOL uiGetOpenFileName(OPENFILENAMEA* dialog);

// Test hooks: when set, they answer instead of the real dialogs.
using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);
using FileDialogHook = BOOL (*)(OPENFILENAMEA* dialog, bool save);
void setMessageBoxHook(MessageBoxHook hook);
void setFileDialogHook(FileDialogHook hook);
