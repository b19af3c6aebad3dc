// The monitor windows in a started program, against a simulated unit served
// on the loopback that the program finds through KAVIX_UNIT.
#include "gui_harness.h"

#include <commctrl.h>

#include <vector>

#include "app/shell.h"
#include "link/link_control.h"
#include "monitor/monitor_view.h"

namespace {

class MonitorWindowTest : public ProgramTest {
protected:
    // A unit of the family ('K' or 'M') with its values frozen at second 0.
    void attachUnit(char family, bool switchedOn, void (*adjust)(SimOptions&) = nullptr)
    {
        serveUnit(family, 0, [&](SimOptions& o) {
            o.switchedOn = switchedOn;
            if (adjust)
                adjust(o);
        });
        changeUnit([](SimUnit& unit, SimBlockStore&) { unit.fixedSeconds = 0; });
    }

    // Starts, confirms language and family, chooses "Monitor" and waits
    // until the Start posted at creation has run.
    HWND openAs(int languageId, int familyId)
    {
        startAs(languageId, familyId);
        menuCommand(commandMonitor);
        window_ = familyWindow("Monitor_CU");
        pumpUntil([this] { return window_ && (enabled(idStart) || enabled(idStop)); });
        return window_;
    }

    // Waits until the window has handled n more answers: the request after
    // an answer only leaves once the window released it.
    bool waitForAnswers(std::uint32_t n)
    {
        const std::uint32_t first = unit_.requestsSeen();
        const bool seen = pumpUntil([&] { return unit_.requestsSeen() >= first + n + 1; });
        pumpFor(20);
        return seen;
    }
    bool waitForUnitOutputs(std::uint32_t mask, std::uint32_t value)
    {
        return pumpUntil([&] { return (unit_.live().outputs & mask) == value; });
    }

    HWND control(int id) const { return GetDlgItem(window_, id); }
    std::string field(int id) const { return windowText(control(id)); }
    bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
    bool marked(int id) const { return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void scroll(int id, int code, int position = 0)
    {
        SendMessageA(window_, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(control(id)));
    }
    int progress() const
    {
        return static_cast<int>(SendMessageA(FindWindowExA(window_, nullptr, PROGRESS_CLASSA, nullptr),
                                             PBM_GETPOS, 0, 0));
    }
    // Manual control leaves the window with Stop, Close or a link end.
    void expectManualOff()
    {
        EXPECT_EQ(field(idManualToggle), "On");
        EXPECT_FALSE(enabled(idManualToggle));
        EXPECT_FALSE(enabled(0));
        EXPECT_TRUE(enabled(idStart));
        EXPECT_EQ(appState.linkOpen, 0);
    }
    void closeMonitor()
    {
        click(window_, idClose);
        pumpUntil([this] { return !IsWindow(window_); });
        EXPECT_FALSE(IsWindow(window_));
        EXPECT_EQ(appState.linkOpen, 0);
    }

    // Real mouse input: the cursor over the control, the button pressed and
    // released (twice for a double-click, inside the double-click time), as
    // the system delivers it.
    void clickWithTheMouse(int id, int clicks)
    {
        // A click on a window in the background may only bring it to the
        // front; the user's clicks go to the window in front.
        HWND top = GetAncestor(window_, GA_ROOT);
        SetForegroundWindow(top);
        pumpUntil([top] { return GetForegroundWindow() == top; });
        RECT r;
        GetWindowRect(control(id), &r);
        // Every press and release says where it is: a pointer position the
        // system has not caught up with would put a click on another
        // indicator.
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        const LONG x = (((r.left + r.right) / 2) * 65536 + width - 1) / width;
        const LONG y = (((r.top + r.bottom) / 2) * 65536 + height - 1) / height;
        std::vector<INPUT> inputs;
        for (int i = 0; i < clicks; ++i)
            for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
                INPUT input = {};
                input.type = INPUT_MOUSE;
                input.mi.dx = x;
                input.mi.dy = y;
                input.mi.dwFlags = flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
                inputs.push_back(input);
            }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        pumpFor(300);
    }

    HWND window_ = nullptr;
};

// A unit of the other family answers the poll with its own kind; the right
// one, started by hand, fills the fields.
TEST_F(MonitorWindowTest, KWrongUnitThenTheRightOneFillsTheFieldsAndRefreshesTheTitle)
{
    attachUnit('M', false);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    EXPECT_EQ(shownMessages(), "False ControlUnit (M-Series) connected ! [K-Series]");
    EXPECT_EQ(windowText(window_), "Monitor: Connect to: ControlUnitM SimulatorFirmware ?.?");
    expectManualOff();

    attachUnit('K', true, [](SimOptions& o) { o.errorBits = 0x05; });
    click(window_, idStart);
    EXPECT_EQ(windowText(window_).rfind("Monitor: Connect to: ControlUnitK SimulatorFirmware ", 0), 0u);
    EXPECT_FALSE(enabled(idStart));
    ASSERT_TRUE(pumpUntil([this] { return field(13) == "230"; }));
    // The unit runs: its outputs and errors are shown, manual control is locked.
    EXPECT_TRUE(marked(1) && !marked(3) && marked(20));
    EXPECT_EQ(GetScrollPos(control(4), SB_CTL), 60);
    EXPECT_EQ(field(17), "0005");
    EXPECT_FALSE(enabled(idManualToggle));
    ASSERT_TRUE(pumpUntil([this] { return windowText(window_).find("Firmware 1.23") != std::string::npos; }));
    EXPECT_GE(progress(), 4);
    closeMonitor();
    EXPECT_TRUE(linkThreadsEnded());
    EXPECT_EQ(shownMessages(0), "");
}

TEST_F(MonitorWindowTest, KManualControlSwitchesTheUnitUntilStopOrUnplugging)
{
    attachUnit('K', false);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    ASSERT_TRUE(pumpUntil([this] { return enabled(idManualToggle); }));
    click(window_, idManualToggle);
    EXPECT_EQ(field(idManualToggle), "Off");

    click(window_, 0);  // the window marks the indicator, the unit follows
    EXPECT_TRUE(marked(0));
    ASSERT_TRUE(waitForUnitOutputs(0x01, 0x01));
    EXPECT_TRUE(unit_.live().manual);
    scroll(4, SB_THUMBTRACK, 99);
    scroll(4, SB_LINERIGHT);
    scroll(4, SB_LINERIGHT);
    EXPECT_EQ(field(5), "100");
    ASSERT_TRUE(pumpUntil([this] { return unit_.live().blowerPower[0] == 100; }));

    // The compressor starts behind the valve; the sequence counts timer ticks.
    click(window_, 1);
    ASSERT_TRUE(waitForUnitOutputs(0x0A, 0x08));
    click(window_, 3);
    EXPECT_EQ(shownMessages(), "No manual valve control possible while compressor start sequence activ ! [K-Series]");
    appState.stepTicks = 60;
    ASSERT_TRUE(waitForUnitOutputs(0x0A, 0));
    appState.stepTicks = 30;
    ASSERT_TRUE(waitForUnitOutputs(0x0A, 0x02));
    ASSERT_TRUE(waitForAnswers(2));
    EXPECT_TRUE(marked(0));  // answers do not overwrite the command
    EXPECT_EQ(field(5), "100");

    // Stop leaves manual control off; the next Start tells the unit so.
    click(window_, idStop);
    expectManualOff();
    click(window_, idStart);
    ASSERT_TRUE(pumpUntil([this] { return !unit_.live().manual && unit_.live().outputs == 0; }));
    ASSERT_TRUE(waitForAnswers(1));
    EXPECT_FALSE(marked(0));

    // Unplugged under manual control.
    click(window_, idManualToggle);
    click(window_, 0);
    ASSERT_TRUE(waitForUnitOutputs(0x01, 0x01));
    dropSimConnections(unit_.server);
    EXPECT_EQ(shownMessages().rfind("USB-Error ! [Polarund K]", 0), 0u);
    expectManualOff();
    EXPECT_EQ(progress(), 0);
}

TEST_F(MonitorWindowTest, MInGermanShowsFahrenheitAndSwitchesARelayAndTheSecondBlower)
{
    attachUnit('M', false, [](SimOptions& o) {
        o.fahrenheit = true;
        o.errorBits = 0x10001;
        o.functionMode = 5;
    });
    ASSERT_NE(openAs(selectionIdGerman, selectionIdM), nullptr);
    EXPECT_EQ(windowText(window_).rfind("Monitor: verbunden mit: ControlUnitM SimulatorFirmware ", 0), 0u);
    ASSERT_TRUE(pumpUntil([this] { return enabled(idManualToggle); }));
    EXPECT_EQ(field(36), "66.2");
    EXPECT_EQ(field(46), "00010001");
    EXPECT_TRUE(marked(63) && marked(35));

    EXPECT_EQ(field(idManualToggle), "Ein");
    click(window_, idManualToggle);
    click(window_, 5);
    scroll(15, SB_THUMBPOSITION, 42);
    EXPECT_EQ(field(17), "42");
    ASSERT_TRUE(waitForUnitOutputs(0x20, 0x20));
    ASSERT_TRUE(pumpUntil([this] { return unit_.live().blowerPower[1] == 42; }));
    ASSERT_TRUE(pumpUntil([this] { return windowText(window_).find("Firmware 2.04") != std::string::npos; }));
    closeMonitor();
    EXPECT_EQ(shownMessages(0), "");
}

// Leaving the monitor with manual control on hands the unit back to its own
// control: the last poll it receives has the manual flag clear and its
// outputs follow the unit again, after Stop, after Close and after the main
// window closes with the monitor open.
TEST_F(MonitorWindowTest, KLeavingWithManualControlOnLeavesTheUnitInItsOwnControl)
{
    attachUnit('K', false);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    const auto manualPump = [this] {
        ASSERT_TRUE(pumpUntil([this] { return enabled(idManualToggle); }));
        click(window_, idManualToggle);
        click(window_, 2);   // sea water pump
        ASSERT_TRUE(waitForUnitOutputs(0x04, 0x04));
        ASSERT_TRUE(unit_.live().manual);
    };
    const auto unitInItsOwnControl = [this] {
        const SimLiveState live = unit_.live();
        EXPECT_FALSE(live.lastPollManual);
        EXPECT_FALSE(live.manual);
        EXPECT_EQ(live.outputs, 0u);
    };

    manualPump();
    click(window_, idStop);
    SCOPED_TRACE("Stop");
    unitInItsOwnControl();
    expectManualOff();

    click(window_, idStart);
    manualPump();
    closeMonitor();
    SCOPED_TRACE("Close");
    unitInItsOwnControl();

    menuCommand(commandMonitor);
    window_ = familyWindow("Monitor_CU");
    manualPump();
    const std::uint32_t polls = unit_.live().polls;
    ASSERT_TRUE(closeMainWindow());
    SCOPED_TRACE("main window closed");
    unitInItsOwnControl();
    EXPECT_GT(unit_.live().polls, polls);
}

// A double-click with the real mouse on the compressor's indicator is one
// click: the compressor starts (its sequence runs and the unit sees the
// valve reversed) instead of starting and aborting at once, which used up
// the restart lock.
TEST_F(MonitorWindowTest, KADoubleClickWithTheMouseStartsTheCompressorOnce)
{
    attachUnit('K', false);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdK), nullptr);
    // The start sequence moves on only when the test says so, however slowly
    // the clicks arrive on a busy machine.
    KillTimer(main(), tickTimerId);
    ASSERT_TRUE(pumpUntil([this] { return enabled(idManualToggle); }));
    click(window_, idManualToggle);
    // The mouse reaches the window: one click switches the blower on.
    clickWithTheMouse(0, 1);
    ASSERT_TRUE(pumpUntil([this] { return marked(0); }, 15000));

    // The system must take the pair for a double-click however long it
    // takes to arrive.
    const UINT doubleClickTime = GetDoubleClickTime();
    SetDoubleClickTime(5000);
    clickWithTheMouse(1, 2);
    EXPECT_TRUE(pumpUntil([this] { return marked(1); }, 15000));
    pumpFor(1000);
    SetDoubleClickTime(doubleClickTime);
    EXPECT_TRUE(marked(1));
    EXPECT_EQ(appState.sequenceActive, 1);
    EXPECT_EQ(shownMessages(200), "");
    ASSERT_TRUE(waitForUnitOutputs(0x0B, 0x09));   // blower on, valve reversed, compressor not yet
    appState.stepTicks = 60;
    ASSERT_TRUE(waitForUnitOutputs(0x0A, 0));
    appState.stepTicks = 30;
    ASSERT_TRUE(waitForUnitOutputs(0x0A, 0x02));
    EXPECT_TRUE(marked(1));
}

// M-Series: manual control switched off and on again while compressor 1's
// start sequence runs. Its indicator is marked again, and a click on it
// stops the compressor and aborts the sequence rather than meeting the
// restart lock; the unit never sees the compressor on.
TEST_F(MonitorWindowTest, MASequenceAcrossManualOffAndOnCanBeStoppedFromItsIndicator)
{
    attachUnit('M', false);
    ASSERT_NE(openAs(selectionIdEnglish, selectionIdM), nullptr);
    ASSERT_TRUE(pumpUntil([this] { return enabled(idManualToggle); }));
    click(window_, idManualToggle);
    click(window_, 8);
    ASSERT_TRUE(waitForUnitOutputs(0x110, 0x010));   // valve reversed first
    click(window_, idManualToggle);
    ASSERT_TRUE(waitForUnitOutputs(0x110, 0));       // the unit in its own control
    ASSERT_TRUE(waitForAnswers(2));
    EXPECT_FALSE(marked(8));
    click(window_, idManualToggle);
    EXPECT_TRUE(marked(8));

    click(window_, 8);
    EXPECT_EQ(shownMessages(300), "");
    EXPECT_FALSE(marked(8));
    EXPECT_EQ(appState.sequenceActive, 0);
    appState.stepTicks = 60;
    ASSERT_TRUE(waitForAnswers(3));
    appState.stepTicks = 30;
    ASSERT_TRUE(waitForAnswers(3));
    EXPECT_EQ(unit_.live().outputs & 0x110u, 0u);
}

} // namespace
