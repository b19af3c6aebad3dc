#include "gui_harness.h"

#include <cstring>

#include "app/feature_frame.h"
#include "app/layout.h"
#include "app/settings.h"
#include "app/texts.h"
#include "app/window_table.h"

namespace {

bool isChecked(HWND parent, int id)
{
    return SendDlgItemMessageA(parent, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND parent, int id)
{
    return IsWindowEnabled(GetDlgItem(parent, id)) != FALSE;
}

SIZE outerSize(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace

TEST_F(ShellTest, FirstStartCreatesSettingsAndPreselectsGerman)
{
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(std::filesystem::file_size(settingsFile()), 186u);
    EXPECT_FALSE(hasMenu());
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool");

    HWND window = selection();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(isChecked(window, selectionIdGerman));
    EXPECT_FALSE(isChecked(window, selectionIdEnglish));
    EXPECT_FALSE(isChecked(window, selectionIdK));
    EXPECT_FALSE(isChecked(window, selectionIdM));
    EXPECT_FALSE(isEnabled(window, selectionIdOk));
    EXPECT_EQ(windowText(GetDlgItem(window, selectionIdEnglish)), "English");

    // The main window starts at 108 x 51 cells and the selection fills it.
    const SIZE size = outerSize(main());
    EXPECT_EQ(size.cx, 108 * appState.charWidth);
    EXPECT_EQ(size.cy, 51 * appState.lineHeight);
    RECT client, child;
    GetClientRect(main(), &client);
    GetClientRect(window, &child);
    EXPECT_EQ(child.right, client.right);
    EXPECT_EQ(child.bottom, client.bottom);

    // Controls sit on their cells.
    RECT ok;
    GetWindowRect(GetDlgItem(window, selectionIdOk), &ok);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_EQ(ok.left, 5 * appState.charWidth / 2);
    EXPECT_EQ(ok.top, 10 * appState.lineHeight);
    EXPECT_EQ(ok.bottom - ok.top, 7 * appState.lineHeight / 4);
    EXPECT_GT(appState.textLineHeight, 0);
    EXPECT_TRUE(recordedMessageBoxes().empty());
}

TEST_F(ShellTest, LanguageAloneNeverEnablesOk)
{
    ASSERT_NE(start(), nullptr);
    HWND window = selection();
    click(window, selectionIdEnglish);
    EXPECT_TRUE(isChecked(window, selectionIdEnglish));
    EXPECT_FALSE(isChecked(window, selectionIdGerman));
    EXPECT_FALSE(isEnabled(window, selectionIdOk));
    click(window, selectionIdGerman);
    EXPECT_FALSE(isEnabled(window, selectionIdOk));
    EXPECT_EQ(appState.language, 0);

    click(window, selectionIdK);
    EXPECT_TRUE(isEnabled(window, selectionIdOk));
    click(window, selectionIdM);
    EXPECT_TRUE(isChecked(window, selectionIdM));
    EXPECT_FALSE(isChecked(window, selectionIdK));
    EXPECT_EQ(appState.family, 1);
}

TEST_F(ShellTest, EnglishMSeriesConfirmation)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdEnglish, selectionIdM);

    EXPECT_EQ(selection(), nullptr);
    ASSERT_TRUE(hasMenu());
    char label[64] = {};
    GetMenuStringA(GetMenu(main()), commandConfiguration, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "&Configuration");
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / M-Series");
    EXPECT_STREQ(text(45), "Failure 'Low volatge cut out 230V' !");

    const SIZE size = outerSize(main());
    EXPECT_EQ(size.cx, 131 * appState.charWidth);
    EXPECT_EQ(size.cy, 53 * appState.lineHeight);
    RECT r;
    GetWindowRect(main(), &r);
    EXPECT_EQ(r.left, (appState.screenWidth - size.cx) / 2);
    EXPECT_EQ(r.top, (appState.screenHeight - size.cy) / 2);

    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
    EXPECT_FALSE(menuItemGrey(commandConfiguration));
    EXPECT_FALSE(menuItemGrey(commandSelection));
    EXPECT_FALSE(menuItemGrey(commandInfo));

    AppState saved;
    std::memset(&saved, 0, sizeof saved);
    ASSERT_TRUE(loadSettings(saved, settingsFile()));
    EXPECT_EQ(saved.language, 1);
    EXPECT_EQ(saved.family, 1);
}

TEST_F(ShellTest, GermanKSeriesTitleAndLanguageChangeViaCommand50)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdGerman, selectionIdK);
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / K-Serie");
    char label[64] = {};
    GetMenuStringA(GetMenu(main()), commandRunCounter, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "&Betriebsz\xE4hler");
    EXPECT_EQ(outerSize(main()).cx, 108 * appState.charWidth);

    // A protocol read earlier in the run is forgotten by a new selection.
    appState.protocolAvailable = 1;
    menuCommand(commandSelection);
    ASSERT_NE(selection(), nullptr);
    for (int id : menuItemIds)
        EXPECT_TRUE(menuItemGrey(id)) << id;
    EXPECT_FALSE(menuItemGrey(commandInfo));
    EXPECT_FALSE(isEnabled(selection(), selectionIdOk));
    EXPECT_TRUE(isChecked(selection(), selectionIdGerman));

    confirmSelection(selectionIdEnglish, selectionIdK);
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / K-Series");
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
}

TEST_F(ShellTest, CorruptSettingsStartGermanAndStayUntouchedUntilConfirmed)
{
    std::vector<unsigned char> corrupt(186, 0);
    corrupt[108] = 1; // English, but the CRC does not match
    writeBytes(settingsFile(), corrupt);
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(isChecked(selection(), selectionIdGerman));
    EXPECT_EQ(readBytes(settingsFile()), corrupt);
}

TEST_F(ShellTest, StoredEnglishIsPreselected)
{
    AppState english;
    std::memset(&english, 0, sizeof english);
    english.language = 1;
    english.family = 1;
    english.protocolAvailable = 1;
    ASSERT_TRUE(saveSettings(english, settingsFile()));
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(isChecked(selection(), selectionIdEnglish));
    // The family is chosen again at every start.
    EXPECT_FALSE(isChecked(selection(), selectionIdM));
    EXPECT_EQ(appState.protocolAvailable, 0);
}

TEST_F(ShellTest, TickCounters)
{
    ASSERT_NE(start(), nullptr);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(appState.restartTicks[i], 0xFFFF);
    appState.runTicks[0] = 0xFFFE;
    appState.restartTicks[1] = 0xFFFD;
    appState.restartTicks[2] = 0;
    const std::int32_t step = appState.stepTicks;
    for (int n = 0; n < 5; ++n)
        SendMessageA(main(), WM_TIMER, tickTimerId, 0);
    EXPECT_EQ(appState.runTicks[0], 0xFFFE + 5);
    EXPECT_EQ(appState.restartTicks[0], 0xFFFF);
    EXPECT_EQ(appState.restartTicks[1], 0xFFFF);
    EXPECT_EQ(appState.restartTicks[2], 5);
    EXPECT_EQ(appState.stepTicks, step + 5);

    // The real timer runs at 100 ms.
    const std::int32_t before = appState.stepTicks;
    pumpUntil([before] { return appState.stepTicks >= before + 3; }, 3000);
    EXPECT_GE(appState.stepTicks, before + 3);
}

TEST_F(ShellTest, InfoBoxAndMissingFeaturesDoNotCrash)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdEnglish, selectionIdK);
    menuCommand(commandInfo);
    ASSERT_EQ(recordedMessageBoxes().size(), 1u);
    EXPECT_EQ(recordedMessageBoxes()[0].caption, "Quarnel Polarund Expert Tool");
    EXPECT_EQ(recordedMessageBoxes()[0].text.rfind("V1.14", 0), 0u);
    EXPECT_EQ(recordedMessageBoxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));

    for (int id : {10, 20, 30, 40, 41, 42, 99})
        menuCommand(id);
    EXPECT_EQ(FindWindowExA(main(), nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(appState.featureOpen, 0);
}

TEST_F(ShellTest, ClosingTheMainWindowEndsTheMessageLoop)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdGerman, selectionIdK);
    PostMessageA(main(), WM_CLOSE, 0, 0);
    // Guard against a loop that never ends.
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    const int code = runMessageLoop();
    KillTimer(nullptr, guard);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(IsWindow(main()));
}

// A stand-in feature window that keeps the frame contract, to check the
// shell's side of it.
namespace {

bool fakeLinkStopped = false;

LRESULT CALLBACK fakeFeatureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        featureFrameCreate(window);
        return 0;
    case WM_CLOSE:
        featureFrameClose(window, true);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void fakeStopLink() { fakeLinkStopped = true; }

} // namespace

TEST_F(ShellTest, FeatureFrameGreysAndRestoresTheMenu)
{
    WindowProcTable features = {};
    for (int i = 2; i < windowClassCount; ++i)
        features.procedure[i] = fakeFeatureProc;
    // Classes may stay registered from earlier tests in this process.
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
    linkHooks.stopLink = fakeStopLink;
    fakeLinkStopped = false;

    ASSERT_NE(start(features), nullptr);
    confirmSelection(selectionIdEnglish, selectionIdM);

    menuCommand(commandRunCounter);
    HWND feature = childOfClass(main(), "RunCounter_CU1");
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(windowText(feature), "Running Counter");
    EXPECT_EQ(appState.featureOpen, 1);
    EXPECT_EQ(handleFromState(appState.featureWindow), feature);
    for (int id : menuItemIds)
        EXPECT_TRUE(menuItemGrey(id)) << id;
    EXPECT_FALSE(menuItemGrey(commandInfo));
    RECT client, child;
    GetClientRect(main(), &client);
    GetWindowRect(feature, &child);
    EXPECT_EQ(child.right - child.left, client.right);

    // After a protocol read, closing the read window opens the display.
    appState.protocolAvailable = 1;
    appState.autoDisplay = 1;
    PostMessageA(feature, WM_CLOSE, 0, 0);
    pumpUntil([this] { return childOfClass(main(), "ProtDisplay_CU1") != nullptr; });
    EXPECT_TRUE(fakeLinkStopped);
    HWND display = childOfClass(main(), "ProtDisplay_CU1");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(windowText(display), "M-Series Event-Protocol");
    EXPECT_EQ(appState.autoDisplay, 0);

    PostMessageA(display, WM_CLOSE, 0, 0);
    pumpUntil([this] { return appState.featureOpen == 0; });
    EXPECT_FALSE(menuItemGrey(commandProtocolDisplay));
    EXPECT_FALSE(menuItemGrey(commandProtocolSave));
    EXPECT_FALSE(menuItemGrey(commandConfiguration));

    // Without a protocol, Display and Save are grey again after a close.
    appState.protocolAvailable = 0;
    menuCommand(commandMonitor);
    HWND monitor = childOfClass(main(), "Monitor_CU1");
    ASSERT_NE(monitor, nullptr);
    PostMessageA(monitor, WM_CLOSE, 0, 0);
    pumpUntil([this] { return appState.featureOpen == 0; });
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));
    EXPECT_TRUE(menuItemGrey(commandProtocolSave));
    EXPECT_FALSE(menuItemGrey(commandMonitor));

    closeMainWindow();
    shutdownApplication();
    main_ = nullptr;
    linkHooks.stopLink = nullptr;
    for (int i = 2; i < windowClassCount; ++i)
        UnregisterClassA(windowClassTable[i].name, GetModuleHandleA(nullptr));
}
