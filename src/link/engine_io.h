#pragma once
#include <cstdint>

#include "link/link_event.h"

// The parts every transaction engine shares: the write pass through Send
// and the hand-over of one answer from the reader.

inline constexpr int maxWritePasses = 20;
inline constexpr int maxForeignAnswers = 200;

struct EngineIo {
    int writeAttempts = 0;
    int foreignAnswers = 0;
    bool writePending = false;
    LinkEvent writeEvent;     // auto-reset, for the engine's own write

    EngineIo() = default;
    EngineIo(const EngineIo&) = delete;
    EngineIo& operator=(const EngineIo&) = delete;
    // An engine may end with its write still pending (stopped, or after
    // twenty passes): the write is cancelled before writeEvent goes away,
    // whichever way the engine returns.
    ~EngineIo();
};

enum SendResult {
    sendWritten,   // the report went out: await the answer
    sendAgain,     // not yet: pass through Send again
    sendLimit,     // maxWritePasses passes without a completed write
    sendGone,      // the device is gone (error 1167)
    sendStopped,   // linkStop was set while waiting
};

// Start of every engine: its write event, and at most 100 ms for the reader
// to have tried the device. false when linkStop came first.
bool beginEngine(EngineIo& io);

// One pass through Send: counts the attempt, puts sequenceNumber into
// outReport byte 1, clears the foreign count and writes outReport (or waits
// one slice for a write that is still pending).
SendResult sendPass(EngineIo& io, int pendingSliceMs);

// Waits in 100 ms slices for the next report; on one, copies inReport into
// lastAnswer and releases the reader. false when linkStop was set.
bool awaitAnswer();

// Finished: nothing more is sent; wait for linkStop in 500 ms slices.
void waitForStop();
