#include "link/poll_engine.h"

#include "link/engine_io.h"
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
        case pollPrepare:
            prepareRequest(io, *request, request->blockSize > maxPollPayload ? maxPollPayload : request->blockSize);
            state = pollSend;
            break;
        case pollSend:
            switch (sendRequest(io, pendingIoSliceMs)) {
            case Step::stopped:
                return;
            case Step::proceed:
                state = pollAwait;
                break;
            default:
                state = pollFinished;
                break;
            }
            break;
        case pollAwait: {
            const Step step = awaitOwnAnswer(io, maxForeignAnswers);
            if (step == Step::stopped)
                return;
            const std::uint8_t code = lastAnswer[inCode];
            if (step == Step::resend) {
                state = pollSend;
            } else if (code != ansOk && code != ansStatus) {
                nextSequenceNumber();
                state = pollSend;
            } else if (lastAnswer[inAnswerType] == request->expectedAnswerType &&
                       lastAnswer[inUnitKind] == request->expectedUnitKind) {
                postWithAnswer(WM_LINK_DATA, request->command);
                state = pollIdle;
            } else {
                postWithAnswer(WM_LINK_END, endWrongUnit);
                state = pollFinished;
            }
            break;
        }
        case pollIdle:
            // answerProcessed, or the period is over: the next poll.
            if (waitForAny(idleWait, 2, idleSliceMs) == 0)
                return;
            state = pollPrepare;
            break;
        case pollFinished:
            waitForStop();
            return;
        }
    }
}
