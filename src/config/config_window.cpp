#include "config/config_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/feature_frame.h"
#include "app/feature_link.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "config/config_controls.h"
#include "config/config_window_ids.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/data_set_request.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "base/replacing_file.h"

namespace {

constexpr DWORD saveFlags = OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr DWORD openFlags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
constexpr DWORD configFilterIndex = 2;    // "Conf Files (*.cbf)"

// The buttons a transfer greys; Close stays usable.
const int busyButtons[] = {configButtonRead, configButtonLoadFile, configButtonSaveFile, configButtonDefaults,
                           configButtonProgram};

FeatureLinkWindow linkWindow(const ConfigWindowSetup& setup, HWND window)
{
    FeatureLinkWindow link;
    link.window = window;
    link.feature = Feature::configuration;
    link.family = setup.form->family();
    link.controlIds = busyButtons;
    link.controlCount = static_cast<int>(sizeof busyButtons / sizeof busyButtons[0]);
    return link;
}

void showError(HWND window, const char* message, const char* caption)
{
    uiMessageBox(window, message, caption, MB_OK | MB_ICONERROR);
}

// Starts the link: finds the unit, titles the window, starts both threads
// and greys the busy buttons; each failure has shown its message.
void startTransfer(const ConfigWindowSetup& setup, HWND window, EngineProcedure engine, ConfigTransfer transfer)
{
    setup.state->transfer = transfer;
    startFeatureLink(linkWindow(setup, window), engine, &linkRequest, setup.state->product);
}

void readFromUnit(const ConfigWindowSetup& setup, HWND window)
{
    setDataSetRead(linkRequest, DataSet::configuration, familyUnitKind(setup.form->family()), dataBuffer,
                   static_cast<std::uint32_t>(workBufferSize));
    startTransfer(setup, window, blockReadEngine, ConfigTransfer::read);
}

// Gathers every row and runs the check; a failure is shown and ends the
// command.
bool gatherAndCheck(const ConfigWindowSetup& setup, HWND window)
{
    setup.form->gatherAll();
    const std::string failure = setup.form->checkFailure();
    if (failure.empty())
        return true;
    showError(window, failure.c_str(), text(textConfigurationTitle));
    return false;
}

void programUnit(const ConfigWindowSetup& setup, HWND window)
{
    const std::string hint = std::string(text(textDisplayHint)) + text(textDisplayHint + 1);
    showError(window, hint.c_str(), familyName(setup.form->family()));
    if (!gatherAndCheck(setup, window))
        return;
    // The engine sends a copy, so edits made while it runs cannot tear the
    // block it is reading.
    std::memcpy(setup.state->programBlock, setup.form->blockBytes(), setup.form->blockSize());
    setConfigurationProgram(linkRequest, familyUnitKind(setup.form->family()), setup.state->programBlock,
                            static_cast<std::uint32_t>(setup.form->blockSize()));
    startTransfer(setup, window, blockWriteEngine, ConfigTransfer::program);
}

void prepareFileDialog(const ConfigWindowSetup& setup, DWORD flags)
{
    fileDialog.lpstrFile = setup.fileName;
    fileDialog.lpstrFileTitle = setup.fileTitle;
    fileDialog.nFilterIndex = configFilterIndex;
    fileDialog.Flags = flags;
}

void saveFile(const ConfigWindowSetup& setup, HWND window)
{
    if (!gatherAndCheck(setup, window))
        return;
    prepareFileDialog(setup, saveFlags);
    if (!uiGetSaveFileName(&fileDialog))
        return;
    const int failure = saveConfigFile(pathFromAnsi(setup.fileName), *setup.file, setup.form->blockBytes());
    if (failure)
        showError(window, text(failure), text(textConfigurationTitle));
}

void loadFile(const ConfigWindowSetup& setup, HWND window)
{
    prepareFileDialog(setup, openFlags);
    if (!uiGetOpenFileName(&fileDialog))
        return;
    unsigned char block[configImageCapacity];
    const int failure = loadConfigFile(pathFromAnsi(setup.fileName), *setup.file, block);
    if (failure) {
        showError(window, text(failure), text(textConfigurationTitle));
        return;
    }
    setup.form->takeBlock(block);
    mirrorForm(setup, window);
}

void buttonClicked(const ConfigWindowSetup& setup, HWND window, int id)
{
    switch (id) {
    case configButtonRead:
        readFromUnit(setup, window);
        break;
    case configButtonLoadFile:
        loadFile(setup, window);
        break;
    case configButtonSaveFile:
        saveFile(setup, window);
        break;
    case configButtonDefaults:
        setup.form->loadDefaults();
        mirrorForm(setup, window);
        break;
    case configButtonProgram:
        programUnit(setup, window);
        break;
    case configButtonClose:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void listChanged(const ConfigWindowSetup& setup, HWND window, int row, HWND list)
{
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    setup.form->rows()[row].value = chosen == CB_ERR ? noSelection : static_cast<int>(chosen);
    switch (row) {
    case rowTemperatureUnit:
        setup.form->unitChanged();
        break;
    case rowBlowerType:
        setup.form->blowerTypeChanged();
        break;
    case rowBlowerPowerAt:
        setup.form->powerAtChanged();
        break;
    default:
        return;
    }
    mirrorForm(setup, window);
}

LRESULT command(const ConfigWindowSetup& setup, HWND window, WPARAM wParam, LPARAM lParam)
{
    // Only controls act (the Read posted at opening carries 1 as its handle).
    if (lParam == 0)
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const int row = rowOfControl(id);
    if (row >= 0 && row < setup.form->rowCount() && partOfControl(id) == partValue) {
        if (code == CBN_SELCHANGE && setup.form->rowInfo(row).kind == RowKind::list)
            listChanged(setup, window, row, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    if (code == BN_CLICKED)
        buttonClicked(setup, window, id);
    return 0;
}

// An arrow click moves the row's value within the arrows' range, starting
// from the value in the box; the window writes the box itself.
LRESULT notify(const ConfigWindowSetup& setup, HWND window, WPARAM wParam, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const int id = static_cast<int>(header->idFrom);
    const int row = rowOfControl(id);
    if (header->code != static_cast<UINT>(UDN_DELTAPOS) || row < 0 || row >= setup.form->rowCount() ||
        partOfControl(id) != partArrows)
        return DefWindowProcA(window, WM_NOTIFY, wParam, lParam);
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
    FormRow& r = setup.form->rows()[row];
    if (r.enabled) {
        r.value = std::clamp(r.value + change->iDelta, r.min, r.max);
        mirrorNumber(setup, window, row);
    }
    return 1;   // the control keeps no position of its own
}

void linkEnded(const ConfigWindowSetup& setup, HWND window, WPARAM endCode, LPARAM lParam)
{
    const FeatureLinkWindow link = linkWindow(setup, window);
    // A write answered 0x52 is a failed programming, not a finished read:
    // the working block stays as it is.
    if (endCode == endCompleted && setup.state->transfer == ConfigTransfer::program) {
        stopLink();
        enableFeatureControls(link, true);
        showError(window, text(textWriteFailed), familyName(setup.form->family()));
        return;
    }
    const EndReaction reaction = reactToLinkEnd(link, endCode, lParam);
    if (!reaction.windowCompletion)
        return;
    setup.form->takeBlock(dataBuffer);
    mirrorForm(setup, window);
    uiMessageBox(window, text(textConfigurationRead), familyName(setup.form->family()), MB_OK | MB_ICONINFORMATION);
}

void created(const ConfigWindowSetup& setup, HWND window)
{
    featureFrameCreate(window);
    if (!ensureCommonControls(window, Feature::configuration, setup.form->family()))
        return;
    INITCOMMONCONTROLSEX arrows;
    arrows.dwSize = sizeof arrows;
    arrows.dwICC = ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&arrows);

    setup.state->transfer = ConfigTransfer::none;
    setup.form->create();
    createConfigControls(setup, window);
    mirrorForm(setup, window);
    // Every opening reads the unit.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(configButtonRead, BN_CLICKED), 1);
}

} // namespace

LRESULT configWindowProc(const ConfigWindowSetup& setup, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        created(setup, window);
        return 0;
    case WM_COMMAND:
        return command(setup, window, wParam, lParam);
    case WM_NOTIFY:
        return notify(setup, window, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush = defaultsColumnColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        if (brush)
            return reinterpret_cast<LRESULT>(brush);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_LINK_END:
        linkEnded(setup, window, wParam, lParam);
        return 0;
    case WM_LINK_DATA:
    case WM_LINK_ABORT:
        return 0;
    case WM_CLOSE:
        featureFrameClose(window, true);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
