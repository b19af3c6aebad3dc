// The running-counter windows against the simulated unit: the read at
// opening, "?" after failures, the unit's record in every field, and
// controls that fit the window.
#include "protocol_link_fixture.h"

#include <vector>

#include "app/layout.h"
#include "app/window_table.h"
#include "protocol/run_counters.h"
#include "sim_data_sets.h"

namespace {

constexpr UINT iconMask = MB_ICONMASK;

const int fieldIdsK[counterFieldCountK] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11};

BOOL CALLBACK collectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

bool isGroupBox(HWND control)
{
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "button") == 0 && (GetWindowLongA(control, GWL_STYLE) & 0xF) == BS_GROUPBOX;
}

// Every control lies inside the window's client area and none but the group
// boxes (which frame others) covers another.
void expectControlsFit(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    RECT client;
    GetClientRect(window, &client);
    std::vector<RECT> places;
    for (HWND child : children) {
        const RECT r = placeInParent(child);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
            << windowText(child) << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom
            << " in " << client.right << "x" << client.bottom;
        if (!isGroupBox(child))
            places.push_back(r);
    }
    for (std::size_t i = 0; i < places.size(); ++i)
        for (std::size_t j = i + 1; j < places.size(); ++j) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &places[i], &places[j])) << "controls " << i << " and " << j;
        }
}

} // namespace

TEST_F(ProtocolLinkTest, KCountersAfterAReadAndQuestionMarksAfterAFailure)
{
    attachUnit('K', 0);
    startLinked(selectionIdEnglish, selectionIdK);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Counters Read !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(windowText(counters), "K-Series Running Counter / Connect to: ControlUnitK Simulator");
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(menuItemGrey(commandRunCounter));

    // The simulator's counters: 4567890 s on, 2901234 s cooling, 812345 s
    // heating, 15432 starts, errors 3 1 0 2 0 5 and status 12.
    const char* const expected[counterFieldCountK] = {"1268.8", "805.8", "225.6", "15432", "3", "1",
                                                      "0",      "2",     "0",     "5",     "12"};
    for (int i = 0; i < counterFieldCountK; ++i)
        EXPECT_EQ(fieldText(counters, fieldIdsK[i]), expected[i]) << "field " << fieldIdsK[i];
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(counters, 12)));
    expectControlsFit(counters);
    screenshot("40-running-counters-k");

    // The unit no longer serves its counters: it refuses with its own kind.
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        store().counters.present = false;
    }
    readCountersAgain(counters);
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Firmware (1.23)of ControlUnitK not match !");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    for (int id : fieldIdsK)
        EXPECT_EQ(fieldText(counters, id), "?") << "field " << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(counters, 12)));

    {
        std::lock_guard<std::mutex> hold(unit().lock);
        store().counters.present = true;
    }
    readCountersAgain(counters);
    ASSERT_EQ(takeMessageBoxes().size(), 1u);
    EXPECT_EQ(fieldText(counters, 0), "1268.8");
    EXPECT_EQ(fieldText(counters, 11), "12");

    click(counters, 13);
    pumpUntil([counters] { return !IsWindow(counters); });
    EXPECT_FALSE(IsWindow(counters));
    EXPECT_FALSE(menuItemGrey(commandRunCounter));
    EXPECT_EQ(appState.featureOpen, 0);
}

TEST_F(ProtocolLinkTest, MCountersShowTheUnitsWholeRecordInGerman)
{
    attachUnit('M', 0);
    startLinked(selectionIdGerman, selectionIdM);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    const auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Betriebsz\xE4hler gelesen !");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(windowText(counters), "K-Series Betriebsz\xE4hler / Verbunden mit: ControlUnitM Simulator");

    // The 134-byte record spans five 32-byte blocks; every field shows its
    // part of it.
    const std::vector<std::uint8_t> record = runningCounters('M');
    RunCounterViewM view;
    resetRunCounterView(view);
    ASSERT_TRUE(runCounterReadEnded(view, counterReadComplete, record.data(), record.size()));
    CounterField fields[counterFieldCountM];
    runCounterFields(view, fields);
    for (const CounterField& f : fields)
        EXPECT_EQ(fieldText(counters, f.id), f.text) << "field " << f.id;
    EXPECT_EQ(fieldText(counters, 0), "2743.4");   // 9876543 s
    expectControlsFit(counters);
    screenshot("running-counters-m-german");
}

TEST_F(ProtocolLinkTest, NoUnitLeavesQuestionMarksAndAnEarlierProtocolUsable)
{
    // No KAVIX_UNIT: the HID backend finds nothing here.
    startLinked(selectionIdEnglish, selectionIdK);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Control Unit found");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(windowText(counters), "Running Counter");
    for (int id : fieldIdsK)
        EXPECT_EQ(fieldText(counters, id), "?");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(counters, 12)));
    PostMessageA(counters, WM_CLOSE, 0, 0);
    pumpUntil([counters] { return !IsWindow(counters); });

    loadProtocolK(5);
    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No Control Unit found");
    EXPECT_EQ(appState.protocolAvailable, 1);
    EXPECT_EQ(appState.protocolCount, 5);
    EXPECT_FALSE(menuItemGrey(commandProtocolDisplay));
    EXPECT_EQ(childOfClass(main(), "ProtDisplay_CU0"), nullptr);
}

TEST_F(ProtocolLinkTest, KWindowsOnAnMUnitNameIt)
{
    attachUnit('M', 4);
    startLinked(selectionIdEnglish, selectionIdK);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "False ControlUnit (M-Series) connected !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(fieldText(counters, 0), "?");
    PostMessageA(counters, WM_CLOSE, 0, 0);
    pumpUntil([counters] { return !IsWindow(counters); });

    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "False ControlUnit (M-Series) connected !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
}
