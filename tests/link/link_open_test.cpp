#include <vector>

#include "link_test_support.h"

namespace {

// Every state the shell's copy of the link's open state is told.
std::vector<bool> openStates;

void recordOpenState(bool open) { openStates.push_back(open); }

class LinkOpenTest : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        openStates.clear();
        watchLinkOpen(recordOpenState);
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        watchLinkOpen(nullptr);
    }
};

// The open state is the link's own: its watcher hears it when it starts
// watching (here: closed, then while a link runs) and at every change.
TEST_F(LinkOpenTest, AWatcherIsToldTheStateAtOnceAndAtEveryChange)
{
    start(pollEngine);
    stopLink();
    stopLink();   // already closed: nothing changes
    start(pollEngine);
    watchLinkOpen(recordOpenState);
    EXPECT_EQ(openStates, (std::vector<bool>{false, true, false, true, true}));
}

} // namespace
