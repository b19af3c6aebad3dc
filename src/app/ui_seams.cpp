#include "app/ui_seams.h"

namespace {
MessageBoxHook messageBoxHook = nullptr;
FileDialogHook fileDialogHook = nullptr;
} // namespace

int uiMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    if (messageBoxHook)
        return messageBoxHook(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

BOOL uiGetSaveFileName(OPENFILENAMEA* dialog)
{
    if (fileDialogHook)
        return fileDialogHook(dialog, true);
    return GetSaveFileNameA(dialog);
}

BOOL uiGetOpenFileName(OPENFILENAMEA* dialog)
{
    if (fileDialogHook)
        return fileDialogHook(dialog, false);
    return GetOpenFileNameA(dialog);
}

void setMessageBoxHook(MessageBoxHook hook) { messageBoxHook = hook; }
void setFileDialogHook(FileDialogHook hook) { fileDialogHook = hook; }
