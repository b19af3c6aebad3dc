// Every window of both families and both languages on the desktops that
// service laptops have, at the screen scaling of the Wine prefix this runs
// in: each lies inside the work area, each control inside its window, and
// no control's text is wider or taller than the control. On 1920x1080 at
// 96 dpi the layout is compared line by line with the one pinned in
// layout/.
#include "gui_harness.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/dialog_keys.h"
#include "app/program.h"
#include "app/screen_fit.h"
#include "app/screen_scale.h"
#include "test_desktop.h"
#include "window_capture.h"
#include "window_survey.h"

namespace {

struct Desktop {
    int width;
    int height;
};

// The pairs of screen size and scaling that laptops and monitors ship with.
std::vector<Desktop> desktopsFor(int dpi)
{
    switch (dpi) {
    case 96:
        return {{1366, 768}, {1920, 1080}, {2560, 1440}};
    case 120:
        return {{1366, 768}, {1920, 1080}, {2560, 1440}};
    case 144:
        return {{1920, 1080}, {2560, 1440}, {3840, 2160}};
    case 192:
        return {{3840, 2160}};
    default:
        return {};
    }
}

RECT workArea()
{
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string desktopName(Desktop d, int dpi)
{
    return std::to_string(d.width) + "x" + std::to_string(d.height) + "-" + std::to_string(dpi);
}

struct Language {
    int id;
    const char* name;
};

class ScreenTest : public ProgramTest {
protected:
    // What was found wrong, one line each, and the layout seen.
    std::vector<std::string> problems_;
    std::vector<std::string> layout_;
    std::string where_;
    std::string shotPrefix_;

    void problem(const std::string& what) { problems_.push_back(where_ + ": " + what); }

    void surveyWindow(const char* name, HWND window)
    {
        where_ = name;
        ASSERT_TRUE(window && IsWindow(window)) << name << " is not open";
        RECT outer;
        GetWindowRect(window, &outer);
        // A child is seen only where its parent shows it.
        RECT shown = outer;
        RECT mainOuter;
        GetWindowRect(main(), &mainOuter);
        IntersectRect(&shown, &outer, &mainOuter);
        if (!inside(shown, workArea()))
            problem("window at " + describeRect(outer) + " leaves the work area " + describeRect(workArea()));
        for (const std::string& line : controlsOutside(window))
            problem("outside its window: " + line);
        for (const std::string& line : textOverflows(window))
            problem("text does not fit: " + line);

        // KAVIX_SCREEN_SHOTS=FOLDER keeps a picture of each window, to compare
        // two builds pixel by pixel.
        if (const char* shots = std::getenv("KAVIX_SCREEN_SHOTS")) {
            RedrawWindow(main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
            pumpFor(200);
            captureWindow(main(), (std::string(shots) + "/" + shotPrefix_ + name + ".bmp").c_str());
        }
        RECT client;
        GetClientRect(window, &client);
        layout_.push_back(std::string("== ") + name + " " + describeRect(outer) + " client " + describeRect(client));
        char unit[96];
        std::snprintf(unit, sizeof unit, "unit %dx%d text %dx%d", appState.charWidth, appState.lineHeight,
                      appState.textCharWidth, appState.textLineHeight);
        layout_.push_back(unit);
        for (const std::string& line : describeControls(window))
            layout_.push_back(line);
    }

    HWND openFeature(int command, const char* classBase)
    {
        menuCommand(command);
        HWND window = nullptr;
        pumpUntil([&] {
            window = familyWindow(classBase);
            return window != nullptr;
        });
        pumpFor(300);
        return window;
    }

    // Where the main window scrolls, Tab brings every control it reaches
    // into view.
    void checkTabScrollsIntoView(HWND window)
    {
        if ((GetWindowLongA(main(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) == 0 || !IsWindow(window))
            return;
        RECT client;
        GetClientRect(main(), &client);
        HWND first = nullptr;
        for (int i = 0; i < 120; ++i) {
            MSG tab = {GetFocus() ? GetFocus() : window, WM_KEYDOWN, VK_TAB, 0, 0, {}};
            ASSERT_TRUE(handleDialogKey(tab));
            HWND focus = GetFocus();
            if (focus == first)
                break;
            if (!first)
                first = focus;
            if (focus == window)   // a window without controls takes the keys itself
                break;
            RECT r;
            GetWindowRect(focus, &r);
            MapWindowPoints(nullptr, main(), reinterpret_cast<POINT*>(&r), 2);
            if (!inside(r, client))
                problem("Tab leaves control " + std::to_string(GetDlgCtrlID(focus)) + " out of view at " +
                        describeRect(r));
        }
    }

    void surveyFeature(int command, const char* classBase, const char* name)
    {
        HWND window = openFeature(command, classBase);
        surveyWindow(name, window);
        checkTabScrollsIntoView(window);
        if (window && IsWindow(window))
            closeWindow(window);
        takeMessageBoxes();
    }

    // Every window of one family in one language on the current desktop.
    void surveyProgram(char family, Language language)
    {
        serveUnit(family, 25);
        clearQuitMessageSeen();
        ASSERT_NE(start(), nullptr);
        surveyWindow("selection", selection());
        confirmSelection(language.id, family == 'M' ? selectionIdM : selectionIdK);
        surveyWindow("main", main());
        // The unit chosen for this desktop, for the record.
        RECT outer;
        GetWindowRect(main(), &outer);
        const ScreenScale& s = screenScale();
        std::printf("%s: %c unit %dx%d of %dx%d (%d %%), window %ldx%ld%s\n", shotPrefix_.c_str(), family,
                    s.unit.charWidth, s.unit.lineHeight, s.normal.charWidth, s.normal.lineHeight,
                    100 * s.unit.lineHeight / s.normal.lineHeight, outer.right - outer.left, outer.bottom - outer.top,
                    s.scrolls ? ", scrolls" : "");
        surveyFeature(commandConfiguration, "Configuration_CU", "configuration");
        surveyFeature(commandRunCounter, "RunCounter_CU", "running counters");
        surveyFeature(commandMonitor, "Monitor_CU", "monitor");
        surveyFeature(commandProtocolDisplay, "ProtDisplay_CU", "protocol display");
        // The read window stays while the unit keeps it waiting.
        unit_.setFaults([] {
            SimFaults silent;
            silent.silent = true;
            return silent;
        }());
        surveyFeature(commandProtocolRead, "Upload_CU", "protocol read");
        closeMainWindow();
        shutdownProgram();
    }

    void compareWithPinnedLayout(const std::string& name)
    {
        const std::string path = std::string(KAVIX_SCREEN_LAYOUT_DIR) + "/" + name + ".txt";
        if (std::getenv("KAVIX_PIN_LAYOUT")) {
            std::ofstream out(path, std::ios::binary);
            for (const std::string& line : layout_)
                out << line << "\n";
            return;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in.good()) << path;
        std::vector<std::string> pinned;
        for (std::string line; std::getline(in, line);)
            pinned.push_back(line);
        EXPECT_EQ(layout_.size(), pinned.size()) << name;
        for (std::size_t i = 0; i < layout_.size() && i < pinned.size(); ++i)
            EXPECT_EQ(layout_[i], pinned[i]) << name << " line " << i + 1;
    }

    void runMatrix(char family, Language language)
    {
        const int dpi = screenDpi();
        const std::vector<Desktop> desktops = desktopsFor(dpi);
        ASSERT_FALSE(desktops.empty()) << "no desktops for " << dpi << " dpi";
        for (const Desktop& desktop : desktops) {
            SCOPED_TRACE(desktopName(desktop, dpi));
            ASSERT_TRUE(useDesktop(desktop.width, desktop.height));
            problems_.clear();
            layout_.clear();
            shotPrefix_ = desktopName(desktop, dpi) + "-" + family + "-" + language.name + "-";
            surveyProgram(family, language);
            for (const std::string& p : problems_)
                ADD_FAILURE() << p;
            if (dpi == 96 && desktop.width == 1920)
                compareWithPinnedLayout(desktopName(desktop, dpi) + "-" + family + "-" + language.name);
        }
    }

    void TearDown() override
    {
        // The program is already shut down by the run.
        ProgramTest::TearDown();
    }
};

// Dragged to a monitor of 150 % and back: the open window is laid out for
// the new scaling at once, its texts fit, and back at 100 % it is as before.
TEST_F(ScreenTest, AnOpenWindowFollowsTheMainWindowToAnotherScaling)
{
    if (screenDpi() != 96)
        GTEST_SKIP() << "the second monitor's scaling is played from 96 dpi";
    ASSERT_TRUE(useDesktop(2560, 1440));
    serveUnit('M', 0);
    clearQuitMessageSeen();
    ASSERT_NE(start(), nullptr);
    confirmSelection(selectionIdEnglish, selectionIdM);
    HWND window = openFeature(commandConfiguration, "Configuration_CU");
    takeMessageBoxes();
    const std::vector<std::string> before = describeControls(window);
    const LayoutUnit unitBefore = {appState.charWidth, appState.lineHeight};

    auto changeDpi = [this](int from, int to) {
        RECT r;
        GetWindowRect(main(), &r);
        RECT suggested = {r.left, r.top, r.left + MulDiv(r.right - r.left, to, from),
                          r.top + MulDiv(r.bottom - r.top, to, from)};
        SendMessageA(main(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        pumpFor(200);
    };
    changeDpi(96, 144);
    EXPECT_GT(appState.lineHeight, unitBefore.lineHeight * 13 / 10);
    surveyWindow("configuration at 144 dpi", window);
    surveyWindow("main at 144 dpi", main());
    for (const std::string& p : problems_)
        ADD_FAILURE() << p;

    changeDpi(144, 96);
    EXPECT_EQ(appState.lineHeight, unitBefore.lineHeight);
    EXPECT_EQ(describeControls(window), before);
    closeMainWindow();
    shutdownProgram();
}

const Language english = {selectionIdEnglish, "en"};
const Language german = {selectionIdGerman, "de"};

TEST_F(ScreenTest, KSeriesEnglish) { runMatrix('K', english); }
TEST_F(ScreenTest, KSeriesGerman) { runMatrix('K', german); }
TEST_F(ScreenTest, MSeriesEnglish) { runMatrix('M', english); }
TEST_F(ScreenTest, MSeriesGerman) { runMatrix('M', german); }

} // namespace
