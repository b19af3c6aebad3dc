#include "app/window_procedures.h"

#include <commctrl.h>

#include <cstdint>

#include "app/controls.h"
#include "app/feature_frame.h"
#include "app/shell.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "link/block_read_engine.h"
#include "link/data_set_request.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "app/feature_link.h"
#include "protocol/protocol_entries.h"
#include "protocol/protocol_readout.h"

namespace {

// Posted by the window to itself, so the read starts once the window exists
// and is the main window's feature window.
constexpr UINT WM_START_READ = 0x8004;
constexpr int breakId = 60;

struct ReadWindow {
    Family family;
    char product[65];
};

ReadWindow windowK = {Family::k, {}};
ReadWindow windowM = {Family::m, {}};

// One read window is open at a time (the feature-window frame sees to that).
ProtocolReadout readout;
HWND progressBar = nullptr;

// Break stays usable for the whole read, so the link greys nothing.
FeatureLinkWindow linkWindow(const ReadWindow& w, HWND window)
{
    FeatureLinkWindow link;
    link.window = window;
    link.feature = Feature::protocolRead;
    link.family = w.family;
    return link;
}

void created(const ReadWindow& w, HWND window)
{
    const int cw = appState.charWidth;
    const int lh = appState.lineHeight;
    featureFrameCreateInBox(window, appState.clientWidth / 2 - 25 * cw, lh, 50 * cw, 7 * lh);
    ensureCommonControls(window, Feature::protocolRead, w.family);
    progressBar = createControl(window, ControlKind::progressBar, noControlId, nullptr,
                                {cells(1), cells(1), cells(45), cells(7, 6)});
    createControl(window, ControlKind::defaultButton, breakId, text(textBreak),
                  {cells(14), cells(3), cells(15), cells(7, 4)});
    SendMessageA(progressBar, PBM_SETPOS, 0, 0);
    startProtocolReadout(readout, w.family, workBufferSize);
    appState.autoDisplay = 0;
    PostMessageA(window, WM_START_READ, 0, 0);
}

void startRead(ReadWindow& w, HWND window)
{
    setDataSetRead(linkRequest, DataSet::protocol, familyUnitKind(w.family), protocolBuffer,
                   static_cast<std::uint32_t>(workBufferSize));
    if (!startFeatureLink(linkWindow(w, window), blockReadEngine, &linkRequest, w.product))
        PostMessageA(window, WM_CLOSE, 0, 0);
}

void blockArrived(WPARAM header, LPARAM blockIndex)
{
    const auto index = static_cast<std::uint32_t>(blockIndex);
    if (protocolBlockAccepted(readout, reinterpret_cast<const unsigned char*>(header), index))
        SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, readout.totalBlocks));
    // Only entries that have wholly arrived count, so a read broken off
    // part-way leaves nothing for the display to read beyond them.
    appState.protocolCount = readout.count;
    PostMessageA(progressBar, PBM_SETPOS, static_cast<WPARAM>(index), 0);
}

void showInformation(const ReadWindow& w, HWND window, const char* message)
{
    uiMessageBox(window, message, familyName(w.family), MB_OK | MB_ICONINFORMATION);
}

void showError(const ReadWindow& w, HWND window, const char* message)
{
    uiMessageBox(window, message, familyName(w.family), MB_OK | MB_ICONERROR);
}

void readEnded(const ReadWindow& w, HWND window, WPARAM endCode, LPARAM lParam)
{
    stopLink();
    appState.protocolAvailable = 0;
    const ReadoutEnd end = protocolReadoutEnded(readout, static_cast<int>(endCode));
    appState.protocolCount = end.count;
    switch (end.message) {
    case ReadoutMessage::communicationLost:
        showError(w, window, text(textCommunicationLost));
        break;
    case ReadoutMessage::wrongUnit:
        showWrongUnitMessage(linkWindow(w, window), lParam);
        break;
    case ReadoutMessage::usbError:
        showError(w, window, usbErrorText);
        break;
    case ReadoutMessage::noEntries:
        showInformation(w, window, text(textNoEntries));
        break;
    case ReadoutMessage::entriesRead: {
        char message[128];
        formatEntriesRead(end.count, text(textEntriesRead), message, sizeof message);
        showInformation(w, window, message);
        break;
    }
    case ReadoutMessage::none:
        break;
    }
    if (end.protocolAvailable) {
        appState.protocolAvailable = 1;
        appState.autoDisplay = end.autoDisplay ? 1 : 0;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// The reader could not open the device.
void linkAborted(HWND window)
{
    appState.protocolAvailable = 0;
    stopLink();
    uiMessageBox(window, usbErrorText, text(textReadProtocol), MB_OK | MB_ICONERROR);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

LRESULT readWindowProc(ReadWindow& w, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        created(w, window);
        return 0;
    case WM_START_READ:
        startRead(w, window);
        return 0;
    case WM_LINK_DATA:
        blockArrived(wParam, lParam);
        return 0;
    case WM_LINK_END:
        readEnded(w, window, wParam, lParam);
        return 0;
    case WM_LINK_ABORT:
        linkAborted(window);
        return 0;
    case WM_COMMAND:
        if (lParam != 0 && LOWORD(wParam) == breakId) {
            stopLink();
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_CLOSE:
        featureFrameClose(window, true);
        return 0;
    case WM_DESTROY:
        progressBar = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK protocolReadProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return readWindowProc(windowK, window, message, wParam, lParam);
}

LRESULT CALLBACK protocolReadProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return readWindowProc(windowM, window, message, wParam, lParam);
}
