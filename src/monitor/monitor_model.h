#pragma once
#include <cstddef>
#include <cstdint>

#include "app/app_state.h"
#include "monitor/monitor_records.h"
#include "app/family.h"
#include "monitor/monitor_view.h"

// The state of one monitor window (K-Series or M-Series) and everything it
// decides: the status and command records, manual control with the restart
// lock, run limit and compressor start sequence, and what the controls show.
// The window keeps one model per family for the whole program run, because
// the progress and title counters outlive the window; openMonitor resets
// everything else when the window is created.
//
// Everything here runs on the user-interface thread; the tick counters are
// read from and written to the AppState passed in.
//
// A window drives it like this, mirroring model.view after every call:
//   create          openMonitor, then post itself Start
//   Start           startMonitor; request from payload/payloadLength;
//                   openLink: unit named -> monitorConnected;
//                   opened -> monitorPolling; any failure -> monitorStartFailed
//   Stop / Close    stopLink, then stopMonitor / closeMonitor
//   link end        stopLink, then monitorLinkEnded
//   answer          handleAnswer; when true: payload and release poll into
//                   the request, mirror, and set answerProcessed last
//   controls        toggleManual, clickOutput, scrollBlower


// Start-sequence phases.
inline constexpr int sequenceIdle = 0;
inline constexpr int sequenceValveReversed = 1;
inline constexpr int sequenceValveRestored = 2;

struct MonitorModel {
    Family family = Family::k;     // which pair of records is in use
    MonitorStatusK statusK{};
    MonitorCommandK commandK{};
    MonitorStatusM statusM{};
    MonitorCommandM commandM{};
    int sequencePhase = sequenceIdle;
    bool savedValve = false;       // valve bit before the sequence reversed it
    bool polling = false;          // the poll engine runs and its answers count
    char product[65] = {};         // the connected unit's product string
    // What the next poll request carries: a copy of the command record taken
    // at Start and after every answer has been handled. The window copies it
    // into the request.
    std::uint8_t payload[monitorRecordSizeMax] = {};
    int payloadLength = 0;
    // The poll that hands the unit back to its own control when the link is
    // stopped: the command record as it is sent with manual control off
    // (outputs and blower power as the unit last reported them, manual flag
    // clear). Due while the last payload or the one before it carried the
    // manual flag, since the engine may not have sent the newer one yet.
    // The window puts it into the request beside the payload.
    std::uint8_t releasePayload[monitorRecordSizeMax] = {};
    bool releaseDue = false;
    MonitorView view;
    // Kept for the program's lifetime: never reset by openMonitor or Start.
    std::uint8_t progressCounter = 0;
    std::int32_t titleCounter = 0;
};

// Window creation: zeroed command record (the M-Series one with its lead
// bytes 0x01 0x02), manual control off, output indicators, Start and the
// toggle disabled, scroll bars 0, title text 111. The whole view is flagged.
void openMonitor(MonitorModel& model, Family family);

// Start, before the link is opened: resets the sequence and stepTicks and
// prepares the payload (monitorPayloadLength bytes of model.payload).
void startMonitor(MonitorModel& model, AppState& app);
// Start went on: product string read; the title names the unit.
void monitorConnected(MonitorModel& model, const char* product);
// Start is complete: both link threads run.
void monitorPolling(MonitorModel& model);

enum class StartFailure {
    noUnit,         // findDevice failed
    noProduct,      // readProductString failed
    readerThread,   // linkReader could not be started
    engineThread,   // pollEngine could not be started (the window stops the link)
};
void monitorStartFailed(MonitorModel& model, StartFailure failure);

// Stop button, Close and link end, each after stopLink. All leave manual
// control off. wrongUnitText is the link's wrong-unit message, used for end
// code 1.
void stopMonitor(MonitorModel& model);
void closeMonitor(MonitorModel& model);
void monitorLinkEnded(MonitorModel& model, int endCode, const char* wrongUnitText);

// One poll answer: status points to the answer from report byte 4 on, length
// bytes of it readable. Returns true when the answer was handled; the window
// then copies model.payload into the request and sets answerProcessed last.
// Answers that arrive when the model is not polling (left in the queue after
// stopLink) or that are too short are ignored: false, and nothing is released.
bool handleAnswer(MonitorModel& model, AppState& app, const std::uint8_t* status,
                  std::size_t length);

// Manual toggle button (id 83). Ignored while the button is disabled.
void toggleManual(MonitorModel& model, AppState& app);

// Click on output indicator id (K 0-3, M 0-13); ignored unless manual
// control is on. Refusals show a message and change nothing.
void clickOutput(MonitorModel& model, AppState& app, int id);

enum class ScrollAction { lineLeft, lineRight, pageLeft, pageRight, thumbTrack, thumbPosition, other };
// Blower power scroll bar (K id 4, M ids 14, 15). Returns false when manual
// control is off or the id is not a blower scroll bar: the window leaves the
// message to the default procedure.
bool scrollBlower(MonitorModel& model, int scrollId, ScrollAction action, int thumbPosition);

// Family facts the window needs besides the view.
int monitorPayloadLength(Family family);      // 23 or 37
const char* monitorCommonControlsCaption(Family family);
int monitorOutputCount(Family family);        // output indicators 0 .. n-1

bool manualOn(const MonitorModel& model);
std::uint32_t outputCommand(const MonitorModel& model);
std::uint8_t blowerCommand(const MonitorModel& model, int blower);
