#include <gtest/gtest.h>

#include <set>

#include "app/layout.h"
#include "monitor/monitor_layout.h"
#include "monitor/monitor_model.h"

namespace {

// The system fixed font's cell on a common Windows setup.
constexpr int cw = 8;
constexpr int lh = 16;

struct Box {
    int left, top, right, bottom;
};

Box boxOf(const MonitorControlPlace& place)
{
    const int x = cellPixels(place.x, cw);
    const int y = cellPixels(place.y, lh);
    return {x, y, x + cellPixels(place.width, cw), y + cellPixels(place.height, lh)};
}

bool overlap(const Box& a, const Box& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void checkFamily(int family)
{
    MonitorControlPlace places[monitorLayoutCapacity];
    const int count = buildMonitorLayout(family, places);
    ASSERT_GT(count, 0);
    ASSERT_LT(count, monitorLayoutCapacity);

    // Every id once; every output the model switches is an indicator; the
    // buttons the model enables exist.
    std::set<int> ids;
    MonitorControlKind kindOf[monitorControlCount] = {};
    for (int i = 0; i < count; ++i) {
        if (places[i].id == noControlId)
            continue;
        ASSERT_GE(places[i].id, 0);
        ASSERT_LT(places[i].id, monitorControlCount);
        EXPECT_TRUE(ids.insert(places[i].id).second) << "id " << places[i].id << " twice";
        kindOf[places[i].id] = places[i].kind;
    }
    for (int id = 0; id < monitorOutputCount(family); ++id)
        EXPECT_EQ(kindOf[id], MonitorControlKind::indicator) << id;
    for (int id = idStart; id <= idManualToggle; ++id)
        EXPECT_EQ(kindOf[id], MonitorControlKind::pushButton) << id;

    // Inside the main window of the family, and no control covers another
    // (group boxes frame others by design).
    const CellSize window = windowCells(family == familyM ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        const Box a = boxOf(places[i]);
        EXPECT_LE(a.right, window.columns * cw) << i;
        EXPECT_LE(a.bottom, window.rows * lh) << i;
        if (places[i].kind == MonitorControlKind::groupBox)
            continue;
        for (int j = i + 1; j < count; ++j) {
            if (places[j].kind == MonitorControlKind::groupBox)
                continue;
            EXPECT_FALSE(overlap(a, boxOf(places[j]))) << "controls " << i << " and " << j;
        }
    }
}

} // namespace

TEST(MonitorLayout, EachFamilyHasItsControlsOnceInsideTheWindowWithoutOverlap)
{
    checkFamily(familyK);
    checkFamily(familyM);
}
