#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/link_event.h"

namespace {

using Clock = std::chrono::steady_clock;

long msSince(Clock::time_point start)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(LinkEvent, AutoResetReleasesOneWaitManualResetStays)
{
    LinkEvent autoEvent, manualEvent;
    initEvent(autoEvent, false);
    initEvent(manualEvent, true);
    setEvent(autoEvent);
    setEvent(manualEvent);
    EXPECT_TRUE(waitForEvent(autoEvent, 0));
    EXPECT_FALSE(waitForEvent(autoEvent, 0));
    EXPECT_TRUE(waitForEvent(manualEvent, 0));
    EXPECT_TRUE(waitForEvent(manualEvent, 0));
    resetEvent(manualEvent);
    EXPECT_FALSE(isEventSet(manualEvent));
}

TEST(LinkEvent, WaitForAnyReportsLowestSetAndConsumesOnlyIt)
{
    LinkEvent a, b, c;
    initEvent(a, false);
    initEvent(b, false);
    initEvent(c, true);
    LinkEvent* const list[3] = {&a, &b, &c};
    setEvent(b);
    setEvent(c);
    EXPECT_EQ(waitForAny(list, 3, 0), 1);
    EXPECT_EQ(waitForAny(list, 3, 0), 2);   // b consumed, c manual
    EXPECT_EQ(waitForAny(list, 3, 0), 2);
    resetEvent(c);
    EXPECT_EQ(waitForAny(list, 3, 0), waitTimedOut);
}

TEST(LinkEvent, TimeOutIsBoundedAndASetFromAnotherThreadWakesAtOnce)
{
    LinkEvent event, other;
    initEvent(event, false);
    initEvent(other, false);
    auto start = Clock::now();
    EXPECT_FALSE(waitForEvent(event, 30));
    long waited = msSince(start);
    EXPECT_GE(waited, 29);
    EXPECT_LT(waited, 500);

    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        setEvent(other);
    });
    LinkEvent* const list[2] = {&event, &other};
    start = Clock::now();
    EXPECT_EQ(waitForAny(list, 2, 5000), 1);
    EXPECT_LT(msSince(start), 1000);
    setter.join();
}

TEST(LinkEvent, OneAutoResetSetWakesExactlyOneOfTwoWaiters)
{
    LinkEvent event;
    initEvent(event, false);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (waitForEvent(event, 300))
            ++woken;
    };
    std::thread first(waiter), second(waiter);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    setEvent(event);
    first.join();
    second.join();
    EXPECT_EQ(woken.load(), 1);
}

} // namespace
