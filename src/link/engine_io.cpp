#include "link/engine_io.h"

#include <cstring>

#include "link/link_device.h"
#include "link/notifications.h"

namespace {

enum class PassResult {
    written,   // the report went out
    again,     // not yet: pass through Send again
    limit,     // maxWritePasses passes without a completed write
    gone,      // the device is gone (error 1167)
    stopped,   // linkStop was set while waiting
};

PassResult sendPass(EngineIo& io, int pendingSliceMs)
{
    // Writes that fail at once never wait, so without this look at linkStop
    // an engine stopped while its reader closes the device would run out its
    // twenty passes and post a stray "Communication lost" after the stop.
    if (isEventSet(linkStop))
        return PassResult::stopped;
    if (io.writeAttempts >= maxWritePasses)
        return PassResult::limit;
    ++io.writeAttempts;
    outReport[outSequence] = sequenceNumber;
    io.foreignAnswers = 0;
    if (!io.writePending) {
        switch (linkStartWrite(outReport)) {
        case IoStatus::done:
            return PassResult::written;
        case IoStatus::gone:
            return PassResult::gone;
        case IoStatus::failed:
            return PassResult::again;
        case IoStatus::pending:
            io.writePending = true;
            break;
        }
    }
    switch (linkAwaitWrite(&linkStop, pendingSliceMs)) {
    case 0:
        io.writePending = false;
        return linkWriteResult() ? PassResult::written : PassResult::again;
    case 1:
        return PassResult::stopped;
    default:
        return PassResult::again;
    }
}

// Copies the report the reader holds and lets it read the next.
bool awaitAnyAnswer()
{
    LinkEvent* const waitList[2] = {&reportReceived, &linkStop};
    for (;;) {
        switch (waitForAny(waitList, 2, partnerSliceMs)) {
        case 0:
            std::memcpy(lastAnswer, inReport, reportSize);
            setEvent(reportConsumed);
            return true;
        case 1:
            return false;
        default:
            break;
        }
    }
}

} // namespace

EngineIo::~EngineIo()
{
    if (writePending)
        linkCancelWrite();
}

bool beginEngine()
{
    LinkEvent* const waitList[2] = {&readerReady, &linkStop};
    return waitForAny(waitList, 2, readerReadyWaitMs) != 1;
}

void startReport(std::uint8_t command, std::uint8_t subCode)
{
    outReport[outReportId] = 0;
    outReport[outCommand] = command;
    outReport[outSubCode] = subCode;
}

void prepareRequest(EngineIo& io, const LinkRequest& request, std::size_t payloadLength)
{
    nextSequenceNumber();
    startReport(request.command, request.subCode);
    std::memcpy(outReport + outPayload, request.payload, payloadLength);
    io.writeAttempts = 0;
}

SendOutcome sendUntilDone(EngineIo& io, int pendingSliceMs)
{
    for (;;) {
        switch (sendPass(io, pendingSliceMs)) {
        case PassResult::written:
            return SendOutcome::written;
        case PassResult::again:
            break;
        case PassResult::limit:
            return SendOutcome::failed;
        case PassResult::gone:
            return SendOutcome::gone;
        case PassResult::stopped:
            return SendOutcome::stopped;
        }
    }
}

Step sendRequest(EngineIo& io, int pendingSliceMs)
{
    switch (sendUntilDone(io, pendingSliceMs)) {
    case SendOutcome::written:
        return Step::proceed;
    case SendOutcome::failed:
        postNotification(WM_LINK_END, endCommunicationLost, 0);
        return Step::finished;
    case SendOutcome::gone:
        postNotification(WM_LINK_END, endDeviceGone, 0);
        return Step::finished;
    case SendOutcome::stopped:
    default:
        return Step::stopped;
    }
}

Step awaitOwnAnswer(EngineIo& io, int foreignLimit)
{
    for (;;) {
        if (!awaitAnyAnswer())
            return Step::stopped;
        if (lastAnswer[inSequence] == sequenceNumber)
            return Step::proceed;
        if (++io.foreignAnswers > foreignLimit) {
            nextSequenceNumber();
            return Step::resend;
        }
    }
}

void postWithAnswer(std::uint32_t message, std::uintptr_t wParam)
{
    postNotificationWithBytes(message, wParam, lastAnswer + 4, reportSize - 4);
}

void waitForStop()
{
    while (!waitForEvent(linkStop, idleSliceMs)) {
    }
}
