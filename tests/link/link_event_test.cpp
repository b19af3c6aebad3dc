#include <gtest/gtest.h>

#include <chrono>

#include "link/link_event.h"

namespace {

// (Waking and stopping across threads is the business of every link test.)
TEST(LinkEvent, AutoResetIsConsumedByOneWaitManualResetStaysAndTheLowestSetWins)
{
    LinkEvent a, b, manual;
    initEvent(a, false);
    initEvent(b, false);
    initEvent(manual, true);
    LinkEvent* const list[3] = {&a, &b, &manual};
    setEvent(b);
    setEvent(manual);
    EXPECT_EQ(waitForAny(list, 3, 0), 1);
    EXPECT_EQ(waitForAny(list, 3, 0), 2);   // b consumed, manual stays
    EXPECT_TRUE(waitForEvent(manual, 0));
    resetEvent(manual);
    EXPECT_FALSE(isEventSet(b));
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(waitForAny(list, 3, 30), waitTimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(29));
}

} // namespace
