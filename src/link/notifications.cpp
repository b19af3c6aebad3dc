#include "link/notifications.h"

namespace {
NotificationPoster currentPoster = nullptr;
void* currentContext = nullptr;
} // namespace

void setNotificationPoster(NotificationPoster poster, void* context)
{
    currentPoster = poster;
    currentContext = context;
}

void postNotification(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (currentPoster)
        currentPoster(currentContext, message, wParam, lParam);
}
