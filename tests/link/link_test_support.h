#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "app/app_state.h"
#include "link/link_control.h"
#include "link/link_events.h"
#include "link/link_request.h"
#include "link/poll_engine.h"
#include "link/reports.h"
#include "recording_sink.h"

using Clock = std::chrono::steady_clock;

inline long msSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The K-Series monitor's poll: command 0x3A, a 23-byte command record,
// answer type 1 from a unit of kind 1.
inline LinkRequest kMonitorRequest()
{
    LinkRequest request;
    request.command = cmdPoll;
    request.subCode = 0;
    request.blockSize = 23;
    request.expectedAnswerType = 1;
    request.expectedUnitKind = 1;
    for (int i = 0; i < 23; ++i)
        request.payload[i] = static_cast<std::uint8_t>(0xA0 + i);
    return request;
}

// Every link test starts from a closed link and leaves it closed.
class LinkFixture : public ::testing::Test {
protected:
    RecordingSink sink;

    void SetUp() override
    {
        appState.linkOpen = 0;
        createLinkEvents();
        sink.install();
        linkRequest = kMonitorRequest();
    }

    void TearDown() override
    {
        stopLink();
        RecordingSink::uninstall();
    }

    void startPoll() { ASSERT_TRUE(startLinkThreads(pollEngine, &linkRequest)); }
};
