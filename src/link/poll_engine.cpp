#include "link/poll_engine.h"

#include <cstring>

#include "link/engine_io.h"
#include "link/notifications.h"

namespace {

std::size_t pollPayloadLength(std::uint8_t length) { return length > maxPollPayload ? maxPollPayload : length; }

// The release poll stopLink asks for: the request's release payload, sent
// and answered like any poll but without a notification, since the window
// has already let the link go. A refusal is sent again within the twenty
// passes; a failed write or a gone device end it. releaseDone tells stopLink
// that it is over; a stop means stopLink has stopped waiting for it.
void sendRelease(EngineIo& io, const LinkRequest& request)
{
    LinkRequest release = request;
    std::memcpy(release.payload, request.releasePayload, sizeof release.payload);
    prepareRequest(io, release, pollPayloadLength(request.releaseLength));
    for (;;) {
        const SendOutcome sent = sendUntilDone(io, pendingIoSliceMs);
        if (sent == SendOutcome::stopped)
            return;
        if (sent != SendOutcome::written)
            break;
        const Step step = awaitOwnAnswer(io, maxForeignAnswers);
        if (step == Step::stopped)
            return;
        if (step == Step::resend)
            continue;
        const std::uint8_t code = lastAnswer[inCode];
        if (code == ansOk || code == ansStatus)
            break;
        nextSequenceNumber();
    }
    setEvent(releaseDone);
}

// Finished: nothing more is sent. A release asked for now is over at once.
void waitForStopAfterEnd()
{
    LinkEvent* const waitList[2] = {&linkStop, &linkRelease};
    for (;;) {
        switch (waitForAny(waitList, 2, idleSliceMs)) {
        case 0:
            return;
        case 1:
            setEvent(releaseDone);
            waitForStop();
            return;
        default:
            break;
        }
    }
}

} // namespace

void pollEngine(LinkRequest* request)
{
    EngineIo io;
    if (!beginEngine())
        return;

    LinkEvent* const idleWait[3] = {&linkStop, &linkRelease, &answerProcessed};
    PollState state = pollPrepare;
    for (;;) {
        switch (state) {
        case pollPrepare:
            prepareRequest(io, *request, pollPayloadLength(request->blockSize));
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
            // answerProcessed, or the period is over: the next poll. A
            // release asked for by stopLink comes before either.
            switch (waitForAny(idleWait, 3, idleSliceMs)) {
            case 0:
                return;
            case 1:
                state = pollRelease;
                break;
            default:
                state = pollPrepare;
                break;
            }
            break;
        case pollRelease:
            sendRelease(io, *request);
            waitForStop();
            return;
        case pollFinished:
            waitForStopAfterEnd();
            return;
        }
    }
}
