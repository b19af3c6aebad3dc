#include "link/link_reader.h"

#include "link/device_discovery.h"
#include "link/link_device.h"
#include "link/link_state.h"
#include "link/notifications.h"

namespace {

// A device that fails every read with an unexpected error would otherwise
// keep this thread spinning; a short wait on linkStop between attempts keeps
// it responsive without burning a core.
constexpr int failedReadPauseMs = 10;

} // namespace

void linkReader()
{
    ReaderState state = readerRead;
    if (!openLinkDevice(devicePath)) {
        postNotification(WM_LINK_ABORT, 0, 0);
        state = readerDead;
    }
    setEvent(readerReady);

    LinkEvent* const handOverWait[2] = {&reportConsumed, &linkStop};
    bool running = true;
    while (running) {
        switch (state) {
        case readerRead:
            switch (linkStartRead(inReport)) {
            case IoStatus::done:
                setEvent(reportReceived);
                state = readerHandedOver;
                break;
            case IoStatus::pending:
                state = readerPending;
                break;
            case IoStatus::gone:
                postNotification(WM_LINK_END, endDeviceGone, 0);
                state = readerDead;
                break;
            case IoStatus::failed:
                if (waitForEvent(linkStop, failedReadPauseMs))
                    running = false;
                break;
            }
            break;
        case readerPending:
            switch (linkAwaitRead(&linkStop, pendingIoSliceMs)) {
            case 0:
                if (linkReadResult()) {
                    setEvent(reportReceived);
                    state = readerHandedOver;
                } else {
                    state = readerRead;
                }
                break;
            case 1:
                running = false;
                break;
            default:
                break;
            }
            break;
        case readerHandedOver:
            switch (waitForAny(handOverWait, 2, partnerSliceMs)) {
            case 0:
                state = readerRead;
                break;
            case 1:
                running = false;
                break;
            default:
                break;
            }
            break;
        case readerDead:
            if (waitForEvent(linkStop, idleSliceMs))
                running = false;
            break;
        }
    }

    // Closing the device ends a pending read (its event is the device's).
    closeLinkDevice();
    resetEvent(readerReady);
}
