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
    LinkEvent readEvent{EventReset::automatic};

    ReaderState state = readerRead;
    if (!openLinkDevice(devicePath)) {
        postNotification(WM_LINK_ABORT, 0, 0);
        state = readerDead;
    }
    setEvent(readerReady);

    LinkEvent* const pendingWait[2] = {&readEvent, &linkStop};
    LinkEvent* const handOverWait[2] = {&reportConsumed, &linkStop};
    bool running = true;
    while (running) {
        switch (state) {
        case readerRead:
            switch (linkStartRead(inReport, &readEvent)) {
            case ioDone:
                setEvent(reportReceived);
                state = readerHandedOver;
                break;
            case ioPending:
                state = readerPending;
                break;
            case ioGone:
                postNotification(WM_LINK_END, endDeviceGone, 0);
                state = readerDead;
                break;
            case ioFailed:
                if (waitForEvent(linkStop, failedReadPauseMs))
                    running = false;
                break;
            }
            break;
        case readerPending:
            switch (waitForAny(pendingWait, 2, pendingIoSliceMs)) {
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

    // The device goes before the read event: closing it ends a pending read,
    // which still signals that event.
    closeLinkDevice();
    resetEvent(readerReady);
}
