#include "app/controls.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/shell.h"
#include "app/texts.h"

namespace {

struct ControlClass {
    const char* name;
    DWORD style;
    DWORD exStyle;
};

ControlClass classOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::groupBox:
        return {"button", BS_GROUPBOX | BS_CENTER, 0};
    case ControlKind::choice:
    case ControlKind::indicator:
        // Not automatic: a click only tells the window, which decides about
        // the mark.
        return {"button", BS_RADIOBUTTON | BS_LEFTTEXT, 0};
    case ControlKind::pushButton:
        return {"button", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::defaultButton:
        return {"button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::centredText:
        return {"static", SS_CENTER, 0};
    case ControlKind::leftText:
    case ControlKind::unitText:
        return {"static", SS_LEFT, 0};
    case ControlKind::valueBox:
        return {"static", SS_CENTER | SS_CENTERIMAGE | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::list:
        return {"combobox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::numberField:
        return {"edit", WS_BORDER | ES_RIGHT | WS_TABSTOP, 0};
    case ControlKind::digitField:
        return {"edit", WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_NUMBER, 0};
    case ControlKind::textField:
        return {"edit", WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, 0};
    case ControlKind::scrollBar:
        return {"scrollbar", SBS_HORZ | WS_TABSTOP, 0};
    case ControlKind::progressBar:
        return {PROGRESS_CLASSA, 0, 0};
    case ControlKind::smoothProgressBar:
        return {PROGRESS_CLASSA, PBS_SMOOTH, 0};
    }
    return {"static", 0, 0};
}

} // namespace

HWND createControl(HWND parent, ControlKind kind, int id, const char* text, const CellRect& rect, DWORD extraStyle)
{
    const ControlClass c = classOf(kind);
    const PixelRect r = pixelsOf(rect, appState.charWidth, appState.lineHeight);
    return CreateWindowExA(c.exStyle, c.name, text, WS_CHILD | WS_VISIBLE | c.style | extraStyle, r.x, r.y, r.width,
                           r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), appInstance, nullptr);
}

HWND createControl(HWND parent, const ControlPlace& place, DWORD extraStyle)
{
    const char* label = place.textIndex >= 0 ? text(place.textIndex) : place.literal;
    return createControl(parent, place.kind, place.id, label, place.rect, extraStyle);
}
