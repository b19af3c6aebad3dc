#include "link/engine_io.h"

#include <cstring>

#include "link/link_device.h"
#include "link/link_events.h"
#include "link/reports.h"

void beginEngine(EngineIo& io)
{
    initEvent(io.writeEvent, false);
    waitForEvent(readerReady, readerReadyWaitMs);
}

SendResult sendPass(EngineIo& io, int pendingSliceMs)
{
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
