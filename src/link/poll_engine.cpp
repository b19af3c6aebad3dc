#include "link/poll_engine.h"

#include <cstring>

#include "link/engine_io.h"
#include "link/link_state.h"
#include "link/notifications.h"

void pollEngine(LinkRequest* request)
{
    EngineIo io;
    if (!beginEngine(io))
        return;

    LinkEvent* const idleWait[2] = {&linkStop, &answerProcessed};
    PollState state = pollPrepare;
    for (;;) {
        switch (state) {
        case pollPrepare: {
            nextSequenceNumber();
            outReport[outReportId] = 0;
            outReport[outCommand] = request->command;
            outReport[outSubCode] = request->subCode;
            std::size_t length = request->blockSize;
            if (length > maxPollPayload)
                length = maxPollPayload;
            std::memcpy(outReport + outPayload, request->payload, length);
            io.writeAttempts = 0;
            state = pollSend;
            break;
        }
        case pollSend:
            switch (sendPass(io, pendingIoSliceMs)) {
            case sendWritten:
                state = pollAwait;
                break;
            case sendAgain:
                break;
            case sendLimit:
                postNotification(WM_LINK_END, endCommunicationLost, 0);
                state = pollFinished;
                break;
            case sendGone:
                postNotification(WM_LINK_END, endDeviceGone, 0);
                state = pollFinished;
                break;
            case sendStopped:
                return;
            }
            break;
        case pollAwait:
            if (!awaitAnswer())
                return;
            if (lastAnswer[inSequence] != sequenceNumber) {
                if (++io.foreignAnswers > maxForeignAnswers) {
                    nextSequenceNumber();
                    state = pollSend;
                }
                break;
            }
            if (lastAnswer[inCode] == ansOk || lastAnswer[inCode] == ansStatus) {
                if (lastAnswer[inAnswerType] == request->expectedAnswerType &&
                    lastAnswer[inUnitKind] == request->expectedUnitKind) {
                    postNotification(WM_LINK_DATA, request->command, addressParam(lastAnswer + 4));
                    state = pollIdle;
                } else {
                    postNotification(WM_LINK_END, endWrongUnit, addressParam(lastAnswer + 4));
                    state = pollFinished;
                }
                break;
            }
            nextSequenceNumber();
            state = pollSend;
            break;
        case pollIdle:
            switch (waitForAny(idleWait, 2, idleSliceMs)) {
            case 0:
                return;
            default: // answerProcessed, or the period is over
                state = pollPrepare;
                break;
            }
            break;
        case pollFinished:
            waitForStop();
            return;
        }
    }
}
