#include "app/ui_seams.h"

#include "app/dialog_keys.h"

namespace {
MessageBoxHook messageBoxHook = nullptr;
FileDialogHook fileDialogHook = nullptr;
} // namespace

int uiMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    // The focus comes back to where it was, as in a dialog.
    HWND focus = GetFocus();
    const int answer = messageBoxHook ? messageBoxHook(owner, text, caption, type)
                                      : MessageBoxA(owner, text, caption, type);
    restoreFocus(focus);
    return answer;
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
