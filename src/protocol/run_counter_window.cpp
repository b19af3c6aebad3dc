#include "app/window_procedures.h"

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
#include "protocol/run_counter_layout.h"
#include "protocol/run_counters.h"

namespace {

// One window of either family is open at a time (the feature-window frame
// sees to that); each family keeps its counter record and product string
// here.
struct CounterWindow {
    Family family;
    int readId;
    int closeId;
    char product[65];
};

CounterWindow windowK = {Family::k, counterReadIdK, counterCloseIdK, {}};
CounterWindow windowM = {Family::m, counterReadIdM, counterCloseIdM, {}};
RunCounterViewK viewK;
RunCounterViewM viewM;

// A transfer greys Read only; Close stays usable throughout.
FeatureLinkWindow linkWindow(const CounterWindow& w, HWND window)
{
    FeatureLinkWindow link;
    link.window = window;
    link.feature = Feature::counters;
    link.family = w.family;
    link.controlIds = &w.readId;
    link.controlCount = 1;
    return link;
}

void createControls(const CounterWindow& w, HWND window)
{
    ControlPlace controls[counterControlMax];
    const int count = runCounterControls(w.family, controls);
    for (int i = 0; i < count; ++i)
        createControl(window, controls[i]);
}

template <int N, typename View>
void showFields(HWND window, const View& view)
{
    CounterField fields[N];
    runCounterFields(view, fields);
    for (const CounterField& f : fields)
        SetDlgItemTextA(window, f.id, f.text);
}

void showFields(const CounterWindow& w, HWND window)
{
    if (w.family == Family::m)
        showFields<counterFieldCountM>(window, viewM);
    else
        showFields<counterFieldCountK>(window, viewK);
}

void startRead(CounterWindow& w, HWND window)
{
    setDataSetRead(linkRequest, DataSet::counters, familyUnitKind(w.family), dataBuffer,
                   static_cast<std::uint32_t>(workBufferSize));
    startFeatureLink(linkWindow(w, window), blockReadEngine, &linkRequest, w.product);
}

void readEnded(const CounterWindow& w, HWND window, WPARAM endCode, LPARAM lParam)
{
    // The engine writes dataBuffer until the link is stopped.
    stopLink();
    const int code = static_cast<int>(endCode);
    if (w.family == Family::m)
        runCounterReadEnded(viewM, code, dataBuffer, workBufferSize);
    else
        runCounterReadEnded(viewK, code, dataBuffer, workBufferSize);
    showFields(w, window);
    const EndReaction reaction = reactToLinkEnd(linkWindow(w, window), endCode, lParam);
    if (reaction.windowCompletion)
        uiMessageBox(window, text(textCountersRead), familyName(w.family), MB_OK | MB_ICONINFORMATION);
}

void created(CounterWindow& w, HWND window)
{
    featureFrameCreate(window);
    // Without the common controls the window still comes up; the posted
    // close ends it.
    ensureCommonControls(window, Feature::counters, w.family);
    createControls(w, window);
    if (w.family == Family::m)
        resetRunCounterView(viewM);
    else
        resetRunCounterView(viewK);
    // The read starts as soon as the window is shown.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(w.readId, BN_CLICKED), 1);
    showFields(w, window);
}

LRESULT counterWindowProc(CounterWindow& w, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        created(w, window);
        return 0;
    case WM_COMMAND:
        if (lParam == 0)
            break;
        if (LOWORD(wParam) == w.readId)
            startRead(w, window);
        else if (LOWORD(wParam) == w.closeId)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_LINK_END:
        readEnded(w, window, wParam, lParam);
        return 0;
    case WM_CLOSE:
        featureFrameClose(window, true);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK runCounterProcK(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return counterWindowProc(windowK, window, message, wParam, lParam);
}

LRESULT CALLBACK runCounterProcM(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return counterWindowProc(windowM, window, message, wParam, lParam);
}
