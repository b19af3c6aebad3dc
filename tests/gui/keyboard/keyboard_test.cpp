// The program from the keyboard alone, with real key presses that go
// through the input queue as the keyboard's do.
#include "gui_harness.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/replacing_file.h"
#include "config/config_file.h"
#include "config/config_window_ids.h"
#include "config/form_row.h"
#include "config/m_parameters.h"
#include "app/radio_focus.h"
#include "app/shell.h"
#include "monitor/monitor_view.h"
#include "protocol/protocol_display.h"
#include "protocol/protocol_entries.h"

namespace {

class KeyboardTest : public ProgramTest {
protected:
    // Started and in front, so that the keys reach it.
    void startInFront()
    {
        ASSERT_NE(start(), nullptr);
        SetForegroundWindow(main());
        ASSERT_TRUE(pumpUntil([this] { return GetForegroundWindow() == main(); }));
    }

    // A key pressed and let go, with a modifier held (VK_SHIFT, VK_MENU).
    static void press(WORD key, WORD modifier = 0)
    {
        std::vector<INPUT> events;
        auto add = [&events](WORD k, bool up) {
            INPUT in = {};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = k;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            events.push_back(in);
        };
        if (modifier)
            add(modifier, false);
        add(key, false);
        add(key, true);
        if (modifier)
            add(modifier, true);
        SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        pumpFor(60);
    }
    // A key held down until it repeated `times` times, then let go.
    static void hold(WORD key, int times)
    {
        std::vector<INPUT> events(static_cast<std::size_t>(times) + 1);
        for (INPUT& in : events) {
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = key;
        }
        events.back().ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
        pumpFor(100);
    }
    // The control Tab reaches next, pressed until `target` has the focus.
    static bool tabTo(HWND target, bool backwards = false)
    {
        for (int i = 0; i < 120 && GetFocus() != target; ++i)
            press(VK_TAB, backwards ? VK_SHIFT : 0);
        return GetFocus() == target;
    }

    static bool checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static bool enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

    // The mouse wheel turned by `notches` (positive away from the user) with
    // the pointer over a window.
    static void turnWheel(HWND over, int notches)
    {
        RECT r;
        GetWindowRect(over, &r);
        // The turn says where the pointer is, so it never lands elsewhere.
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dx = (((r.left + r.right) / 2) * 65536 + width - 1) / width;
        in.mi.dy = (((r.top + r.bottom) / 2) * 65536 + height - 1) / height;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
        SendInput(1, &in, sizeof in);
        pumpFor(100);
    }

    // Confirmed with the mouse, then brought to the front for the keys.
    void startInFrontAs(int languageId, int familyId)
    {
        startAs(languageId, familyId);
        SetForegroundWindow(main());
        ASSERT_TRUE(pumpUntil([this] { return GetForegroundWindow() == main(); }));
    }
};

TEST_F(KeyboardTest, FromTheSelectionToAProgrammedConfigurationWithTheKeyboardAlone)
{
    serveUnit('M');
    startInFront();
    HWND window = selection();
    HWND german = GetDlgItem(window, selectionIdGerman), english = GetDlgItem(window, selectionIdEnglish);
    HWND kSeries = GetDlgItem(window, selectionIdK), mSeries = GetDlgItem(window, selectionIdM);
    HWND ok = GetDlgItem(window, selectionIdOk);
    // The focus starts on the marked language. Without a family Enter does
    // nothing, and the window cannot be left with Esc.
    EXPECT_EQ(GetFocus(), german);
    press(VK_RETURN);
    press(VK_ESCAPE);
    ASSERT_EQ(selection(), window);
    // Arrows move within a group and choose; Tab moves between the groups
    // without choosing anything.
    press(VK_DOWN);
    EXPECT_EQ(GetFocus(), english);
    EXPECT_TRUE(checked(english) && !checked(german));
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), kSeries);
    EXPECT_FALSE(checked(kSeries) || checked(mSeries) || enabled(ok));
    press(VK_RIGHT);
    EXPECT_TRUE(checked(mSeries) && enabled(ok));
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), ok);
    press(VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), mSeries);   // back into the group at its marked button
    press(VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), english);
    press(VK_RETURN);                  // OK is the default button
    ASSERT_TRUE(pumpUntil([this] { return selection() == nullptr; }));
    EXPECT_EQ(windowText(main()), "Quarnel Polarund Expert Tool / M-Series");

    // The menu by its mnemonic; the window reads the unit and the focus
    // starts on its first row.
    press('C', VK_MENU);
    ASSERT_TRUE(pumpUntil([this] { return familyWindow("Configuration_CU") != nullptr; }));
    window = familyWindow("Configuration_CU");
    EXPECT_EQ(takeBoxes(1)[0].text, "Device-Configuration read !");
    HWND first = GetDlgItem(window, rowControlId(rowDevice, partValue));
    EXPECT_EQ(GetFocus(), first);

    // Tab reaches every list, every value box and every button once, in
    // the order they were made (group by group, the buttons last), and
    // comes round again.
    std::vector<HWND> reached;
    do {
        reached.push_back(GetFocus());
        press(VK_TAB);
    } while (GetFocus() != first && reached.size() < 100);
    std::vector<HWND> expected;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        const bool value = rowOfControl(id) >= 0 && partOfControl(id) == partValue;
        const bool button = id >= configButtonRead && id <= configButtonClose;
        if ((value || button) && IsWindowEnabled(c))
            expected.push_back(c);
    }
    EXPECT_EQ(reached, expected);

    // Up and Down step a value box as its arrows do, held they repeat.
    HWND setTemperature = GetDlgItem(window, rowControlId(rowSetTemp, partValue));
    ASSERT_TRUE(tabTo(setTemperature));
    press(VK_UP);
    EXPECT_EQ(windowText(setTemperature), "21");
    hold(VK_UP, 4);
    EXPECT_EQ(windowText(setTemperature), "25");
    press(VK_DOWN);
    press(VK_DOWN);
    EXPECT_EQ(windowText(setTemperature), "23");
    // A list takes Up and Down for its own items.
    HWND unitList = GetDlgItem(window, rowControlId(rowTemperatureUnit, partValue));
    ASSERT_TRUE(tabTo(unitList, true));
    press(VK_DOWN);
    EXPECT_EQ(SendMessageA(unitList, CB_GETCURSEL, 0, 0), 1);   // °F
    press(VK_UP);
    EXPECT_EQ(SendMessageA(unitList, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(windowText(setTemperature), "23");

    // Enter on the focused "Save to File" saves the edited block.
    const std::string path = (dir_ / "keyboard.cbf").string();
    answerFileDialogs(path);
    HWND save = GetDlgItem(window, configButtonSaveFile);
    ASSERT_TRUE(tabTo(save));
    press(VK_RETURN);
    unsigned char block[configImageCapacity] = {};
    ASSERT_EQ(loadConfigFile(pathFromAnsi(path.c_str()), mSeriesConfigFile, block), 0);
    MParameterBlock saved;
    std::memcpy(&saved, block, sizeof saved);
    EXPECT_EQ(saved.SetTemp_C, 23);

    // And on "Save Changes" programs the unit; the focus comes back to it
    // after the hint and the result.
    HWND program = GetDlgItem(window, configButtonProgram);
    ASSERT_TRUE(tabTo(program));
    press(VK_RETURN);
    const std::vector<RecordedMessageBox> boxes = takeBoxes(2);
    EXPECT_EQ(boxes[1].text, "New Configuration programmed !");
    changeUnit([](SimUnit&, SimBlockStore& store) {
        ASSERT_EQ(store.programmings, 1u);
        MParameterBlock programmed;
        std::memcpy(&programmed, store.configuration.bytes.data(), sizeof programmed);
        EXPECT_EQ(programmed.SetTemp_C, 23);
    });
    EXPECT_EQ(GetFocus(), program);

    // Esc closes the window as its Close button does.
    press(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
    EXPECT_FALSE(menuItemGrey(commandConfiguration));
}

// The K-Series monitor's compressor indicator has the id the dialog manager
// gives Enter (1) and the pump indicator the one it gives Esc (2): neither
// key may ever reach them.
TEST_F(KeyboardTest, MonitorTakesStartStopManualControlAndOutputsFromTheKeysAlone)
{
    serveUnit('K', 0, [](SimOptions& o) { o.switchedOn = false; });
    changeUnit([](SimUnit& unit, SimBlockStore&) { unit.fixedSeconds = 0; });
    startInFrontAs(selectionIdEnglish, selectionIdK);
    menuCommand(commandMonitor);
    HWND window = familyWindow("Monitor_CU");
    ASSERT_NE(window, nullptr);
    auto control = [window](int id) { return GetDlgItem(window, id); };
    ASSERT_TRUE(pumpUntil([&] { return enabled(control(idManualToggle)); }));

    // Space presses Stop and Start; each hands the focus to the other.
    ASSERT_TRUE(tabTo(control(idStop)));
    press(VK_SPACE);
    EXPECT_TRUE(enabled(control(idStart)) && !enabled(control(idStop)));
    EXPECT_EQ(GetFocus(), control(idStart));
    press(VK_SPACE);
    ASSERT_TRUE(pumpUntil([&] { return enabled(control(idManualToggle)); }));
    EXPECT_EQ(GetFocus(), control(idStop));

    // Manual control on with Space on its button.
    ASSERT_TRUE(tabTo(control(idManualToggle), true));
    press(VK_SPACE);
    EXPECT_EQ(windowText(control(idManualToggle)), "Off");
    ASSERT_TRUE(pumpUntil([this] { return unit_.live().manual; }));

    // Moving onto the indicators, arrows and Enter switch nothing.
    ASSERT_TRUE(tabTo(control(0), true));
    press(VK_DOWN);
    press(VK_RIGHT);
    EXPECT_EQ(GetFocus(), control(0));
    ASSERT_TRUE(tabTo(control(1)));
    press(VK_RETURN);
    press(VK_UP);
    ASSERT_TRUE(tabTo(control(2)));
    press(VK_RETURN);
    const std::uint32_t seen = unit_.requestsSeen();
    ASSERT_TRUE(pumpUntil([&] { return unit_.requestsSeen() >= seen + 3; }));
    for (int id = 0; id < 4; ++id)
        EXPECT_FALSE(checked(control(id))) << id;
    EXPECT_EQ(unit_.live().outputs, 0u);

    // Space switches the focused indicator, once.
    press(VK_SPACE);
    EXPECT_TRUE(checked(control(2)));
    ASSERT_TRUE(pumpUntil([this] { return unit_.live().outputs == 0x04; }));
    // The blower power follows its bar's arrow keys.
    ASSERT_TRUE(tabTo(control(4)));
    const int power = std::atoi(windowText(control(5)).c_str());
    press(VK_RIGHT);
    press(VK_RIGHT);
    EXPECT_EQ(std::atoi(windowText(control(5)).c_str()), power + 2);

    // Esc closes the monitor as Close does; the compressor never ran.
    ASSERT_TRUE(tabTo(control(1)));
    press(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
    EXPECT_EQ(unit_.live().outputs & 0x02, 0u);
    EXPECT_EQ(shownMessages(0), "");
}

// 50,000 entries: Up/Down a line (held, they repeat), Page Up/Down a page,
// Home and End, and the wheel the system's three lines a notch.
TEST_F(KeyboardTest, ProtocolDisplayMovesWithKeysAndWheel)
{
    startInFrontAs(selectionIdEnglish, selectionIdK);
    constexpr std::int32_t entries = 50000;
    appState.protocolCount = entries;
    appState.protocolAvailable = 1;
    menuCommand(commandProtocolDisplay);
    HWND window = familyWindow("ProtDisplay_CU");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetFocus(), window);
    HWND bar = FindWindowExA(window, nullptr, "ScrollBar", nullptr);
    auto top = [bar] { return GetScrollPos(bar, SB_CTL); };
    RECT shown;
    GetClientRect(window, &shown);
    const int lines = visibleLineCount(Family::k, {appState.clientWidth, appState.clientHeight, appState.charWidth,
                                                   appState.lineHeight, appState.textCharWidth,
                                                   appState.textLineHeight, shown.bottom});
    ASSERT_GT(lines, 10);

    hold(VK_DOWN, 12);
    EXPECT_EQ(top(), 12);
    press(VK_UP);
    EXPECT_EQ(top(), 11);
    press(VK_NEXT);
    EXPECT_EQ(top(), 11 + lines);
    press(VK_END);
    EXPECT_EQ(top(), entries - lines);
    press(VK_PRIOR);
    EXPECT_EQ(top(), entries - 2 * lines);
    press(VK_HOME);
    EXPECT_EQ(top(), 0);
    turnWheel(window, -2);
    EXPECT_EQ(top(), 6);
    turnWheel(window, 1);
    EXPECT_EQ(top(), 3);
    press(VK_ESCAPE);
    EXPECT_TRUE(pumpUntil([window] { return !IsWindow(window); }));
}

TEST_F(KeyboardTest, MSeriesProtocolDisplayScrollsItsColumnsWithLeftAndRight)
{
    startInFrontAs(selectionIdGerman, selectionIdM);
    appState.protocolCount = 100;
    menuCommand(commandProtocolDisplay);
    HWND window = familyWindow("ProtDisplay_CU");
    ASSERT_NE(window, nullptr);
    HWND vertical = FindWindowExA(window, nullptr, "ScrollBar", nullptr);
    HWND horizontal = FindWindowExA(window, vertical, "ScrollBar", nullptr);
    hold(VK_RIGHT, 3);
    EXPECT_EQ(GetScrollPos(horizontal, SB_CTL), 3);
    press(VK_LEFT);
    EXPECT_EQ(GetScrollPos(horizontal, SB_CTL), 2);
    hold(VK_RIGHT, 20);
    EXPECT_EQ(GetScrollPos(horizontal, SB_CTL), maxColumnOffset);
    EXPECT_EQ(GetScrollPos(vertical, SB_CTL), 0);
}

// Windows' button control reports a click when an unmarked radio button gets
// the focus from the keyboard (Wine's does not, so a subclass plays Windows
// here): the windows must be able to tell that from a press.
LRESULT CALLBACK playWindowsRadioFocus(HWND radio, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETFOCUS && SendMessageA(radio, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageA(GetParent(radio), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(radio), BN_CLICKED),
                     reinterpret_cast<LPARAM>(radio));
    return DefSubclassProc(radio, message, wParam, lParam);
}

std::vector<bool> clicksFromFocus;

LRESULT CALLBACK recordClicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
        clicksFromFocus.push_back(clickFromFocus(reinterpret_cast<HWND>(lParam)));
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(RadioFocus, AClickFromTheFocusArrivingIsToldApartFromAPress)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = recordClicks;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KavixRadioFocusTest";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    HWND indicator = CreateWindowExA(0, "button", "Compressor", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | WS_TABSTOP,
                                     0, 0, 150, 20, parent, reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
    HWND choice = CreateWindowExA(0, "button", "English", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | WS_TABSTOP, 0,
                                  30, 150, 20, parent, reinterpret_cast<HMENU>(2), wc.hInstance, nullptr);
    SetWindowSubclass(indicator, playWindowsRadioFocus, 1, 0);
    guardRadioFocus(indicator, RadioRole::output);
    guardRadioFocus(choice, RadioRole::choice);

    clicksFromFocus.clear();
    SetFocus(indicator);
    SendMessageA(indicator, BM_CLICK, 0, 0);
    EXPECT_EQ(clicksFromFocus, (std::vector<bool>{true, false}));
    // To the dialog keys an indicator is a plain button and a tab stop
    // whether marked or not; a choice a radio button whose group the arrow
    // keys move through.
    EXPECT_EQ(SendMessageA(indicator, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    EXPECT_NE(SendMessageA(choice, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON, 0);
    SendMessageA(indicator, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_NE(GetWindowLongA(indicator, GWL_STYLE) & WS_TABSTOP, 0);
    DestroyWindow(parent);
}

} // namespace
