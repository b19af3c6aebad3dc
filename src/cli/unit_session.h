#pragma once
// The link driven from a terminal: the same discovery, reader and engines as
// the windows use, with the link's notifications taken from a queue on the
// calling thread instead of a window's message loop.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "link/device_discovery.h"
#include "link/link_control.h"
#include "link/notifications.h"

// Selects how the unit is reached: endpoint "host:port" for a unit over the
// TCP wire, empty for the platform's USB backend (HID on Windows; none
// natively). Creates the link's events and takes its notifications. Called
// once per command, while no link runs.
void prepareTerminalLink(const std::string& endpoint);

// Whether a USB backend exists here (false natively, where only the TCP
// wire reaches a unit).
bool haveUsbBackend();

enum class ConnectResult { connected, noUnit, noProduct };

// Discovery and the product string, as a feature window does before it
// starts its link.
ConnectResult connectUnit(char product[productStringChars + 1]);

// One notification as the terminal sees it: the bytes a parameter pointed
// at are copied, so they stay valid however long the handler takes.
struct TerminalNotification {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint8_t bytes[maxSnapshotBytes] = {};
    std::size_t length = 0;
};

enum class TransferOutcome {
    ended,         // WM_LINK_END: endCode says how
    aborted,       // WM_LINK_ABORT: the reader could not open the device
    stalled,       // nothing came for the stall time: the unit fell silent
    stopped,       // the handler asked to stop, or the user interrupted
    threadFailed,  // a link thread could not be started
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::threadFailed;
    std::uint32_t endCode = 0;
    // The answer from report byte 4 on that came with the end (end code 1),
    // valid when hasAnswer.
    std::uint8_t answer[maxSnapshotBytes] = {};
    bool hasAnswer = false;
};

// Called for each WM_LINK_DATA on the caller's thread; false ends the
// transfer. The poll engine's next request waits until the handler returns.
using DataHandler = std::function<bool(const TerminalNotification& data)>;

struct TransferLimits {
    // The engines wait for a silent unit for ever; a terminal program must
    // not. A transfer without progress for this long has stalled. Progress
    // is every answer of a poll, but only a block beyond all before it of a
    // block transfer: a unit that has the same blocks sent again and again
    // (0x63 "again from block 0" for ever) does not keep it alive.
    int stallMs = 5000;
    // Set from a signal handler (Ctrl-C): the transfer stops at once.
    const std::atomic<bool>* interrupted = nullptr;
};

// Starts reader and engine on request and delivers the notifications until
// the link ends; the link is stopped again whatever the outcome.
TransferResult runTransfer(EngineProcedure engine, LinkRequest& request, const DataHandler& onData,
                           const TransferLimits& limits);
