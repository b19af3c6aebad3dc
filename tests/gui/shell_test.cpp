// The shell: start-up, the selection window, the menu around feature
// windows, the info box and the end of the program.
#include "gui_harness.h"

#include <cstring>

#include "app/program.h"
#include "app/settings.h"
#include "app/shell.h"

namespace {

bool isChecked(HWND parent, int id) { return SendDlgItemMessageA(parent, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool isEnabled(HWND parent, int id) { return IsWindowEnabled(GetDlgItem(parent, id)) != FALSE; }

// The outer window in whole cells of the layout unit ("?" for a part
// cell), and whether it is centred on the screen.
std::string cellsOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const bool centred = r.left == (appState.screenWidth - width) / 2 && r.top == (appState.screenHeight - height) / 2;
    return std::to_string(width / appState.charWidth) + (width % appState.charWidth ? "?" : "") + "x" +
           std::to_string(height / appState.lineHeight) + (height % appState.lineHeight ? "?" : "") +
           (centred ? " centred" : "");
}

std::string menuLabel(HWND window, int id)
{
    char label[64] = {};
    GetMenuStringA(GetMenu(window), static_cast<UINT>(id), label, sizeof label, MF_BYCOMMAND);
    return label;
}

} // namespace

TEST_F(ProgramTest, FirstStartCreatesSettingsAndOffersTheSelection)
{
    ASSERT_NE(start(), nullptr);
    EXPECT_EQ(std::filesystem::file_size(settingsFile()), 186u);
    EXPECT_EQ(GetMenu(main()), nullptr);
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool");
    EXPECT_EQ(cellsOf(main()), "108x51 centred");
    HWND window = selection();
    ASSERT_NE(window, nullptr);
    RECT client, child;
    GetClientRect(main(), &client);
    GetClientRect(window, &child);
    EXPECT_EQ(child.right, client.right);
    EXPECT_EQ(child.bottom, client.bottom);

    // German preselected; a language alone never enables OK, the radios
    // of each group exclude each other.
    EXPECT_TRUE(isChecked(window, selectionIdGerman));
    click(window, selectionIdEnglish);
    EXPECT_FALSE(isChecked(window, selectionIdGerman));
    EXPECT_FALSE(isEnabled(window, selectionIdOk));
    click(window, selectionIdK);
    click(window, selectionIdM);
    EXPECT_FALSE(isChecked(window, selectionIdK));
    EXPECT_TRUE(isEnabled(window, selectionIdOk));
    EXPECT_TRUE(takeMessageBoxes().empty());
}

TEST_F(ProgramTest, ConfirmationReselectionInfoBoxAndClose)
{
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdEnglish, selectionIdM);
    EXPECT_EQ(menuLabel(main(), commandConfiguration), "&Configuration");
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / M-Series");
    EXPECT_EQ(cellsOf(main()), "131x53 centred");
    for (int id : menuItemIds)
        EXPECT_EQ(menuItemGrey(id), id == commandProtocolDisplay || id == commandProtocolSave) << id;
    AppState saved;
    std::memset(&saved, 0, sizeof saved);
    ASSERT_TRUE(loadSettings(saved, settingsFile()));
    EXPECT_EQ(saved.language, 1);
    EXPECT_EQ(saved.family, 1);

    appState.protocolAvailable = 1;  // a protocol read earlier in the run
    menuCommand(commandSelection);
    ASSERT_NE(selection(), nullptr);
    for (int id : menuItemIds)
        EXPECT_TRUE(menuItemGrey(id)) << id;
    EXPECT_FALSE(menuItemGrey(commandInfo));
    EXPECT_FALSE(isEnabled(selection(), selectionIdOk));
    confirmSelection(selectionIdGerman, selectionIdK);
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / K-Serie");
    EXPECT_EQ(menuLabel(main(), commandRunCounter), "&Betriebsz\xE4hler");
    EXPECT_EQ(cellsOf(main()), "108x51 centred");
    EXPECT_EQ(appState.protocolAvailable, 0);
    EXPECT_TRUE(menuItemGrey(commandProtocolDisplay));

    menuCommand(commandInfo);
    expectBox(takeBoxes(1)[0], infoBoxText, "Quarnel Polarund Expert Tool", MB_ICONINFORMATION);
    menuCommand(99);   // no such command
    EXPECT_EQ(FindWindowExA(main(), nullptr, nullptr, nullptr), nullptr);

    PostMessageA(main(), WM_CLOSE, 0, 0);
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); });
    EXPECT_EQ(runMessageLoop(), 0);
    KillTimer(nullptr, guard);
    EXPECT_FALSE(IsWindow(main()));
}

TEST_F(ProgramTest, StoredEnglishIsPreselectedTheFamilyChosenAgain)
{
    AppState english;
    std::memset(&english, 0, sizeof english);
    english.language = english.family = 1;
    ASSERT_TRUE(saveSettings(english, settingsFile()));
    ASSERT_NE(start(), nullptr);
    EXPECT_TRUE(isChecked(selection(), selectionIdEnglish));
    EXPECT_FALSE(isChecked(selection(), selectionIdM));
    EXPECT_EQ(appState.restartTicks[5], 0xFFFF);
    // The 100 ms timer drives the tick counters.
    const std::int32_t before = appState.stepTicks;
    EXPECT_TRUE(pumpUntil([before] { return appState.stepTicks >= before + 3; }, 3000));
}
