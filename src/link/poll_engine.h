#pragma once
#include "link/link_state.h"

// States of the poll engine. Unscoped, as the other engines' states: they
// are numbered, and a state is logged and compared as its number.
enum PollState {
    pollPrepare = 0,
    pollSend = 1,
    pollAwait = 2,
    pollIdle = 3,
    pollFinished = 4,
    pollRelease = 5,
};

// The monitors' engine: one request, one answer, repeated until linkStop.
// Each accepted answer is posted as WM_LINK_DATA (command, the answer from
// byte 4 on); the next poll goes out when answerProcessed is set or after
// 500 ms. When stopLink asks for the release poll (linkRelease) while the
// engine idles, it sends request->releasePayload once, waits for its answer
// and sets releaseDone; a finished engine sets releaseDone at once.
void pollEngine(LinkRequest* request);
