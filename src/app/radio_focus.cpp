#include "app/radio_focus.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR guardId = 0x4B46;   // this subclass among others on the control
HWND takingFocus = nullptr;

void keepTabStop(HWND radio, RadioRole role)
{
    const LONG style = GetWindowLongA(radio, GWL_STYLE);
    const LONG wanted = role == RadioRole::output ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style)
        SetWindowLongA(radio, GWL_STYLE, wanted);
}

LRESULT CALLBACK guardProc(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    const auto role = static_cast<RadioRole>(data);
    switch (message) {
    case WM_SETFOCUS: {
        HWND before = takingFocus;
        takingFocus = radio;
        const LRESULT result = DefSubclassProc(radio, message, wParam, lParam);
        takingFocus = before;
        return result;
    }
    case WM_GETDLGCODE:
        if (role != RadioRole::choice)
            return DLGC_BUTTON;
        break;
    case BM_SETCHECK: {
        const LRESULT result = DefSubclassProc(radio, message, wParam, lParam);
        if (role != RadioRole::choice)
            keepTabStop(radio, role);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(radio, guardProc, guardId);
        break;
    default:
        break;
    }
    return DefSubclassProc(radio, message, wParam, lParam);
}

} // namespace

void guardRadioFocus(HWND radio, RadioRole role)
{
    if (!radio)
        return;
    SetWindowSubclass(radio, guardProc, guardId, static_cast<DWORD_PTR>(role));
    if (role != RadioRole::choice)
        keepTabStop(radio, role);
}

bool clickFromFocus(HWND control) { return control && control == takingFocus; }
