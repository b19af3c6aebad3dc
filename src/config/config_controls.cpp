#include "config/config_controls.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/shell.h"
#include "app/texts.h"
#include "config/config_window_ids.h"
#include "config/value_box.h"

namespace {

constexpr COLORREF defaultsColour = RGB(70, 140, 70);
constexpr COLORREF white = RGB(255, 255, 255);

// A row's controls: boxes and lists at the row's top edge, one and a half
// lines high; the texts beside them a quarter line lower, one line high.
CellRect boxPlace(const RowPlace& place, int x, int width, CellFraction height = cells(3, 2))
{
    return {cells(x), cells(place.y), cells(width), height};
}
CellRect textPlace(const RowPlace& place, int x, int width)
{
    return {cells(x), cells(4 * place.y + 1, 4), cells(width), cells(1)};
}

void createGroupBoxes(const ConfigLayout& layout, HWND window)
{
    for (int i = 0; i < layout.boxCount; ++i) {
        const BoxPlace& box = layout.boxes[i];
        createControl(window, ControlKind::groupBox, configGroupBoxId + i, text(box.titleText),
                      {cells(box.x2, 2), cells(box.y2, 2), cells(box.width2, 2), cells(box.height2, 2)});
    }
}

void createList(const ConfigWindowSetup& setup, HWND window, int row, const RowPlace& place)
{
    const RowInfo& info = setup.form->rowInfo(row);
    // Room for every item when the list drops down ("Blower power at" has at
    // most two).
    const int items = info.itemCount > 0 ? info.itemCount : 2;
    HWND list = createControl(window, ControlKind::list, rowControlId(row, partValue), "",
                              boxPlace(place, place.valueX, place.valueWidth, cells(2 * items + 5, 2)));
    for (int i = 0; i < info.itemCount; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listItemText(info, i)));
}

// A read-only box whose value only the arrows at its right edge change.
void createNumber(const ConfigWindowSetup& setup, HWND window, int row, const RowPlace& place)
{
    const FormRow& r = setup.form->rows()[row];
    HWND box = createControl(window, ControlKind::valueBox, rowControlId(row, partValue), "",
                             boxPlace(place, place.valueX, place.valueWidth));
    HWND arrows = CreateUpDownControl(WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, 0, 0, 0, 0, window,
                                      rowControlId(row, partArrows), appInstance, box, r.max, r.min, r.value);
    makeValueBox(box, arrows);
}

void createRow(const ConfigWindowSetup& setup, HWND window, int row)
{
    const RowPlace& place = setup.layout->rows[row];
    const RowInfo& info = setup.form->rowInfo(row);
    if (place.labelWidth > 0)
        createControl(window, ControlKind::centredText, rowControlId(row, partLabel), text(info.labelText),
                      textPlace(place, place.labelX, place.labelWidth));
    if (info.kind == RowKind::list)
        createList(setup, window, row, place);
    else if (info.kind == RowKind::number)
        createNumber(setup, window, row, place);
    // Only rows that show a unit get its text; an empty one would show as a
    // blank strip.
    if (place.unitX > 0 && info.kind == RowKind::number && setup.form->rows()[row].unit)
        createControl(window, ControlKind::unitText, rowControlId(row, partUnit), "", textPlace(place, place.unitX, 7));
    if (place.defaultWidth > 0)
        createControl(window, ControlKind::centredText, rowControlId(row, partDefault), "",
                      textPlace(place, place.defaultX, place.defaultWidth));
}

void createButtons(const ConfigLayout& layout, HWND window)
{
    for (int i = 0; i < configButtonCount; ++i)
        createControl(window, ControlKind::pushButton, configButtonRead + i, text(textFirstConfigButton + i),
                      {cells(layout.buttonX2, 2), cells(layout.buttonY[i]), cells(21), cells(7, 4)});
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
    createControl(window, ControlKind::leftText, configLegendId, text(textDefaultSettings),
                  {cells(layout.legendX2, 2), cells(layout.legendY), cells(layout.legendWidth), cells(1)});
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
