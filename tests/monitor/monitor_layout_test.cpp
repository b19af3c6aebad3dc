#include <gtest/gtest.h>

#include "app/layout.h"
#include "monitor/monitor_layout.h"
#include "monitor/monitor_model.h"

namespace {

// Pixel box of a control with the system fixed font's 8 x 16 cell.
struct Box {
    int left, top, right, bottom;
};

Box boxOf(const MonitorControlPlace& p)
{
    const int x = cellPixels(p.x, 8), y = cellPixels(p.y, 16);
    return {x, y, x + cellPixels(p.width, 8), y + cellPixels(p.height, 16)};
}

TEST(MonitorLayout, EachFamilyHasItsControlsOnceInsideTheWindowWithoutOverlap)
{
    for (Family family : {Family::k, Family::m}) {
        MonitorControlPlace places[monitorLayoutCapacity];
        const int count = buildMonitorLayout(family, places);
        ASSERT_GT(count, 0);
        ASSERT_LT(count, monitorLayoutCapacity);

        // Every id once; the outputs the model switches are indicators, the
        // buttons it enables exist.
        int seen[monitorControlCount] = {};
        MonitorControlKind kindOf[monitorControlCount] = {};
        for (int i = 0; i < count; ++i) {
            const int id = places[i].id;
            if (id == noControlId)
                continue;
            ASSERT_TRUE(id >= 0 && id < monitorControlCount) << id;
            EXPECT_EQ(++seen[id], 1) << "id " << id << " twice";
            kindOf[id] = places[i].kind;
        }
        for (int id = 0; id < monitorOutputCount(family); ++id)
            EXPECT_EQ(kindOf[id], MonitorControlKind::indicator) << id;
        for (int id = idStart; id <= idManualToggle; ++id)
            EXPECT_EQ(kindOf[id], MonitorControlKind::pushButton) << id;

        // Inside the family's main window; no control covers another (group
        // boxes frame others by design).
        const CellSize window = windowCells(family);
        for (int i = 0; i < count; ++i) {
            const Box a = boxOf(places[i]);
            EXPECT_LE(a.right, window.columns * 8) << i;
            EXPECT_LE(a.bottom, window.rows * 16) << i;
            for (int j = i + 1; j < count && places[i].kind != MonitorControlKind::groupBox; ++j) {
                const Box b = boxOf(places[j]);
                const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
                EXPECT_FALSE(overlap && places[j].kind != MonitorControlKind::groupBox) << i << " and " << j;
            }
        }
    }
}

} // namespace
