#include "cli/unit_session.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/device_backend.h"
#include "link/link_state.h"
#include "link/remote_unit.h"
#ifdef _WIN32
#include "link/win/hid_backend.h"
#endif

namespace {

// The notifications the link threads posted, oldest first.
struct NotificationQueue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<TerminalNotification> queue;
};

NotificationQueue notifications;

bool enqueue(void*, const LinkNotification& posted)
{
    TerminalNotification entry;
    entry.message = posted.message;
    entry.wParam = posted.wParam;
    entry.lParam = posted.lParam;
    if (posted.bytes) {
        entry.length = posted.length < sizeof entry.bytes ? posted.length : sizeof entry.bytes;
        std::memcpy(entry.bytes, posted.bytes, entry.length);
    }
    {
        std::lock_guard<std::mutex> hold(notifications.lock);
        notifications.queue.push_back(entry);
    }
    notifications.arrived.notify_one();
    return true;
}

void clearQueue()
{
    std::lock_guard<std::mutex> hold(notifications.lock);
    notifications.queue.clear();
}

// The next notification, or false after waitMs without one.
bool nextNotification(TerminalNotification& out, int waitMs)
{
    std::unique_lock<std::mutex> hold(notifications.lock);
    if (!notifications.arrived.wait_for(hold, std::chrono::milliseconds(waitMs),
                                        [] { return !notifications.queue.empty(); }))
        return false;
    out = notifications.queue.front();
    notifications.queue.pop_front();
    return true;
}

// How far a transfer has come with this notification: the block read's
// block index, the blocks the write has had acknowledged; -1 for a poll,
// where every answer is news.
std::int64_t progressMark(EngineProcedure engine, const TerminalNotification& data)
{
    if (engine == blockReadEngine)
        return static_cast<std::int64_t>(data.lParam);
    if (engine == blockWriteEngine)
        return static_cast<std::int64_t>(data.wParam);
    return -1;
}

bool interruptedBy(const TransferLimits& limits)
{
    return limits.interrupted && limits.interrupted->load();
}

} // namespace

void prepareTerminalLink(const std::string& endpoint)
{
    createLinkEvents();
    setNotificationPoster(enqueue, nullptr);
    if (!endpoint.empty()) {
        setRemoteUnitEndpoint(endpoint.c_str());
        setDeviceBackend(&remoteUnitBackend);
        return;
    }
#ifdef _WIN32
    setDeviceBackend(&hidBackend);
#else
    setDeviceBackend(nullptr);
#endif
}

bool haveUsbBackend()
{
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

ConnectResult connectUnit(char product[productStringChars + 1])
{
    if (!findDevice())
        return ConnectResult::noUnit;
    if (!readProductString(product))
        return ConnectResult::noProduct;
    return ConnectResult::connected;
}

TransferResult runTransfer(EngineProcedure engine, LinkRequest& request, const DataHandler& onData,
                           const TransferLimits& limits)
{
    // A notification left from an earlier link (posted just before its stop)
    // belongs to nobody now.
    clearQueue();
    TransferResult result;
    if (!startLinkThreads(engine, &request)) {
        stopLink();
        return result;
    }
    // The wait is sliced so that Ctrl-C is seen promptly.
    constexpr int sliceMs = 50;
    auto lastNews = std::chrono::steady_clock::now();
    std::int64_t furthest = -1;
    for (;;) {
        if (interruptedBy(limits)) {
            result.outcome = TransferOutcome::stopped;
            break;
        }
        // Looked at whether or not notifications come: a unit that keeps
        // the same blocks coming makes no progress either.
        if (std::chrono::steady_clock::now() - lastNews > std::chrono::milliseconds(limits.stallMs)) {
            result.outcome = TransferOutcome::stalled;
            break;
        }
        TerminalNotification n;
        if (!nextNotification(n, sliceMs))
            continue;
        if (n.message == WM_LINK_DATA) {
            const std::int64_t mark = progressMark(engine, n);
            const bool progress = mark < 0 || mark > furthest;
            furthest = std::max(furthest, mark);
            const bool more = !onData || onData(n);
            if (!more) {
                result.outcome = TransferOutcome::stopped;
                break;
            }
            // The poll engine sends its next request once the answer is
            // processed; the block engines do not wait for it. The time the
            // handler took is not the unit's silence.
            setEvent(answerProcessed);
            if (progress)
                lastNews = std::chrono::steady_clock::now();
        } else if (n.message == WM_LINK_END) {
            result.outcome = TransferOutcome::ended;
            result.endCode = static_cast<std::uint32_t>(n.wParam);
            if (n.length > 0) {
                std::memcpy(result.answer, n.bytes, n.length);
                result.hasAnswer = true;
            }
            break;
        } else if (n.message == WM_LINK_ABORT) {
            result.outcome = TransferOutcome::aborted;
            break;
        }
    }
    stopLink();
    clearQueue();
    return result;
}
