#include "config/config_controls.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/shell.h"
#include "app/texts.h"
#include "config/config_window_ids.h"
#include "config/value_box.h"

namespace {

constexpr COLORREF defaultsColour = RGB(70, 140, 70);
constexpr COLORREF white = RGB(255, 255, 255);

// Pixels from cells, in integers as everywhere in the program.
int columns(int cells) { return cells * appState.charWidth; }
int halfColumns(int halves) { return halves * appState.charWidth / 2; }
int lines(int cells) { return cells * appState.lineHeight; }
int halfLines(int halves) { return halves * appState.lineHeight / 2; }

// A row's controls: boxes and lists at the row's top edge, one and a half
// lines high; the texts beside them a quarter line lower, one line high.
int rowTop(const RowPlace& place) { return lines(place.y); }
int textTop(const RowPlace& place) { return lines(place.y) + appState.lineHeight / 4; }
int boxHeight() { return 3 * appState.lineHeight / 2; }
int textHeight() { return appState.lineHeight; }

HMENU idParam(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND createChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int width,
                 int height, int id, DWORD exStyle = 0)
{
    return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           idParam(id), appInstance, nullptr);
}

void createGroupBoxes(const ConfigLayout& layout, HWND window)
{
    for (int i = 0; i < layout.boxCount; ++i) {
        const BoxPlace& box = layout.boxes[i];
        createChild(window, "button", text(box.titleText), BS_GROUPBOX | BS_CENTER, halfColumns(box.x2),
                    halfLines(box.y2), halfColumns(box.width2), halfLines(box.height2), configGroupBoxId + i);
    }
}

void createList(const ConfigWindowSetup& setup, HWND window, int row, const RowPlace& place)
{
    const RowInfo& info = setup.form->rowInfo(row);
    // Room for every item when the list drops down ("Blower power at" has at
    // most two).
    const int items = info.itemCount > 0 ? info.itemCount : 2;
    HWND list = createChild(window, "combobox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                            columns(place.valueX), rowTop(place), columns(place.valueWidth),
                            boxHeight() + lines(items + 1), rowControlId(row, partValue));
    for (int i = 0; i < info.itemCount; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listItemText(info, i)));
}

// A read-only box whose value only the arrows at its right edge change.
void createNumber(const ConfigWindowSetup& setup, HWND window, int row, const RowPlace& place)
{
    const FormRow& r = setup.form->rows()[row];
    HWND box = createChild(window, "static", "", SS_CENTER | SS_CENTERIMAGE | WS_TABSTOP, columns(place.valueX),
                           rowTop(place), columns(place.valueWidth), boxHeight(), rowControlId(row, partValue),
                           WS_EX_CLIENTEDGE);
    HWND arrows = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, 0, 0, 0, 0, window,
                                      rowControlId(row, partArrows), appInstance, box, r.max, r.min, r.value);
    makeValueBox(box, arrows);
}

void createRow(const ConfigWindowSetup& setup, HWND window, int row)
{
    const RowPlace& place = setup.layout->rows[row];
    const RowInfo& info = setup.form->rowInfo(row);
    if (place.labelWidth > 0)
        createChild(window, "static", text(info.labelText), SS_CENTER, columns(place.labelX), textTop(place),
                    columns(place.labelWidth), textHeight(), rowControlId(row, partLabel));
    if (info.kind == RowKind::list)
        createList(setup, window, row, place);
    else if (info.kind == RowKind::number)
        createNumber(setup, window, row, place);
    // Only rows that show a unit get its text; an empty one would show as a
    // blank strip.
    if (place.unitX > 0 && info.kind == RowKind::number && setup.form->rows()[row].unit)
        createChild(window, "static", "", SS_LEFT, columns(place.unitX), textTop(place), columns(7), textHeight(),
                    rowControlId(row, partUnit));
    if (place.defaultWidth > 0)
        createChild(window, "static", "", SS_CENTER, columns(place.defaultX), textTop(place),
                    columns(place.defaultWidth), textHeight(), rowControlId(row, partDefault));
}

void createButtons(const ConfigLayout& layout, HWND window)
{
    for (int i = 0; i < configButtonCount; ++i)
        createChild(window, "button", text(textFirstConfigButton + i), BS_PUSHBUTTON | WS_TABSTOP, halfColumns(layout.buttonX2),
                    lines(layout.buttonY[i]), columns(21), 7 * appState.lineHeight / 4, configButtonRead + i);
}

// Window texts are set only when they change, so mirroring does not flicker.
void setText(HWND control, const char* value)
{
    if (!control)
        return;
    char current[64];
    GetWindowTextA(control, current, sizeof current);
    if (std::strcmp(current, value) != 0)
        SetWindowTextA(control, value);
}

void setEnabled(HWND control, bool enabled)
{
    if (control && (IsWindowEnabled(control) != FALSE) != enabled)
        EnableWindow(control, enabled ? TRUE : FALSE);
}

// "Blower power at" offers the entries of the blower type shown.
void refillPowerAt(const ConfigWindowSetup& setup, HWND list)
{
    const int type = setup.form->formView().typeShown;
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < blowerEntryCount(type); ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(blowerEntryName(type, i)));
}

void mirrorRow(const ConfigWindowSetup& setup, HWND window, int row)
{
    const FormRow& r = setup.form->rows()[row];
    const RowKind kind = setup.form->rowInfo(row).kind;
    HWND value = GetDlgItem(window, rowControlId(row, partValue));
    if (kind == RowKind::list) {
        if (row == rowBlowerPowerAt)
            refillPowerAt(setup, value);
        SendMessageA(value, CB_SETCURSEL, static_cast<WPARAM>(r.value), 0);
        setEnabled(value, r.enabled);
    } else if (kind == RowKind::number) {
        mirrorNumber(setup, window, row);
        setEnabled(value, r.enabled);
        setEnabled(GetDlgItem(window, rowControlId(row, partArrows)), r.enabled);
    }
    setText(GetDlgItem(window, rowControlId(row, partUnit)), r.unit ? r.unit : "");
    setText(GetDlgItem(window, rowControlId(row, partDefault)), r.defaultText);
}

} // namespace

void createConfigControls(const ConfigWindowSetup& setup, HWND window)
{
    const ConfigLayout& layout = *setup.layout;
    createGroupBoxes(layout, window);
    for (int row = 0; row < setup.form->rowCount(); ++row)
        createRow(setup, window, row);
    createChild(window, "static", text(textDefaultSettings), SS_LEFT, halfColumns(layout.legendX2), lines(layout.legendY),
                columns(layout.legendWidth), textHeight(), configLegendId);
    createButtons(layout, window);
}

void mirrorForm(const ConfigWindowSetup& setup, HWND window)
{
    setup.form->formView().filling = true;
    for (int row = 0; row < setup.form->rowCount(); ++row)
        mirrorRow(setup, window, row);
    setup.form->formView().filling = false;
}

void mirrorNumber(const ConfigWindowSetup& setup, HWND window, int row)
{
    const FormRow& r = setup.form->rows()[row];
    char value[16];
    std::snprintf(value, sizeof value, "%d", r.value);
    setText(GetDlgItem(window, rowControlId(row, partValue)), value);
    HWND arrows = GetDlgItem(window, rowControlId(row, partArrows));
    SendMessageA(arrows, UDM_SETRANGE32, static_cast<WPARAM>(r.min), static_cast<LPARAM>(r.max));
    SendMessageA(arrows, UDM_SETPOS32, 0, static_cast<LPARAM>(r.value));
}

HBRUSH defaultsColumnColours(HWND control, HDC dc)
{
    const int id = GetDlgCtrlID(control);
    const bool green = id == configLegendId || (rowOfControl(id) >= 0 && partOfControl(id) == partDefault);
    if (!green)
        return nullptr;
    SetTextColor(dc, defaultsColour);
    SetBkColor(dc, white);
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}
