#pragma once
#include "link/link_event.h"

// The five events of the device link, created once at start-up in this order.
extern LinkEvent reportReceived;   // auto: reader to engine, inReport holds a new report
extern LinkEvent reportConsumed;   // auto: engine to reader, inReport has been copied
extern LinkEvent linkStop;         // manual: stopLink to both threads
extern LinkEvent answerProcessed;  // auto: monitor to poll engine, send the next poll now
extern LinkEvent readerReady;      // manual: reader to engine, the device open was tried

// Wait slices of the link, in milliseconds.
inline constexpr int pendingIoSliceMs = 10;
inline constexpr int blockReadPendingSliceMs = 30;  // block read: a pending write
inline constexpr int partnerSliceMs = 100;
inline constexpr int idleSliceMs = 500;
inline constexpr int readerReadyWaitMs = 100;
inline constexpr int stopLinkWaitMs = 1000;

// Puts all five events into their initial, not signalled state.
void createLinkEvents();
