// The link's events, the same on every platform (kernel events on Windows,
// the portable event elsewhere), and the waits on a device's own transfer
// events against a close from another thread.
#include <thread>

#include "link/link_device.h"
#include "link_test_support.h"

namespace {

TEST(LinkEvent, ResetKindsAndWhichEventAWaitForAnyTakes)
{
    LinkEvent automatic{EventReset::automatic};
    LinkEvent manual{EventReset::manual};
    LinkEvent startsSet{EventReset::manual, EventStart::set};
    LinkEvent* const both[2] = {&automatic, &manual};
    EXPECT_TRUE(isEventSet(startsSet));
    EXPECT_EQ(waitForAny(both, 2, 0), waitTimedOut);

    // The lowest set one first; the auto-reset one is taken by its wait, the
    // manual-reset one stays set until it is reset.
    setEvent(automatic);
    setEvent(manual);
    EXPECT_EQ(waitForAny(both, 2, 0), 0);
    EXPECT_EQ(waitForAny(both, 2, 0), 1);
    EXPECT_EQ(waitForAny(both, 2, 0), 1);
    EXPECT_TRUE(isEventSet(manual));
    resetEvent(manual);
    EXPECT_FALSE(isEventSet(manual));
    EXPECT_EQ(waitForAny(both, 2, 20), waitTimedOut);
}

using LinkDeviceTest = LinkFixture;

// The device owns the event a wait on its pending write is on: a close from
// another thread waits for that wait to end, and a wait after the close has
// only stop left to wait for.
TEST_F(LinkDeviceTest, ACloseWaitsForAWaitOnTheDevicesTransfer)
{
    fake::install({.writeMode = fake::WriteMode::neverCompletes});
    ASSERT_TRUE(openLinkDevice(devicePath));
    const std::uint8_t report[reportSize] = {};
    ASSERT_EQ(linkStartWrite(report), IoStatus::pending);
    std::thread waiter([] { EXPECT_EQ(linkAwaitWrite(nullptr, 300), waitTimedOut); });
    while (linkDeviceWaits() == 0)
        std::this_thread::yield();
    closeLinkDevice();
    EXPECT_EQ(linkDeviceWaits(), 0);
    EXPECT_EQ(fake::openDevices(), 0);
    waiter.join();

    LinkEvent stop{EventReset::manual, EventStart::set};
    EXPECT_EQ(linkAwaitWrite(&stop, waitMs), 1);
    EXPECT_EQ(linkStartWrite(report), IoStatus::failed);
}

// A transfer whose result was taken leaves its event set; the next wait
// must not take that for the end of a transfer.
TEST_F(LinkDeviceTest, AFinishedTransferDoesNotWakeALaterWait)
{
    ASSERT_TRUE(openLinkDevice(devicePath));
    std::uint8_t report[reportSize] = {};
    ASSERT_EQ(linkStartRead(report), IoStatus::pending);
    const std::uint8_t answer[reportSize] = {0, 7};
    fake::push(answer);
    LinkEvent stop{EventReset::manual};
    ASSERT_EQ(linkAwaitRead(&stop, waitMs), 0);
    ASSERT_TRUE(linkReadResult());
    EXPECT_EQ(report[1], 7);
    EXPECT_EQ(linkAwaitRead(&stop, 20), waitTimedOut);
    closeLinkDevice();
}

} // namespace
