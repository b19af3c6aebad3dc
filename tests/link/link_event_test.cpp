// The link's events, the same on every platform (kernel events on Windows,
// the portable event elsewhere).
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

} // namespace
