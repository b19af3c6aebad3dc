#include <gtest/gtest.h>

#include <string>

#include "monitor_test_support.h"

namespace {

TEST(MonitorLifecycle, StartResetsTheSequenceAndFailuresSetTheButtons)
{
    Monitor m(Family::k);
    m.app.sequenceActive = 1;
    m.app.stepTicks = 40;
    m.model.sequencePhase = sequenceValveRestored;
    startMonitor(m.model, m.app);
    EXPECT_EQ(m.app.sequenceActive + m.app.stepTicks + m.model.sequencePhase, 0);
    EXPECT_EQ(m.model.payloadLength, 23);

    const struct { Family family; StartFailure failure; const char* message; bool startEnabled; } cases[] = {
        {Family::k, StartFailure::noUnit, "No Control Unit found [K-Series]", true},
        {Family::m, StartFailure::noProduct, "No Control Unit Connected ! [M-Series]", true},
        // After the automatic Start the user can only close the window.
        {Family::m, StartFailure::engineThread, "Can't start thread ! [M-Series]", false},
    };
    for (const auto& c : cases) {
        openMonitor(m.model, c.family);
        startMonitor(m.model, m.app);
        if (c.failure == StartFailure::engineThread)
            monitorConnected(m.model, "CUQ1");
        monitorStartFailed(m.model, c.failure);
        EXPECT_EQ(m.message(), c.message);
        EXPECT_EQ(m.model.view.title, "Monitor");
        EXPECT_EQ(m.enabled(idStart), c.startEnabled) << c.message;
        EXPECT_EQ(m.enabled(idStop), !c.startEnabled) << c.message;
        EXPECT_FALSE(m.answer()) << c.message;
    }
}

// Stop, Close and every link end leave manual control off and not
// switchable; answers still queued after stopLink change nothing.
TEST(MonitorLifecycle, StopCloseAndLinkEndsEndManualControl)
{
    const struct { int way; int endCode; const char* message; } cases[] = {
        {0, -1, ""}, {1, -1, ""}, {2, 0, "Communication lost ! [M-Series]"},
        {2, 1, "False ControlUnit (K-Series) connected ! [M-Series]"},
        {2, 4, "USB-Error ! [Polarund K]"}, {2, 5, ""}};
    for (const auto& c : cases) {
        Monitor m(Family::m);
        m.manual();
        m.click(2);
        if (c.way == 0)
            stopMonitor(m.model);
        else if (c.way == 1)
            closeMonitor(m.model);
        else
            monitorLinkEnded(m.model, c.endCode, "False ControlUnit (K-Series) connected !");
        EXPECT_EQ(m.message(), c.message);
        EXPECT_FALSE(manualOn(m.model) || m.enabled(idManualToggle) || m.enabled(2) || m.enabled(idStop));
        EXPECT_EQ(m.field(idManualToggle), "On");
        EXPECT_TRUE(m.enabled(idStart));
        const std::uint8_t progress = m.model.progressCounter;
        EXPECT_FALSE(m.answer());
        EXPECT_FALSE(m.enabled(idManualToggle));
        EXPECT_EQ(m.model.progressCounter, progress);
    }
}

TEST(MonitorLifecycle, ShortAnswerIsIgnored)
{
    Monitor m(Family::m);
    std::uint8_t bytes[37] = {1, 2};
    EXPECT_FALSE(handleAnswer(m.model, m.app, bytes, 36));
    EXPECT_FALSE(handleAnswer(m.model, m.app, nullptr, 61));
    EXPECT_EQ(m.model.progressCounter, 0);
    EXPECT_TRUE(handleAnswer(m.model, m.app, bytes, 37));
}

} // namespace
