#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_event.h"
#include "link/link_state.h"

// The steps every transaction engine shares: the request header, the passes
// through Send, the wait for its own answer, the notifications that carry
// the answer, and the end of an engine. The failure policy lives here: how
// often a write is tried, how many foreign answers are let through, which
// end code each failure posts.

inline constexpr int maxWritePasses = 20;
inline constexpr int maxForeignAnswers = 200;

struct EngineIo {
    int writeAttempts = 0;
    int foreignAnswers = 0;
    bool writePending = false;

    EngineIo() = default;
    EngineIo(const EngineIo&) = delete;
    EngineIo& operator=(const EngineIo&) = delete;
    // An engine may end with its write still pending (stopped, or after
    // twenty passes): the write is given up, whichever way the engine
    // returns.
    ~EngineIo();
};

// Start of every engine: at most 100 ms for the reader to have tried the
// device. false when linkStop came first.
bool beginEngine();

// Report id 0, command and sub-code of a new report in outReport.
void startReport(std::uint8_t command, std::uint8_t subCode);

// A new request: the next sequence number, the request's command and
// sub-code, payloadLength bytes of its payload, and a fresh count of write
// passes.
void prepareRequest(EngineIo& io, const LinkRequest& request, std::size_t payloadLength);

// What a step left the engine to do.
enum class Step {
    proceed,    // Send: the report went out; await: lastAnswer holds the own answer
    resend,     // await: too many foreign answers; a new number is taken, send again
    finished,   // Send: twenty passes (end code 0) or the device gone (4) were posted
    stopped,    // linkStop was set: return at once
};

// Passes through Send until the report is written, the passes run out, the
// device is gone or linkStop is set. Each pass puts sequenceNumber into
// outReport byte 1, clears the foreign count and writes outReport (or waits
// one pendingSliceMs slice for a write that is still pending).
Step sendRequest(EngineIo& io, int pendingSliceMs);

// The passes of sendRequest without its notifications, for a report that
// goes out after the window has let the link go (the release poll): a
// failure then belongs to nobody.
enum class SendOutcome { written, failed, gone, stopped };
SendOutcome sendUntilDone(EngineIo& io, int pendingSliceMs);

// Waits in 100 ms slices for the answer that carries sequenceNumber, copying
// each report into lastAnswer and releasing the reader. Foreign answers are
// passed over; the one after foreignLimit of them takes a new sequence
// number and asks for a resend.
Step awaitOwnAnswer(EngineIo& io, int foreignLimit);

// A notification that carries lastAnswer from byte 4 on (lParam).
void postWithAnswer(std::uint32_t message, std::uintptr_t wParam);

// Finished: nothing more is sent; wait for linkStop in 500 ms slices.
void waitForStop();
