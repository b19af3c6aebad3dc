#include "link/notifications.h"

#include <atomic>
#include <cstring>

namespace {

NotificationPoster currentPoster = nullptr;
void* currentContext = nullptr;

// Only the engine thread of the open link posts with bytes; links follow one
// another, each engine on a thread of its own.
std::uint8_t snapshots[snapshotSlots][maxSnapshotBytes];
std::atomic<std::size_t> nextSlot{0};

void deliver(LinkNotification& notification, const std::uint8_t* bytes, std::size_t length, bool inWParam)
{
    if (!currentPoster)
        return;
    if (length > maxSnapshotBytes)
        length = maxSnapshotBytes;
    const std::size_t index = nextSlot.load();
    std::uint8_t* slot = snapshots[index];
    std::memcpy(slot, bytes, length);
    notification.bytes = slot;
    notification.length = length;
    if (inWParam)
        notification.wParam = reinterpret_cast<std::uintptr_t>(slot);
    else
        notification.lParam = reinterpret_cast<std::intptr_t>(slot);
    // A message that was not delivered leaves its slot free for the next.
    if (currentPoster(currentContext, notification))
        nextSlot.store((index + 1) % snapshotSlots);
}

} // namespace

void setNotificationPoster(NotificationPoster poster, void* context)
{
    currentPoster = poster;
    currentContext = context;
}

void postNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (currentPoster)
        currentPoster(currentContext, {message, wParam, lParam, nullptr, 0});
}

void postNotificationWithBytes(std::uint32_t message, std::uintptr_t wParam, const std::uint8_t* bytes,
                               std::size_t length)
{
    LinkNotification notification{message, wParam, 0, nullptr, 0};
    deliver(notification, bytes, length, false);
}

void postNotificationWithBytesInWParam(std::uint32_t message, const std::uint8_t* bytes, std::size_t length,
                                       std::intptr_t lParam)
{
    LinkNotification notification{message, 0, lParam, nullptr, 0};
    deliver(notification, bytes, length, true);
}
