// The protocol-read windows against the simulated unit: counts and their
// messages, the display opening by itself, Break, the reader's abort, and
// display and save greyed after a failed read.
#include "protocol_fixture.h"

#include <commctrl.h>

#include "link/notifications.h"

namespace {

bool bufferHolds(const std::vector<std::uint8_t>& bytes)
{
    return std::memcmp(protocolBuffer, bytes.data(), bytes.size()) == 0;
}

LRESULT progress(HWND bar) { return SendMessageA(bar, PBM_GETPOS, 0, 0); }

} // namespace

TEST_F(ProtocolTest, KReadOpensTheDisplayAndAFailedReadGreysDisplayAndSave)
{
    attachUnit('K', 25);
    startAs(selectionIdEnglish, selectionIdK);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    expectBox(readProtocol(), "25 protocol-items read !", "K-Series", MB_ICONINFORMATION);
    EXPECT_EQ(appState.protocolAvailable, 1);
    EXPECT_EQ(appState.protocolCount, 25);
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_TRUE(bufferHolds(failureProtocol('K', 25)));

    // The main window opens the display once the read window is gone.
    ASSERT_TRUE(displayOpens());
    EXPECT_EQ(appState.autoDisplay, 0);
    closeWindow(display());
    EXPECT_FALSE(menuItemGrey(commandProtocolDisplay));
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));

    // A read the unit refuses: the old protocol still lies in the buffer,
    // but neither display nor save may use it.
    changeUnit([](SimUnit&, SimBlockStore& store) { store.protocol.present = false; });
    expectBox(readProtocol(), "Firmware (1.23)of ControlUnitK not match !", "K-Series", MB_ICONERROR);
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
    pumpFor(100);
    EXPECT_EQ(display(), nullptr);
}

TEST_F(ProtocolTest, MNoEntriesThenThreeEntriesInGerman)
{
    attachUnit('M', 0);
    startAs(selectionIdGerman, selectionIdM);
    expectBox(readProtocol(), "Keine Protokolleintr\xE4ge vorhanden !", "M-Series", MB_ICONINFORMATION);
    EXPECT_EQ(appState.protocolAvailable, 0);
    pumpFor(100);
    EXPECT_EQ(display(), nullptr);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));

    // Three 68-byte entries come in five 48-byte blocks.
    const std::vector<std::uint8_t> three = failureProtocol('M', 3);
    changeUnit([&three](SimUnit&, SimBlockStore& store) { setSimDataSet(store, 0x36, three, 48, 3); });
    EXPECT_EQ(readProtocol().text, "3 Protokolleintr\xE4ge gelesen !");
    EXPECT_EQ(appState.protocolCount, 3);
    EXPECT_TRUE(bufferHolds(three));
    EXPECT_TRUE(displayOpens());
}

TEST_F(ProtocolTest, BreakAndAbortDuringASlowRead)
{
    // 3000 entries: 1500 blocks, each answer 4 ms late.
    attachUnit('K', 3000, 4);
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocol(5);
    HWND reading = startProtocolRead();
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(windowText(reading), "Read protocol / Connect to: ControlUnitK Simulator");
    HWND bar = FindWindowExA(reading, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_TRUE(pumpUntil([bar] { return progress(bar) >= 20; }));
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 1500);
    EXPECT_TRUE(menuItemGrey(commandProtocolRead));

    // Break: no message, the earlier protocol stays usable, and only
    // entries that have arrived count.
    click(reading, 60);
    ASSERT_TRUE(readWindowGone());
    EXPECT_FALSE(waitForMessageBoxes(1, 100));
    EXPECT_EQ(appState.linkOpen, 0);
    EXPECT_EQ(appState.protocolAvailable, 1);
    // At least 21 blocks of two entries each had arrived before Break.
    EXPECT_GE(appState.protocolCount, 42);
    EXPECT_LT(appState.protocolCount, 3000);
    const std::vector<std::uint8_t> whole = failureProtocol('K', 3000);
    EXPECT_TRUE(bufferHolds({whole.begin(), whole.begin() + 24 * appState.protocolCount}));
    EXPECT_EQ(display(), nullptr);
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));

    // The reader could not open the device.
    reading = startProtocolRead();
    ASSERT_NE(reading, nullptr);
    bar = FindWindowExA(reading, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_TRUE(pumpUntil([bar] { return progress(bar) >= 2; }));
    PostMessageA(reading, WM_LINK_ABORT, 0, 0);
    ASSERT_TRUE(readWindowGone());
    expectBox(takeBoxes(1)[0], "USB-Error !", "Read protocol", MB_ICONERROR);
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
}
