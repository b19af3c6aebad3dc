#pragma once
#include <cstddef>
#include <cstdint>

// Messages the link threads post to the open feature window (WM_APP + 0, 2, 3).
inline constexpr std::uint32_t WM_LINK_DATA = 0x8000;
inline constexpr std::uint32_t WM_LINK_END = 0x8002;
inline constexpr std::uint32_t WM_LINK_ABORT = 0x8003;

// End codes: wParam of WM_LINK_END. Unscoped: they travel as the
// message's wParam and are shown and compared as numbers.
enum EndCode : std::uint32_t {
    endCommunicationLost = 0, // 20 passes through Send without a completed write
    endWrongUnit = 1,         // refusal 0x51, or a poll answer of the wrong type or kind
    endWriteFailed = 2,       // the unit could not write its EEPROM (0x62)
    endProgrammed = 3,        // all blocks of a write acknowledged
    endDeviceGone = 4,        // read or write error 1167
    endCompleted = 5,         // block read: all blocks received; block write: announcement answered 0x52
    endRejected = 6,          // block write: announcement answered 0x53
};

// One notification as it leaves the link. When a parameter points at bytes
// (an answer from byte 4 on, a block header), it points at a snapshot the
// poster took, not at the engine's buffers: the engine goes on to reuse
// those while the window may not have read the message yet.
struct LinkNotification {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    const std::uint8_t* bytes;   // the snapshot, or nullptr
    std::size_t length;
};

// Where the link threads deliver their notifications. On Windows this posts
// to appState.featureWindow; tests record them. Returns false when the
// message could not be delivered. Set it only while no link runs.
using NotificationPoster = bool (*)(void* context, const LinkNotification& notification);
void setNotificationPoster(NotificationPoster poster, void* context);

// A notification with plain values.
void postNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
// lParam: the address of a snapshot of length bytes.
void postNotificationWithBytes(std::uint32_t message, std::uintptr_t wParam, const std::uint8_t* bytes,
                               std::size_t length);
// wParam: the address of a snapshot of length bytes (the block reader's
// progress, which carries its header there).
void postNotificationWithBytesInWParam(std::uint32_t message, const std::uint8_t* bytes, std::size_t length,
                                       std::intptr_t lParam);

// Snapshots hold at most this many bytes (the answer from byte 4 on).
inline constexpr std::size_t maxSnapshotBytes = 61;
// A snapshot is reused only after this many later notifications with
// bytes have been delivered. Windows queues at most 10,000 posted messages
// per thread, so a snapshot cannot be reused while its message still waits.
inline constexpr std::size_t snapshotSlots = 16384;
