#include "cli/unit_session.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

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
    for (;;) {
        if (interruptedBy(limits)) {
            result.outcome = TransferOutcome::stopped;
            break;
        }
        TerminalNotification n;
        if (!nextNotification(n, sliceMs)) {
            const auto quiet = std::chrono::steady_clock::now() - lastNews;
            if (quiet > std::chrono::milliseconds(limits.stallMs)) {
                result.outcome = TransferOutcome::stalled;
                break;
            }
            continue;
        }
        lastNews = std::chrono::steady_clock::now();
        if (n.message == WM_LINK_DATA) {
            const bool more = !onData || onData(n);
            if (!more) {
                result.outcome = TransferOutcome::stopped;
                break;
            }
            // The poll engine sends its next request once the answer is
            // processed; the block engines do not wait for it. The time the
            // handler took is not the unit's silence.
            setEvent(answerProcessed);
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
