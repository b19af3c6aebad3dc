#pragma once
#include "link/link_state.h"

// States of the poll engine.
enum PollState {
    pollPrepare = 0,
    pollSend = 1,
    pollAwait = 2,
    pollIdle = 3,
    pollFinished = 4,
};

// The monitors' engine: one request, one answer, repeated until linkStop.
// Each accepted answer is posted as WM_LINK_DATA (command, the answer from
// byte 4 on); the next poll goes out when answerProcessed is set or after
// 500 ms.
void pollEngine(LinkRequest* request);
