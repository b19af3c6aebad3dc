#include "config/config_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/feature_frame.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "config/config_controls.h"
#include "config/config_window_ids.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/link_request.h"
#include "link/notifications.h"
#include "link/reports.h"
#include "link/win/feature_link.h"
#include "app/replacing_file.h"

namespace {

constexpr int blockBytes = 32;
constexpr DWORD saveFlags = 0x2006;       // create prompt, hide read-only, overwrite prompt
constexpr DWORD openFlags = 0x2004;       // create prompt, hide read-only
constexpr DWORD configFilterIndex = 2;    // "Conf Files (*.cbf)"

// The buttons a transfer greys; Close stays usable.
const int busyButtons[] = {configButtonRead, configButtonLoadFile, configButtonSaveFile, configButtonDefaults,
                           configButtonProgram};

FeatureLinkWindow linkWindow(const ConfigFamily& family, HWND window)
{
    FeatureLinkWindow link;
    link.window = window;
    link.feature = family.feature;
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
void startTransfer(const ConfigFamily& family, HWND window, EngineProcedure engine, ConfigTransfer transfer)
{
    family.state->transfer = transfer;
    startFeatureLink(linkWindow(family, window), engine, &linkRequest, family.state->product);
}

void setBlockPayload(const ConfigFamily& family)
{
    linkRequest.subCode = 0;
    linkRequest.payload[0] = family.dataVersion;
    linkRequest.payload[1] = family.unitKind;
    linkRequest.payload[2] = 0;
    linkRequest.blockSize = blockBytes;
}

void readFromUnit(const ConfigFamily& family, HWND window)
{
    linkRequest.command = cmdReadConfiguration;
    linkRequest.data = dataBuffer;
    linkRequest.dataCapacity = static_cast<std::uint32_t>(workBufferSize);
    setBlockPayload(family);
    if (family.crcSelector >= 0)
        linkRequest.crcSelector = static_cast<std::uint8_t>(family.crcSelector);
    startTransfer(family, window, blockReadEngine, ConfigTransfer::read);
}

// Gathers every row and runs the check; a failure is shown and ends the
// command.
bool gatherAndCheck(const ConfigFamily& family, HWND window)
{
    family.gatherAll();
    const std::string failure = family.checkFailure();
    if (failure.empty())
        return true;
    showError(window, failure.c_str(), text(textConfigurationTitle));
    return false;
}

void programUnit(const ConfigFamily& family, HWND window)
{
    const std::string hint = std::string(text(textDisplayHint)) + text(textDisplayHint + 1);
    showError(window, hint.c_str(), familyCaption(family.feature));
    if (!gatherAndCheck(family, window))
        return;
    // The engine sends a copy, so edits made while it runs cannot tear the
    // block it is reading.
    std::memcpy(family.state->programBlock, family.block(), family.blockSize);
    linkRequest.command = cmdAnnounceWrite;
    linkRequest.dataCommand = cmdWriteBlock;
    linkRequest.data = family.state->programBlock;
    linkRequest.finalState = 0xFF;
    linkRequest.totalLength = static_cast<std::uint32_t>(family.blockSize);
    setBlockPayload(family);
    startTransfer(family, window, blockWriteEngine, ConfigTransfer::program);
}

void prepareFileDialog(const ConfigFamily& family, DWORD flags)
{
    fileDialog.lpstrFile = family.fileName;
    fileDialog.lpstrFileTitle = family.fileTitle;
    fileDialog.nFilterIndex = configFilterIndex;
    fileDialog.Flags = flags;
}

void saveFile(const ConfigFamily& family, HWND window)
{
    if (!gatherAndCheck(family, window))
        return;
    prepareFileDialog(family, saveFlags);
    if (!uiGetSaveFileName(&fileDialog))
        return;
    const int failure = saveConfigFile(pathFromAnsi(family.fileName), *family.file, family.block());
    if (failure)
        showError(window, text(failure), text(textConfigurationTitle));
}

void loadFile(const ConfigFamily& family, HWND window)
{
    prepareFileDialog(family, openFlags);
    if (!uiGetOpenFileName(&fileDialog))
        return;
    unsigned char block[configImageCapacity];
    const int failure = loadConfigFile(pathFromAnsi(family.fileName), *family.file, block);
    if (failure) {
        showError(window, text(failure), text(textConfigurationTitle));
        return;
    }
    family.takeBlock(block);
    mirrorForm(family, window);
}

void buttonClicked(const ConfigFamily& family, HWND window, int id)
{
    switch (id) {
    case configButtonRead:
        readFromUnit(family, window);
        break;
    case configButtonLoadFile:
        loadFile(family, window);
        break;
    case configButtonSaveFile:
        saveFile(family, window);
        break;
    case configButtonDefaults:
        family.loadDefaults();
        mirrorForm(family, window);
        break;
    case configButtonProgram:
        programUnit(family, window);
        break;
    case configButtonClose:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void listChanged(const ConfigFamily& family, HWND window, int row, HWND list)
{
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    family.rows[row].value = chosen == CB_ERR ? noSelection : static_cast<int>(chosen);
    switch (row) {
    case rowTemperatureUnit:
        family.unitChanged();
        break;
    case rowBlowerType:
        family.blowerTypeChanged();
        break;
    case rowBlowerPowerAt:
        family.powerAtChanged();
        break;
    default:
        return;
    }
    mirrorForm(family, window);
}

LRESULT command(const ConfigFamily& family, HWND window, WPARAM wParam, LPARAM lParam)
{
    // Only controls act (the Read posted at opening carries 1 as its handle).
    if (lParam == 0)
        return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const int row = rowOfControl(id);
    if (row >= 0 && row < family.rowCount && partOfControl(id) == partValue) {
        if (code == CBN_SELCHANGE && family.rowInfo(row).kind == RowKind::list)
            listChanged(family, window, row, reinterpret_cast<HWND>(lParam));
        return 0;
    }
    if (code == BN_CLICKED)
        buttonClicked(family, window, id);
    return 0;
}

// An arrow click moves the row's value within the arrows' range, starting
// from the value in the box; the window writes the box itself.
LRESULT notify(const ConfigFamily& family, HWND window, WPARAM wParam, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    const int id = static_cast<int>(header->idFrom);
    const int row = rowOfControl(id);
    if (header->code != static_cast<UINT>(UDN_DELTAPOS) || row < 0 || row >= family.rowCount ||
        partOfControl(id) != partArrows)
        return DefWindowProcA(window, WM_NOTIFY, wParam, lParam);
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
    FormRow& r = family.rows[row];
    if (r.enabled) {
        r.value = std::clamp(r.value + change->iDelta, r.min, r.max);
        mirrorNumber(family, window, row);
    }
    return 1;   // the control keeps no position of its own
}

void linkEnded(const ConfigFamily& family, HWND window, WPARAM endCode, LPARAM lParam)
{
    const FeatureLinkWindow link = linkWindow(family, window);
    // A write answered 0x52 is a failed programming, not a finished read:
    // the working block stays as it is.
    if (endCode == endCompleted && family.state->transfer == ConfigTransfer::program) {
        stopLink();
        enableFeatureControls(link, true);
        showError(window, text(textWriteFailed), familyCaption(family.feature));
        return;
    }
    const EndReaction reaction = reactToLinkEnd(link, endCode, lParam);
    if (!reaction.windowCompletion)
        return;
    family.takeBlock(dataBuffer);
    mirrorForm(family, window);
    uiMessageBox(window, text(textConfigurationRead), familyCaption(family.feature), MB_OK | MB_ICONINFORMATION);
}

void created(const ConfigFamily& family, HWND window)
{
    featureFrameCreate(window);
    if (!ensureCommonControls(window, family.feature))
        return;
    INITCOMMONCONTROLSEX arrows;
    arrows.dwSize = sizeof arrows;
    arrows.dwICC = ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&arrows);

    family.state->transfer = ConfigTransfer::none;
    family.create();
    createConfigControls(family, window);
    mirrorForm(family, window);
    // Every opening reads the unit.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(configButtonRead, BN_CLICKED), 1);
}

} // namespace

LRESULT configWindowProc(const ConfigFamily& family, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        created(family, window);
        return 0;
    case WM_COMMAND:
        return command(family, window, wParam, lParam);
    case WM_NOTIFY:
        return notify(family, window, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush = defaultsColumnColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        if (brush)
            return reinterpret_cast<LRESULT>(brush);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_LINK_END:
        linkEnded(family, window, wParam, lParam);
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
