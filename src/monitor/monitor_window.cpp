#include "app/window_procedures.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/feature_frame.h"
#include "app/radio_focus.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"
#include "app/feature_link.h"
#include "app/link_messages.h"
#include "monitor/monitor_controls.h"
#include "monitor/monitor_model.h"

namespace {

// One per family. The model outlives the window: its progress and title
// counters run for the whole program.
struct MonitorWindow {
    Family family;
    HWND window;
    MonitorModel model;
    MonitorControls controls;
};

MonitorWindow monitorK{Family::k, nullptr, MonitorModel{}, MonitorControls{}};
MonitorWindow monitorM{Family::m, nullptr, MonitorModel{}, MonitorControls{}};

// Bytes of an answer that lParam of WM_LINK_DATA may be read for.
constexpr std::size_t answerBytesFromStatus = reportSize - 4;

// Mirrors the model; the message (if any) is taken first and shown last,
// because its box runs a message loop of its own.
void show(MonitorWindow& w)
{
    std::string message;
    const char* caption = "";
    const bool hasMessage = takeMessage(w.model.view, message, caption);
    mirrorMonitorView(w.window, w.controls, w.model.view);
    if (hasMessage)
        uiMessageBox(w.window, message.c_str(), caption, MB_OK | MB_ICONERROR);
}

void fillPollRequest(const MonitorModel& model)
{
    linkRequest.command = monitorPollCommand;
    linkRequest.subCode = monitorPollSubCode;
    linkRequest.blockSize = static_cast<std::uint8_t>(model.payloadLength);
    linkRequest.expectedAnswerType = monitorAnswerType;
    linkRequest.expectedUnitKind = familyUnitKind(model.family);
    std::memcpy(linkRequest.payload, model.payload, static_cast<std::size_t>(model.payloadLength));
}

// The link does not say which thread failed; the model shows both alike.
StartFailure startFailure(LinkStart start)
{
    switch (start) {
    case LinkStart::noUnit:
        return StartFailure::noUnit;
    case LinkStart::noProduct:
        return StartFailure::noProduct;
    case LinkStart::noThread:
    case LinkStart::opened:
        break;
    }
    return StartFailure::readerThread;
}

void start(MonitorWindow& w)
{
    // A second Start on a running link would start a second pair of threads.
    if (w.model.polling || linkIsOpen())
        return;
    startMonitor(w.model, appState);
    fillPollRequest(w.model);
    char product[productStringChars + 1] = {};
    const LinkStart started = openLink(pollEngine, &linkRequest, product, [&](const char* unit) {
        monitorConnected(w.model, unit);
        // The title names the unit before the threads run.
        show(w);
    });
    if (started == LinkStart::opened)
        monitorPolling(w.model);
    else
        monitorStartFailed(w.model, startFailure(started));
    show(w);
}

void stop(MonitorWindow& w)
{
    stopLink();
    stopMonitor(w.model);
    show(w);
}

void linkEnded(MonitorWindow& w, WPARAM endCode, LPARAM lParam)
{
    // The unit is gone, silent or of the wrong kind: no release poll can
    // reach it, so the stop need not wait for one.
    linkRequest.releaseLength = 0;
    stopLink();
    char wrongUnit[256] = {};
    if (endCode == endWrongUnit && lParam != 0)
        wrongUnitMessage(wrongUnit, sizeof wrongUnit, w.family,
                         reinterpret_cast<const std::uint8_t*>(lParam), uiText);
    monitorLinkEnded(w.model, static_cast<int>(endCode), wrongUnit[0] != '\0' ? wrongUnit : nullptr);
    show(w);
}

// The status record is read, the next command written into the request, the
// controls updated; only then may the engine send the next poll.
void answer(MonitorWindow& w, LPARAM lParam)
{
    const auto* status = reinterpret_cast<const std::uint8_t*>(lParam);
    if (!handleAnswer(w.model, appState, status, answerBytesFromStatus))
        return;
    std::memcpy(linkRequest.payload, w.model.payload, static_cast<std::size_t>(w.model.payloadLength));
    // What stopLink sends first when polling ends (Stop, Close, the program
    // closing) while the unit may still be under manual control.
    std::memcpy(linkRequest.releasePayload, w.model.releasePayload, static_cast<std::size_t>(w.model.payloadLength));
    linkRequest.releaseLength = static_cast<std::uint8_t>(w.model.releaseDue ? w.model.payloadLength : 0);
    show(w);
    setEvent(answerProcessed);
}

ScrollAction scrollAction(WORD code)
{
    switch (code) {
    case SB_LINELEFT:
        return ScrollAction::lineLeft;
    case SB_LINERIGHT:
        return ScrollAction::lineRight;
    case SB_PAGELEFT:
        return ScrollAction::pageLeft;
    case SB_PAGERIGHT:
        return ScrollAction::pageRight;
    case SB_THUMBTRACK:
        return ScrollAction::thumbTrack;
    case SB_THUMBPOSITION:
        return ScrollAction::thumbPosition;
    default:
        return ScrollAction::other;
    }
}

void create(MonitorWindow& w, HWND window)
{
    w.window = window;
    featureFrameCreate(window);
    ensureCommonControls(window, Feature::monitor, w.family);
    openMonitor(w.model, w.family);
    createMonitorControls(window, w.family, w.controls);
    show(w);
    // Connect at once, as if Start had been clicked.
    PostMessageA(window, WM_COMMAND, idStart, reinterpret_cast<LPARAM>(GetDlgItem(window, idStart)));
}

void command(MonitorWindow& w, int id, int notification)
{
    if (id >= 0 && id < monitorOutputCount(w.family)) {
        // A radio-style indicator also reports BN_DOUBLECLICKED on a
        // double-click: one click, not two (a second would abort the start
        // it made, with the restart lock used up).
        if (notification != BN_CLICKED)
            return;
        clickOutput(w.model, appState, id);
        show(w);
        return;
    }
    switch (id) {
    case idStart:
        start(w);
        break;
    case idStop:
        stop(w);
        break;
    case idClose:
        PostMessageA(w.window, WM_CLOSE, 0, 0);
        break;
    case idManualToggle:
        toggleManual(w.model, appState);
        show(w);
        break;
    default:
        break;
    }
}

LRESULT monitorProc(MonitorWindow& w, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        create(w, window);
        return 0;
    case WM_COMMAND:
        // Menu commands and accelerators (no control) are not the monitor's.
        if (lParam == 0)
            break;
        // Moving the focus onto an indicator never switches it.
        if (clickFromFocus(reinterpret_cast<HWND>(lParam)))
            return 0;
        command(w, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (lParam == 0 || !scrollBlower(w.model, id, scrollAction(LOWORD(wParam)), HIWORD(wParam)))
            break;
        show(w);
        return 0;
    }
    case WM_LINK_DATA:
        answer(w, lParam);
        return 0;
    case WM_LINK_END:
        linkEnded(w, wParam, lParam);
        return 0;
    case WM_CLOSE:
        stopLink();
        closeMonitor(w.model);
        featureFrameClose(window, true);
        return 0;
    case WM_DESTROY:
        // Also when the main window goes with the monitor still open.
        stopLink();
        closeMonitor(w.model);
        w.window = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK monitorProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return monitorProc(monitorK, window, message, wParam, lParam);
}

LRESULT CALLBACK monitorProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return monitorProc(monitorM, window, message, wParam, lParam);
}
