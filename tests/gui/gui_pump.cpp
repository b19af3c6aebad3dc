#include "gui_pump.h"

#include "app/dialog_keys.h"

namespace {
bool quitSeen = false;
} // namespace

bool quitMessageSeen() { return quitSeen; }
void clearQuitMessageSeen() { quitSeen = false; }

bool pumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                continue;
            }
            // As the program's own message loop does.
            if (handleDialogKey(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now < 20 ? end - now : 20, QS_ALLINPUT);
    }
}

void pumpFor(int milliseconds)
{
    pumpUntil([] { return false; }, milliseconds);
}

std::string windowText(HWND window)
{
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

HWND childOfClass(HWND parent, const char* className)
{
    return parent ? FindWindowExA(parent, nullptr, className, nullptr) : nullptr;
}

void clickControl(HWND parent, int controlId)
{
    HWND control = GetDlgItem(parent, controlId);
    if (!control)
        return;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void clickArrows(HWND arrows, bool up, int times)
{
    RECT r;
    GetClientRect(arrows, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : 3 * r.bottom / 4);
    for (int i = 0; i < times; ++i) {
        SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(arrows, WM_LBUTTONUP, 0, at);
    }
}
