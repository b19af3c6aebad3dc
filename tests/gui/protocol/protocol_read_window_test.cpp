// The protocol-read windows against the simulated unit: counts and their
// messages, the display opening by itself, Break, the reader's abort, and
// display and save greyed after a failed read.
#include "protocol_link_fixture.h"

#include <commctrl.h>

#include <cstring>

#include "app/layout.h"
#include "app/window_table.h"
#include "link/notifications.h"
#include "sim_data_sets.h"

namespace {

constexpr UINT iconMask = MB_ICONMASK;

bool bufferHolds(const std::vector<std::uint8_t>& bytes)
{
    return std::memcmp(protocolBuffer, bytes.data(), bytes.size()) == 0;
}

HWND progressBarOf(HWND window) { return FindWindowExA(window, nullptr, PROGRESS_CLASSA, nullptr); }

int progressPosition(HWND window)
{
    return static_cast<int>(SendMessageA(progressBarOf(window), PBM_GETPOS, 0, 0));
}

} // namespace

TEST_F(ProtocolLinkTest, KReadOpensTheDisplayAndAFailedReadGreysDisplayAndSave)
{
    attachUnit('K', 25);
    startLinked(selectionIdEnglish, selectionIdK);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));

    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "25 protocol-items read !");
    EXPECT_EQ(boxes[0].caption, "K-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(appState.protocolAvailable, 1);
    EXPECT_EQ(appState.protocolCount, 25);
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(bufferHolds(failureProtocol('K', 25)));

    // The main window opens the display once the read window is gone.
    ASSERT_TRUE(pumpUntil([this] { return childOfClass(main(), "ProtDisplay_CU0") != nullptr; }));
    EXPECT_EQ(appState.autoDisplay, 0);
    closeDisplay(childOfClass(main(), "ProtDisplay_CU0"));
    EXPECT_FALSE(menuItemGrey(commandProtocolDisplay));
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));

    // A read the unit refuses: the old protocol still lies in the buffer,
    // but neither display nor save may use it.
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        store().protocol.present = false;
    }
    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Firmware (1.23)of ControlUnitK not match !");
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
    pumpFor(100);
    EXPECT_EQ(childOfClass(main(), "ProtDisplay_CU0"), nullptr);
}

TEST_F(ProtocolLinkTest, MNoEntriesThenThreeEntriesInGerman)
{
    attachUnit('M', 0);
    startLinked(selectionIdGerman, selectionIdM);
    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    auto boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Keine Protokolleintr\xE4ge vorhanden !");
    EXPECT_EQ(boxes[0].caption, "M-Series");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(appState.protocolAvailable, 0);
    pumpFor(100);
    EXPECT_EQ(childOfClass(main(), "ProtDisplay_CU1"), nullptr);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));

    // Three 68-byte entries come in five 48-byte blocks.
    const std::vector<std::uint8_t> three = failureProtocol('M', 3);
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        setSimDataSet(store(), 0x36, three, 48, 3);
    }
    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    boxes = takeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "3 Protokolleintr\xE4ge gelesen !");
    EXPECT_EQ(appState.protocolCount, 3);
    EXPECT_TRUE(bufferHolds(three));
    ASSERT_TRUE(pumpUntil([this] { return childOfClass(main(), "ProtDisplay_CU1") != nullptr; }));
}

TEST_F(ProtocolLinkTest, BreakAndAbortDuringASlowRead)
{
    attachUnit('K', 4, 4);
    startLinked(selectionIdEnglish, selectionIdK);
    startProtocolRead();
    ASSERT_TRUE(readWindowGone());
    ASSERT_EQ(takeMessageBoxes().size(), 1u);
    ASSERT_TRUE(pumpUntil([this] { return childOfClass(main(), "ProtDisplay_CU0") != nullptr; }));
    closeDisplay(childOfClass(main(), "ProtDisplay_CU0"));

    // 3000 entries: 1500 blocks, each answer 4 ms late.
    {
        std::lock_guard<std::mutex> hold(unit().lock);
        setSimDataSet(store(), 0x36, failureProtocol('K', 3000), 48, 3000);
    }
    HWND reading = startProtocolRead();
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(windowText(reading), "Read protocol / Connect to: ControlUnitK Simulator");
    ASSERT_TRUE(pumpUntil([reading] { return progressPosition(reading) >= 20; }));
    PBRANGE range = {};
    SendMessageA(progressBarOf(reading), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 1500);
    EXPECT_TRUE(menuItemGrey(commandProtocolRead));
    screenshot("41-protocol-read");

    // Break: no message, the earlier protocol stays usable, and only
    // entries that have arrived count.
    click(reading, 60);
    ASSERT_TRUE(readWindowGone());
    pumpFor(100);
    EXPECT_TRUE(takeMessageBoxes().empty());
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_EQ(appState.protocolAvailable, 1);
    // At least 21 blocks of two entries each had arrived before Break.
    EXPECT_GE(appState.protocolCount, 42);
    EXPECT_LT(appState.protocolCount, 3000);
    const std::vector<std::uint8_t> whole = failureProtocol('K', 3000);
    EXPECT_TRUE(bufferHolds({whole.begin(), whole.begin() + 24 * appState.protocolCount}));
    EXPECT_EQ(childOfClass(main(), "ProtDisplay_CU0"), nullptr);
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));

    // The reader could not open the device.
    reading = startProtocolRead();
    ASSERT_NE(reading, nullptr);
    ASSERT_TRUE(pumpUntil([reading] { return progressPosition(reading) >= 2; }));
    PostMessageA(reading, WM_LINK_ABORT, 0, 0);
    ASSERT_TRUE(readWindowGone());
    const auto boxes = takeMessageBoxes();
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "USB-Error !");
    EXPECT_EQ(boxes[0].caption, "Read protocol");
    EXPECT_EQ(boxes[0].type & iconMask, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
}
