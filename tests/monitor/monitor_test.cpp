#include "monitor/monitor_format.h"
#include "monitor/monitor_layout.h"
#include "monitor_test_support.h"

// Field texts; input and error indicators by bit (M: input bit 2 has none,
// errors stop at bit 16); unit labels that follow the °F flag; with manual
// control off the next request mirrors the unit's outputs.
TEST(MonitorDisplay, FieldTextsIndicatorsAndUnitLabels)
{
    char out[monitorTextSize];
    auto text = [&](auto format, auto value) { return format(value, out), std::string(out); };
    const struct { std::int32_t tenths; const char* text; } tenths[] = {
        {-5, "-0.5"}, {-123, "-12.3"}, {235, "23.5"}, {-10, "-1.0"}, {-2147483647 - 1, "-214748364.8"}};
    for (const auto& c : tenths)
        EXPECT_EQ(text(formatTenths, c.tenths), c.text);
    EXPECT_EQ(text(formatFirmware, std::uint16_t{0xF0AF}), "0.:?");  // top nibble not shown; 10 ':' and 15 '?'
    const struct { std::uint8_t mode; const char* k; const char* m; } modes[] = {
        {3, "F7", "F4"}, {4, "F5", "F5"}, {5, "F6", "F7"}, {6, "F7", "F?"}, {255, "F256", "F?"}};
    for (const auto& c : modes)
        EXPECT_EQ(text(formatFunctionModeK, c.mode) + text(formatFunctionModeM, c.mode), std::string(c.k) + c.m);

    Monitor k(Family::k);
    MonitorStatusK statusK{};
    statusK.inputs = 0x0C;  // low pressure switch and CAN bus
    statusK.errorWord = 0xFFEA;
    statusK.evaporatorF = 235;
    k.deliver(statusK);
    for (int id = 6; id < 24; ++id)
        EXPECT_EQ(k.marked(id), id == 8 || id == 9 || id == 19 || id == 21 || id == 23) << id;
    EXPECT_EQ(k.field(17), "FFEA");
    EXPECT_EQ(k.model.view.unitLabel[1], std::string("\xB0" "C"));
    // Again in °F: marks untouched, fields rewritten (a field may hold what
    // the user typed).
    clearViewChanges(k.model.view);
    statusK.flags = 1;
    k.deliver(statusK);
    EXPECT_TRUE(!k.model.view.controls[8].changed && k.model.view.controls[17].changed);
    EXPECT_EQ(k.field(11), "23.5");
    EXPECT_EQ(k.model.view.unitLabel[1], std::string("\xB0" "F"));

    Monitor m(Family::m);
    std::uint8_t shortAnswer[36] = {1, 2};
    EXPECT_FALSE(handleAnswer(m.model, m.app, shortAnswer, 36) || handleAnswer(m.model, m.app, nullptr, 61));
    EXPECT_EQ(m.model.progressCounter, 0);
    MonitorStatusM statusM{};
    statusM.outputs = 0xFFFFE0DEu;
    statusM.inputs = 0x5Eu | (1u << 12) | (1u << 17);  // bits 1-4, low pressure of compressor 1, high of 1 and 6
    statusM.errorBits = 0x80030001u;
    statusM.roomF = -1;
    statusM.flags = 1;
    EXPECT_TRUE(m.deliver(statusM));
    for (int id = 19; id < 64; ++id)  // 36-46 are no indicators
        EXPECT_EQ(m.marked(id), id <= 21 || id == 24 || id == 30 || id == 35 || id == 47 || id == 63) << id;
    EXPECT_EQ(m.field(46) + " " + m.field(37), "80030001 -0.1");
    EXPECT_EQ(m.model.payload[0] * 256 + m.model.payload[1], 0x0102);  // the lead bytes stay
    EXPECT_EQ(m.sent(), 0xFFFFE0DEu);
    EXPECT_TRUE(m.marked(13) && !m.marked(0));
}

// The title names the firmware on every 33rd answer and the progress bar
// steps every 8th, both counted over the program's lifetime: neither a new
// Start nor a new window restarts them.
TEST(MonitorDisplay, TitleAndProgressCountOverTheProgramsLifetime)
{
    Monitor m(Family::k, "CUK1 Unit ");
    MonitorStatusK status{};
    status.firmware = 0x0123;
    const struct { int answers, progress; const char* shown; } marks[] = {
        {7, 0, "?.?"}, {1, 1, "?.?"}, {24, 4, "?.?"}, {1, 4, "1.23"}, {222, 31, "1.23"}, {1, 0, "1.23"},
        // Stopped and opened again after 256 answers, 25 since the last title.
        {-1, 0, "?.?"}, {7, 0, "?.?"}, {1, 1, "2.10"}};
    for (const auto& mark : marks) {
        if (mark.answers < 0) {
            stopMonitor(m.model);
            EXPECT_EQ(m.model.view.progress, 0);
            openMonitor(m.model, Family::k);
            startMonitor(m.model, m.app);
            monitorConnected(m.model, "CUK1 Unit ");
            monitorPolling(m.model);
            status.firmware = 0x0210;
        }
        for (int answer = 0; answer < mark.answers; ++answer)
            m.deliver(status);
        EXPECT_EQ(m.model.view.progress, mark.progress);
        EXPECT_EQ(m.model.view.title, std::string("Monitor: Connect to: CUK1 Unit Firmware ") + mark.shown);
    }
}

// Every id once, the outputs the model switches are indicators and the
// buttons it enables exist; all inside the family's main window (8 x 16
// cells) and no control covers another (group boxes frame others by design).
TEST(MonitorLayout, EachFamilyHasItsControlsOnceInsideTheWindowWithoutOverlap)
{
    using Kind = ControlKind;
    for (Family family : {Family::k, Family::m}) {
        ControlPlace places[monitorLayoutCapacity];
        const int count = buildMonitorLayout(family, places), outputs = monitorOutputCount(family);
        ASSERT_TRUE(count > 0 && count < monitorLayoutCapacity);
        const CellSize window = windowCells(family);
        struct { int left, top, right, bottom; bool frame; } box[monitorLayoutCapacity];
        int seen[monitorControlCount] = {};
        for (int i = 0; i < count; ++i) {
            const ControlPlace& c = places[i];
            const PixelRect p = pixelsOf(c.rect, 8, 16);
            const auto& a = box[i] = {p.x, p.y, p.x + p.width, p.y + p.height, c.kind == Kind::groupBox};
            EXPECT_TRUE(a.right <= window.columns * 8 && a.bottom <= window.rows * 16) << i;
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(!a.frame && !box[j].frame && box[j].left < a.right && a.left < box[j].right &&
                             box[j].top < a.bottom && a.top < box[j].bottom) << i << " and " << j;
            ASSERT_TRUE(c.id >= noControlId && c.id < monitorControlCount) << c.id;
            if (c.id != noControlId && ++seen[c.id] && (c.id >= idStart || c.id < outputs)) {
                EXPECT_EQ(c.kind, c.id < idStart ? Kind::indicator : Kind::defaultButton) << c.id;
            }
        }
        for (int id = 0; id < monitorControlCount; ++id)
            EXPECT_TRUE(seen[id] == 1 || (seen[id] == 0 && id >= outputs && id < idStart)) << id;
    }
}

// Start resets the sequence. A failed Start, Stop, Close and every link end
// leave manual control off and not switchable and the buttons set for what
// the user can do next; answers still queued after stopLink change nothing.
TEST(MonitorLifecycle, StartFailuresStopCloseAndLinkEnds)
{
    enum class Way { failedStart, stop, close, linkEnd };
    const struct {
        Family family;
        Way way;
        int code = 0;
        const char* message = "";
        bool startEnabled = true;
    } cases[] = {
        {.family = Family::k, .way = Way::failedStart, .code = int(StartFailure::noUnit),
         .message = "No Control Unit found [K-Series]"},
        {.family = Family::m, .way = Way::failedStart, .code = int(StartFailure::noProduct),
         .message = "No Control Unit Connected ! [M-Series]"},
        // After the automatic Start the user can only close the window.
        {.family = Family::m, .way = Way::failedStart, .code = int(StartFailure::engineThread),
         .message = "Can't start thread ! [M-Series]", .startEnabled = false},
        {.family = Family::m, .way = Way::stop},
        {.family = Family::m, .way = Way::close},
        {.family = Family::m, .way = Way::linkEnd, .code = 5},
        {.family = Family::m, .way = Way::linkEnd, .code = 0, .message = "Communication lost ! [M-Series]"},
        {.family = Family::m, .way = Way::linkEnd, .code = 4, .message = "USB-Error ! [Polarund K]"},
        {.family = Family::m, .way = Way::linkEnd, .code = 1,
         .message = "False ControlUnit (K-Series) connected ! [M-Series]"}};
    for (const auto& c : cases) {
        Monitor m(c.family);
        m.manual();
        m.click(2);
        if (c.way == Way::failedStart) {
            openMonitor(m.model, c.family);
            m.app.sequenceActive = m.app.stepTicks = m.model.sequencePhase = sequenceValveRestored;
            startMonitor(m.model, m.app);
            EXPECT_EQ(m.app.sequenceActive + m.app.stepTicks + m.model.sequencePhase, 0);
            EXPECT_EQ(m.model.payloadLength, c.family == Family::k ? 23 : 37);
            if (c.code == int(StartFailure::engineThread))
                monitorConnected(m.model, "CUQ1");
            monitorStartFailed(m.model, StartFailure(c.code));
            EXPECT_EQ(m.model.view.title, "Monitor");
        } else if (c.way == Way::linkEnd) {
            monitorLinkEnded(m.model, c.code, "False ControlUnit (K-Series) connected !");
        } else {
            c.way == Way::stop ? stopMonitor(m.model) : closeMonitor(m.model);
        }
        EXPECT_EQ(m.message(), c.message);
        EXPECT_FALSE(manualOn(m.model) || m.enabled(idManualToggle) || m.enabled(2)) << c.message;
        EXPECT_EQ(m.field(idManualToggle), "On");
        EXPECT_TRUE(m.enabled(idStart) == c.startEnabled && m.enabled(idStop) != c.startEnabled) << c.message;
        const std::uint8_t progress = m.model.progressCounter;
        EXPECT_FALSE(m.answer() || m.enabled(idManualToggle)) << c.message;
        EXPECT_EQ(m.model.progressCounter, progress);
    }
}
