#include "window_survey.h"

#include <commctrl.h>

#include <cstdio>

namespace {

std::string classOf(HWND control)
{
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    return name;
}

bool isClass(HWND control, const char* name) { return lstrcmpiA(classOf(control).c_str(), name) == 0; }

std::string textOf(HWND control)
{
    char text[512] = {};
    GetWindowTextA(control, text, sizeof text);
    return text;
}

std::vector<std::string> listItems(HWND list)
{
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char item[256] = {};
        if (SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof item))
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.push_back(item);
    }
    return items;
}

HFONT fontOf(HWND control)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

std::string describeFont(HWND control)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font)
        return "system";
    LOGFONTA lf = {};
    GetObjectA(font, sizeof lf, &lf);
    char text[128];
    std::snprintf(text, sizeof text, "%s %ld/%ld w%ld", lf.lfFaceName, lf.lfHeight, lf.lfWidth, lf.lfWeight);
    return text;
}

RECT rectIn(HWND window, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The size a text takes in a control's font; wrapped at width when wrap is set.
SIZE measure(HWND control, const std::string& text, int width, UINT format)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, fontOf(control));
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, format | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

struct Room {
    int width;
    int height;
};

void checkFits(const ControlRecord& c, const std::string& text, SIZE needs, Room room,
               std::vector<std::string>& out)
{
    if (needs.cx <= room.width && needs.cy <= room.height)
        return;
    char line[640];
    std::snprintf(line, sizeof line, "%s %d '%s': needs %ldx%ld, has %dx%d", c.className.c_str(), c.id, text.c_str(),
                  needs.cx, needs.cy, room.width, room.height);
    out.push_back(line);
}

void checkButton(const ControlRecord& c, HWND control, std::vector<std::string>& out)
{
    RECT client;
    GetClientRect(control, &client);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const int type = style & BS_TYPEMASK;
    const SIZE needs = measure(control, c.text, 0, DT_SINGLELINE);
    Room room = {client.right, client.bottom};
    switch (type) {
    case BS_GROUPBOX:
        room.width -= 8;   // the frame's corners either side of the caption
        break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        room.width -= GetSystemMetrics(SM_CXMENUCHECK) + 4;   // the mark and its gap
        break;
    default:
        room.width -= 4;   // the raised edge
        room.height -= 2;
        break;
    }
    checkFits(c, c.text, needs, room, out);
}

void checkStatic(const ControlRecord& c, HWND control, std::vector<std::string>& out)
{
    RECT client;
    GetClientRect(control, &client);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const bool singleLine = (style & SS_CENTERIMAGE) != 0 || (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    const SIZE needs = measure(control, c.text, client.right, singleLine ? DT_SINGLELINE : DT_WORDBREAK);
    checkFits(c, c.text, needs, {client.right, client.bottom}, out);
}

void checkEdit(const ControlRecord& c, HWND control, std::vector<std::string>& out)
{
    RECT client;
    GetClientRect(control, &client);
    const LRESULT margins = SendMessageA(control, EM_GETMARGINS, 0, 0);
    const int width = client.right - LOWORD(margins) - HIWORD(margins);
    checkFits(c, c.text, measure(control, c.text, 0, DT_SINGLELINE), {width, client.bottom}, out);
}

void checkList(const ControlRecord& c, HWND control, std::vector<std::string>& out)
{
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(control, &info))
        return;
    const Room room = {info.rcItem.right - info.rcItem.left, info.rcItem.bottom - info.rcItem.top};
    for (const std::string& item : listItems(control))
        checkFits(c, item, measure(control, item, 0, DT_SINGLELINE), room, out);
}

} // namespace

std::vector<ControlRecord> surveyControls(HWND window)
{
    std::vector<ControlRecord> records;
    struct Walk {
        HWND window;
        std::vector<ControlRecord>* records;
    } walk = {window, &records};
    EnumChildWindows(
        window,
        [](HWND control, LPARAM data) -> BOOL {
            const auto* w = reinterpret_cast<Walk*>(data);
            ControlRecord c;
            c.handle = control;
            c.className = classOf(control);
            c.id = GetDlgCtrlID(control);
            c.rect = rectIn(w->window, control);
            c.font = describeFont(control);
            c.dynamicText = isClass(control, "Edit");
            if (isClass(control, "ComboBox")) {
                for (const std::string& item : listItems(control))
                    c.text += (c.text.empty() ? "" : "|") + item;
            } else {
                c.text = textOf(control);
            }
            w->records->push_back(c);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return records;
}

std::string describeRect(const RECT& r)
{
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return text;
}

namespace {

// Line breaks and tabs of a text written as \n and \t, one control per line.
std::string escaped(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\n')
            out += "\\n";
        else if (ch == '\t')
            out += "\\t";
        else
            out += ch;
    }
    return out;
}

} // namespace

std::vector<std::string> describeControls(HWND window)
{
    std::vector<std::string> lines;
    for (const ControlRecord& c : surveyControls(window))
        lines.push_back(c.className + " " + std::to_string(c.id) + " " + describeRect(c.rect) + " " + c.font +
                        (c.dynamicText ? "" : " '" + escaped(c.text) + "'"));
    return lines;
}

std::vector<std::string> textOverflows(HWND window)
{
    std::vector<std::string> out;
    for (const ControlRecord& c : surveyControls(window)) {
        HWND control = c.handle;
        if (!IsWindowVisible(control))
            continue;
        if (isClass(control, "Button"))
            checkButton(c, control, out);
        else if (isClass(control, "Static"))
            checkStatic(c, control, out);
        else if (isClass(control, "Edit"))
            checkEdit(c, control, out);
        else if (isClass(control, "ComboBox"))
            checkList(c, control, out);
    }
    return out;
}

std::vector<std::string> controlsOutside(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    std::vector<std::string> out;
    for (const ControlRecord& c : surveyControls(window)) {
        const RECT& r = c.rect;
        if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
            out.push_back(c.className + " " + std::to_string(c.id) + " '" + c.text + "' at " + describeRect(r) +
                          " in " + describeRect(client));
    }
    return out;
}
