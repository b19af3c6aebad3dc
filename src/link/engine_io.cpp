#include "link/engine_io.h"

#include <cstring>

#include "link/link_device.h"
#include "link/link_state.h"

EngineIo::~EngineIo()
{
    if (writePending)
        linkCancelWrite();
}

bool beginEngine(EngineIo& io)
{
    initEvent(io.writeEvent, false);
    LinkEvent* const waitList[2] = {&readerReady, &linkStop};
    return waitForAny(waitList, 2, readerReadyWaitMs) != 1;
}

SendResult sendPass(EngineIo& io, int pendingSliceMs)
{
    // Writes that fail at once never wait, so without this look at linkStop
    // an engine stopped while its reader closes the device would run out its
    // twenty passes and post a stray "Communication lost" after the stop.
    if (isEventSet(linkStop))
        return sendStopped;
    if (io.writeAttempts >= maxWritePasses)
        return sendLimit;
    ++io.writeAttempts;
    outReport[outSequence] = sequenceNumber;
    io.foreignAnswers = 0;
    if (!io.writePending) {
        switch (linkStartWrite(outReport, &io.writeEvent)) {
        case ioDone:
            return sendWritten;
        case ioGone:
            return sendGone;
        case ioFailed:
            return sendAgain;
        case ioPending:
            io.writePending = true;
            break;
        }
    }
    LinkEvent* const waitList[2] = {&io.writeEvent, &linkStop};
    switch (waitForAny(waitList, 2, pendingSliceMs)) {
    case 0:
        io.writePending = false;
        return linkWriteResult() ? sendWritten : sendAgain;
    case 1:
        return sendStopped;
    default:
        return sendAgain;
    }
}

bool awaitAnswer()
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

void waitForStop()
{
    while (!waitForEvent(linkStop, idleSliceMs)) {
    }
}
