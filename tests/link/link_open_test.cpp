#include <string>
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

// openLink, the one start of every window's link: no unit, a unit whose
// product string cannot be read, a unit that answers. The unit is named
// (the window's title) only once its product string is read, and before the
// threads run; the open state is the link's own, told to its watcher at once
// and at every change, through stopLink.
TEST_F(LinkOpenTest, FindsTheUnitNamesItThenStartsTheThreads)
{
    struct Row {
        const char* unit;
        fake::Script script;
        LinkStart outcome;
        std::vector<std::string> named;   // products the window was given
        std::vector<bool> openStates;     // after the start and a stop
    };
    const Row rows[] = {
        {.unit = "none of the right ids", .script = {.devices = {{"other", 0x1209, 0x1C01}}},
         .outcome = LinkStart::noUnit, .named = {}, .openStates = {false}},
        {.unit = "cannot be opened", .script = {.devices = {{"unit", 0xC251, 0x1C01}}, .openFails = true},
         .outcome = LinkStart::noProduct, .named = {}, .openStates = {false}},
        {.unit = "answers", .script = {.devices = {{"unit", 0xC251, 0x1C01}}, .product = {'C', 'U', 'K', '1'}},
         .outcome = LinkStart::opened, .named = {"CUK1 open: 0"}, .openStates = {false, true, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.unit);
        fake::install(row.script);
        openStates.clear();
        watchLinkOpen(recordOpenState);
        std::vector<std::string> named;
        char product[productStringChars + 1] = "";
        const LinkStart outcome = openLink(pollEngine, &linkRequest, product, [&](const char* unit) {
            named.push_back(std::string(unit) + " open: " + std::to_string(linkIsOpen()));
        });
        EXPECT_EQ(outcome, row.outcome);
        EXPECT_EQ(linkIsOpen(), row.outcome == LinkStart::opened);
        EXPECT_EQ(named, row.named);
        stopLink();
        EXPECT_EQ(openStates, row.openStates);
        EXPECT_TRUE(linkThreadsEnded());
    }
}

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
