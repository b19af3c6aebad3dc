#pragma once
#include <cstdint>

// Messages the link threads post to the open feature window (WM_APP + 0, 2, 3).
inline constexpr std::uint32_t WM_LINK_DATA = 0x8000;
inline constexpr std::uint32_t WM_LINK_END = 0x8002;
inline constexpr std::uint32_t WM_LINK_ABORT = 0x8003;

// End codes: wParam of WM_LINK_END.
enum EndCode : std::uint32_t {
    endCommunicationLost = 0, // 20 passes through Send without a completed write
    endWrongUnit = 1,         // refusal 0x51, or a poll answer of the wrong type or kind
    endWriteFailed = 2,       // the unit could not write its EEPROM (0x62)
    endProgrammed = 3,        // all blocks of a write acknowledged
    endDeviceGone = 4,        // read or write error 1167
    endCompleted = 5,         // block read: all blocks received; block write: announcement answered 0x52
    endRejected = 6,          // block write: announcement answered 0x53
};

// Where the link threads deliver their notifications. On Windows this posts
// to appState.featureWindow; tests record them. Set it only while no link runs.
using NotificationPoster = void (*)(void* context, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam);
void setNotificationPoster(NotificationPoster poster, void* context);

void postNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// The lParam form of an address (the block header, a byte of lastAnswer).
inline std::intptr_t addressParam(const void* address)
{
    return reinterpret_cast<std::intptr_t>(address);
}
