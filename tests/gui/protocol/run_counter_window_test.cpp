// The running-counter windows against the simulated unit: the read at
// opening, the unit's record in every field, "?" after failures.
#include "protocol_fixture.h"

#include "protocol/run_counter_layout.h"
#include "protocol/run_counters.h"

TEST_F(ProtocolTest, KCountersAfterAReadAndQuestionMarksAfterAFailure)
{
    attachUnit('K', 0);
    startAs(selectionIdEnglish, selectionIdK);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    expectBox(takeBoxes(1)[0], "Counters Read !", "K-Series", MB_ICONINFORMATION);
    EXPECT_EQ(windowText(counters), "K-Series Running Counter / Connect to: ControlUnitK Simulator");
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(menuItemGrey(commandRunCounter));

    // The simulator's counters: 4567890 s on shows in hours, 15432 starts,
    // status 12.
    const int ids[counterFieldCountK] = {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11};
    EXPECT_EQ(fieldText(counters, 0), "1268.8");
    EXPECT_EQ(fieldText(counters, 3), "15432");
    EXPECT_EQ(fieldText(counters, 11), "12");

    // The unit no longer serves its counters: it refuses with its own kind.
    changeUnit([](SimUnit&, SimBlockStore& store) { store.counters.present = false; });
    click(counters, counterReadIdK);
    expectBox(takeBoxes(1)[0], "Firmware (1.23)of ControlUnitK not match !", "K-Series", MB_ICONERROR);
    for (int id : ids)
        EXPECT_EQ(fieldText(counters, id), "?") << "field " << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(counters, counterReadIdK)));

    click(counters, counterCloseIdK);
    EXPECT_TRUE(pumpUntil([counters] { return !IsWindow(counters); }));
    EXPECT_FALSE(menuItemGrey(commandRunCounter));
}

TEST_F(ProtocolTest, MCountersShowTheUnitsWholeRecordInGerman)
{
    attachUnit('M', 0);
    startAs(selectionIdGerman, selectionIdM);
    HWND counters = openCounters();
    ASSERT_NE(counters, nullptr);
    expectBox(takeBoxes(1)[0], "Betriebsz\xE4hler gelesen !", "M-Series", MB_ICONINFORMATION);
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
}
