#include "app/control_rescale.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/screen_scale.h"

namespace {

int across(int x, LayoutUnit from, LayoutUnit to) { return MulDiv(x, to.charWidth, from.charWidth); }
int down(int y, LayoutUnit from, LayoutUnit to) { return MulDiv(y, to.lineHeight, from.lineHeight); }

bool isClass(HWND window, const char* name)
{
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

RECT rectInParent(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void moveInProportion(HWND control, RECT r, LayoutUnit from, LayoutUnit to)
{
    const int x = across(r.left, from, to), y = down(r.top, from, to);
    MoveWindow(control, x, y, across(r.right, from, to) - x, down(r.bottom, from, to) - y, FALSE);
}

void rescaleControls(HWND window, LayoutUnit from, LayoutUnit to)
{
    // Arrows attached to a box are placed again by the box, below.
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (isClass(control, UPDOWN_CLASSA))
            continue;
        RECT r = rectInParent(control);
        // A drop-down list's window is as high as its list when dropped.
        if (isClass(control, "ComboBox")) {
            RECT dropped;
            if (SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
                r.bottom = r.top + (dropped.bottom - dropped.top);
        }
        moveInProportion(control, r, from, to);
    }
    for (HWND arrows = GetWindow(window, GW_CHILD); arrows; arrows = GetWindow(arrows, GW_HWNDNEXT)) {
        if (!isClass(arrows, UPDOWN_CLASSA))
            continue;
        HWND box = reinterpret_cast<HWND>(SendMessageA(arrows, UDM_GETBUDDY, 0, 0));
        if (!box)
            continue;
        // The box, already moved, gave the arrows its right edge: it takes
        // it back, and attaching the arrows again narrows it as at creation.
        const RECT boxRect = rectInParent(box);
        const RECT arrowRect = rectInParent(arrows);
        MoveWindow(box, boxRect.left, boxRect.top, across(arrowRect.right, from, to) - boxRect.left,
                   boxRect.bottom - boxRect.top, FALSE);
        SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(box), 0);
    }
}

} // namespace

void relayoutChild(HWND main, SIZE clientBefore, LayoutUnit from, LayoutUnit to)
{
    HWND child = GetWindow(main, GW_CHILD);
    if (!child)
        return;
    const RECT r = rectInParent(child);
    const bool fills = r.left == 0 && r.top == 0 && r.right == clientBefore.cx && r.bottom == clientBefore.cy;
    if (fills)
        MoveWindow(child, 0, 0, appState.clientWidth, appState.clientHeight, FALSE);
    else
        moveInProportion(child, r, from, to);
    rescaleControls(child, from, to);
    applyControlFont(child);
    SendMessageA(child, WM_LAYOUT_CHANGED, 0, 0);
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
