#include <cstring>

#include "app/controls.h"
#include "app/layout.h"
#include "app/main_window_fit.h"
#include "app/menus.h"
#include "app/radio_focus.h"
#include "app/screen_scale.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/window_procedures.h"
#include "app/texts.h"
#include "app/window_table.h"

namespace {

// Drawing objects of the warning screen; one selection window exists at a time.
HPEN framePen = nullptr;
HBRUSH frameBrush = nullptr;
HFONT textFont = nullptr;

// The warning text: bold Arial of 12 pixels at 96 dpi and the normal size.
void createTextFont(HWND window)
{
    if (textFont)
        DeleteObject(textFont);
    textFont = createScaledFont("Arial", 12, FW_BOLD);

    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, textFont);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    appState.textCharWidth = metrics.tmAveCharWidth;
    appState.textLineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    SelectObject(dc, old);
    ReleaseDC(window, dc);
}

void createDrawingObjects(HWND window)
{
    framePen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    frameBrush = CreateSolidBrush(RGB(255, 255, 255));
    createTextFont(window);
}

void deleteDrawingObjects()
{
    DeleteObject(framePen);
    DeleteObject(frameBrush);
    DeleteObject(textFont);
    framePen = nullptr;
    frameBrush = nullptr;
    textFont = nullptr;
}

void createControls(HWND window)
{
    for (const ControlPlace& place : selectionControls) {
        // One tab stop per group of choices, on its first button; the arrow
        // keys move within the group.
        const bool firstOfGroup = place.id == selectionIdGerman || place.id == selectionIdK;
        HWND control = createControl(window, place, firstOfGroup ? WS_TABSTOP : 0);
        if (place.kind == ControlKind::choice)
            guardRadioFocus(control, RadioRole::choice);
    }
}

void setChecked(HWND window, int id, bool checked)
{
    SendDlgItemMessageA(window, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void paintWarning(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const int cw = appState.charWidth;
    const int lh = appState.lineHeight;

    drawBitmap(dc, "Bild1", logoX(appState.clientWidth, scaledLength(logoWidth)), logoY(scaledLength(logoHeight)),
               logoWidth, logoHeight, SRCAND);
    drawBitmap(dc, "Bild2", warningPictogramX(cw), warningPictogramY(lh), pictogramWidth, pictogramHeight, SRCCOPY);

    HGDIOBJ oldPen = SelectObject(dc, framePen);
    HGDIOBJ oldBrush = SelectObject(dc, frameBrush);
    const WarningFrame frame = warningFrame(cw, lh);
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);

    HGDIOBJ oldFont = SelectObject(dc, textFont);
    for (int i = 0; i < warningLineCount; ++i) {
        const char* line = warningLines[i];
        TextOutA(dc, warningLineX(cw), warningLineY(i, lh, appState.textLineHeight), line, static_cast<int>(std::strlen(line)));
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    EndPaint(window, &ps);
}

void confirm(HWND window)
{
    HWND main = mainWindowHandle();
    selectLanguageTexts(appState.language);
    setLanguageMenu(main, appState.language);
    SetWindowTextA(main, mainWindowTitle(chosenFamily()).c_str());
    setMenuItemEnabled(main, commandProtocolDisplay, false);
    setMenuItemEnabled(main, commandProtocolSave, false);
    appState.protocolAvailable = 0;
    saveSettings(appState);
    enableMenuItems(main);
    greyProtocolItemsUnlessAvailable(main);
    DestroyWindow(window);
    fitMainWindow(main, windowCells(chosenFamily()), true);
}

} // namespace

LRESULT CALLBACK selectionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        MoveWindow(window, 0, 0, appState.clientWidth, appState.clientHeight, FALSE);
        createDrawingObjects(window);
        greyMenuItems(mainWindowHandle());
        createControls(window);
        EnableWindow(GetDlgItem(window, selectionIdOk), FALSE);
        if (appState.language == 0 || appState.language == 1)
            setChecked(window, appState.language, true);
        return 0;
    case WM_PAINT:
        paintWarning(window);
        return 0;
    case WM_LAYOUT_CHANGED:
        createTextFont(window);
        return 0;
    case DM_GETDEFID:
        // Enter confirms, once OK is enabled.
        return MAKELRESULT(selectionIdOk, DC_HASDEFID);
    case WM_COMMAND: {
        if (lParam == 0)
            break;
        // The focus arriving on a radio button chooses nothing.
        if (clickFromFocus(reinterpret_cast<HWND>(lParam)))
            return 1;
        const int id = LOWORD(wParam);
        if (id == selectionIdGerman || id == selectionIdEnglish) {
            setChecked(window, selectionIdGerman, id == selectionIdGerman);
            setChecked(window, selectionIdEnglish, id == selectionIdEnglish);
            appState.language = id;
            return 1;
        }
        if (id == selectionIdK || id == selectionIdM) {
            setChecked(window, selectionIdK, id == selectionIdK);
            setChecked(window, selectionIdM, id == selectionIdM);
            appState.family = stateFromFamily(id == selectionIdM ? Family::m : Family::k);
            EnableWindow(GetDlgItem(window, selectionIdOk), TRUE);
            return 1;
        }
        if (id == selectionIdOk) {
            confirm(window);
            return 1;
        }
        break;
    }
    case WM_DESTROY:
        deleteDrawingObjects();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
