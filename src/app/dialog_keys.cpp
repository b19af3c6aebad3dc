#include "app/dialog_keys.h"

#include "app/app_state.h"
#include "app/main_window_fit.h"
#include "app/shell.h"

namespace {

// The control that had the focus when the last key came: a button that
// greys itself when pressed loses the focus, and Tab goes on from there.
HWND lastFocus = nullptr;
// A control greyed while it had the focus, and the window keeping it meanwhile.
HWND parkedFocus = nullptr;
HWND parkedIn = nullptr;

// The window inside the main window, if any.
HWND dialogWindow()
{
    HWND main = mainWindowHandle();
    HWND child = handleFromState(appState.featureWindow);
    if (!main || !child || !IsWindow(child) || GetParent(child) != main)
        return nullptr;
    return child;
}

bool isInside(HWND window, HWND control) { return control && (control == window || IsChild(window, control)); }

UINT dialogCode(HWND control) { return static_cast<UINT>(SendMessageA(control, WM_GETDLGCODE, 0, 0)); }

bool isRadio(HWND control) { return control && (dialogCode(control) & DLGC_RADIOBUTTON) != 0; }

bool isPushButton(HWND control)
{
    return control && (dialogCode(control) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

bool isDroppedList(HWND control)
{
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0 && SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

// Radio buttons next to each other form a group; from one end the arrows
// go on at the other.
HWND groupEnd(HWND radio, UINT direction)
{
    HWND end = radio;
    for (HWND next = GetWindow(end, direction); next && isRadio(next); next = GetWindow(next, direction))
        end = next;
    return end;
}

HWND groupNeighbour(HWND radio, bool forward)
{
    HWND next = GetWindow(radio, forward ? GW_HWNDNEXT : GW_HWNDPREV);
    if (next && isRadio(next))
        return next;
    return groupEnd(radio, forward ? GW_HWNDPREV : GW_HWNDNEXT);
}

HWND markedInGroup(HWND radio)
{
    for (HWND r = groupEnd(radio, GW_HWNDPREV); r && isRadio(r); r = GetWindow(r, GW_HWNDNEXT))
        if (SendMessageA(r, BM_GETCHECK, 0, 0) == BST_CHECKED && IsWindowEnabled(r))
            return r;
    return radio;
}

void showFocusCues()
{
    SendMessageA(mainWindowHandle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void moveFocus(HWND to)
{
    SetFocus(to);
    lastFocus = to;
    showFocusCues();
    scrollIntoView(to);
}

// As the control reports a click itself.
void click(HWND button)
{
    SendMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void tab(HWND window, HWND focus, bool backwards)
{
    HWND from = nullptr;
    if (isInside(window, focus) && focus != window)
        from = focus;
    else if (lastFocus && IsChild(window, lastFocus))
        from = lastFocus;
    if (from && isDroppedList(from))
        SendMessageA(from, CB_SHOWDROPDOWN, FALSE, 0);
    HWND next = GetNextDlgTabItem(window, from, backwards ? TRUE : FALSE);
    if (!next) {
        moveFocus(window);
        return;
    }
    moveFocus(isRadio(next) ? markedInGroup(next) : next);
}

void enter(HWND window, HWND focus)
{
    if (isInside(window, focus) && isPushButton(focus) && IsWindowEnabled(focus)) {
        click(focus);
        return;
    }
    const LRESULT id = SendMessageA(window, DM_GETDEFID, 0, 0);
    if (HIWORD(id) != DC_HASDEFID)
        return;
    HWND button = GetDlgItem(window, LOWORD(id));
    if (button && IsWindowEnabled(button) && IsWindowVisible(button))
        click(button);
}

} // namespace

bool handleDialogKey(const MSG& msg)
{
    // With no focus anywhere, Windows sends keys to the active window as
    // system keys; without Alt they are ordinary ones.
    const bool noFocusKey = msg.message == WM_SYSKEYDOWN && (msg.lParam & (1 << 29)) == 0;
    if (msg.message != WM_KEYDOWN && !noFocusKey)
        return false;
    HWND window = dialogWindow();
    if (!window || !isInside(mainWindowHandle(), msg.hwnd))
        return false;
    HWND focus = GetFocus();
    if (focus && isInside(window, focus) && focus != window)
        lastFocus = focus;
    const bool control = GetKeyState(VK_CONTROL) < 0;

    switch (msg.wParam) {
    case VK_TAB:
        if (control)
            return false;
        tab(window, focus, GetKeyState(VK_SHIFT) < 0);
        return true;
    case VK_RETURN:
        if (isDroppedList(focus))
            return false;
        enter(window, focus);
        return true;
    case VK_ESCAPE:
        if (isDroppedList(focus))
            return false;
        // A feature window closes; the selection window must be confirmed.
        if (appState.featureOpen)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return true;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT: {
        if (!isInside(window, focus) || !isRadio(focus))
            return false;
        HWND next = groupNeighbour(focus, msg.wParam == VK_DOWN || msg.wParam == VK_RIGHT);
        if (next && next != focus) {
            moveFocus(next);
            click(next);
        }
        return true;
    }
    default:
        return false;
    }
}

void focusFirstControl(HWND window)
{
    HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
    if (first && isRadio(first))
        first = markedInGroup(first);
    SetFocus(first ? first : window);
    lastFocus = first;
}

void restoreFocus(HWND control)
{
    if (!control || !IsWindow(control))
        return;
    if (IsWindowEnabled(control) && IsWindowVisible(control)) {
        SetFocus(control);
        return;
    }
    HWND parent = GetParent(control);
    HWND next = parent ? GetNextDlgTabItem(parent, control, FALSE) : nullptr;
    if (next)
        SetFocus(next);
    else if (parent)
        SetFocus(parent);
}

void parkFocus(HWND window, HWND control)
{
    if (!control || GetFocus() != control)
        return;
    parkedFocus = control;
    parkedIn = window;
    SetFocus(window);
}

void returnParkedFocus(HWND window)
{
    if (window != parkedIn || !parkedFocus)
        return;
    if (GetFocus() == window && IsWindow(parkedFocus) && IsWindowEnabled(parkedFocus))
        SetFocus(parkedFocus);
    parkedFocus = nullptr;
    parkedIn = nullptr;
}
