#include "config/value_box.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR valueBoxId = 0x4B56;   // this subclass among others on the box
constexpr int pageStep = 10;

// The change a key makes, 0 for keys the box does not take. The window
// holds every value inside its range.
int stepOf(WPARAM key, HWND arrows)
{
    int low = 0, high = 0;
    SendMessageA(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    const int now = static_cast<int>(SendMessageA(arrows, UDM_GETPOS32, 0, 0));
    switch (key) {
    case VK_UP:
        return 1;
    case VK_DOWN:
        return -1;
    case VK_PRIOR:
        return pageStep;
    case VK_NEXT:
        return -pageStep;
    case VK_HOME:
        return low - now;
    case VK_END:
        return high - now;
    default:
        return 0;
    }
}

// Tells the window as the arrows tell it about a click.
void step(HWND arrows, int delta)
{
    NMUPDOWN change = {};
    change.hdr.hwndFrom = arrows;
    change.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(arrows));
    change.hdr.code = static_cast<UINT>(UDN_DELTAPOS);
    change.iPos = static_cast<int>(SendMessageA(arrows, UDM_GETPOS32, 0, 0));
    change.iDelta = delta;
    SendMessageA(GetParent(arrows), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

void drawFocus(HWND box)
{
    RECT r;
    GetClientRect(box, &r);
    InflateRect(&r, -1, -1);
    HDC dc = GetDC(box);
    DrawFocusRect(dc, &r);
    ReleaseDC(box, dc);
}

LRESULT CALLBACK valueBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    HWND arrows = reinterpret_cast<HWND>(data);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
        const int delta = stepOf(wParam, arrows);
        if (delta == 0 && wParam != VK_HOME && wParam != VK_END)
            break;
        if (IsWindowEnabled(arrows))
            step(arrows, delta);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(box);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(box, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
        if (GetFocus() == box)
            drawFocus(box);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, valueBoxProc, valueBoxId);
        break;
    default:
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

} // namespace

void makeValueBox(HWND box, HWND arrows)
{
    if (box && arrows)
        SetWindowSubclass(box, valueBoxProc, valueBoxId, reinterpret_cast<DWORD_PTR>(arrows));
}
