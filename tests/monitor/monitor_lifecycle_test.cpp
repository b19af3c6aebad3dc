#include <gtest/gtest.h>

#include <string>

#include "monitor_test_support.h"

namespace {

TEST(MonitorOpen, FreshWindowWaitsForItsAutomaticStart)
{
    selectLanguageTexts(1);
    for (int family : {familyK, familyM}) {
        MonitorModel model;
        openMonitor(model, family);
        const int outputs = family == familyK ? 4 : 14;
        EXPECT_EQ(monitorOutputCount(family), outputs);
        for (int i = 0; i < outputs; ++i)
            EXPECT_FALSE(enabled(model, i)) << i;
        EXPECT_TRUE(enabled(model, outputs));  // first control after the outputs
        EXPECT_FALSE(enabled(model, idStart));
        EXPECT_TRUE(enabled(model, idStop));
        EXPECT_FALSE(enabled(model, idManualToggle));
        EXPECT_STREQ(fieldText(model, idManualToggle), "On");
        EXPECT_EQ(model.view.title, "Monitor");
        EXPECT_TRUE(model.view.titleChanged);
        EXPECT_TRUE(model.view.controls[idManualToggle].changed);
        EXPECT_FALSE(manualOn(model));
        EXPECT_EQ(monitorPayloadLength(family), family == familyK ? 23 : 37);
        EXPECT_EQ(model.payloadLength, monitorPayloadLength(family));
    }
    EXPECT_EQ(monitorUnitKind(familyK), 1);
    EXPECT_EQ(monitorUnitKind(familyM), 2);
    EXPECT_STREQ(monitorCommonControlsCaption(familyK), "Polarund K Configuration");
    EXPECT_STREQ(monitorCommonControlsCaption(familyM), "CUQ1 Configuration");
}

TEST(MonitorStart, ResetsTheSequenceAndSendsTheCommandRecord)
{
    AppState app = freshAppState();
    MonitorModel model;
    openMonitor(model, familyK);
    app.sequenceActive = 1;
    app.stepTicks = 40;
    model.sequencePhase = sequenceValveRestored;
    startMonitor(model, app);
    EXPECT_EQ(app.sequenceActive, 0);
    EXPECT_EQ(app.stepTicks, 0);
    EXPECT_EQ(model.sequencePhase, sequenceIdle);
    EXPECT_EQ(model.payloadLength, 23);
    monitorConnected(model, "Polarund K");
    EXPECT_EQ(model.view.title, "Monitor: Connect to: Polarund KFirmware ?.?");
    monitorPolling(model);
    EXPECT_FALSE(enabled(model, idStart));
    EXPECT_TRUE(enabled(model, idStop));
    EXPECT_TRUE(deliver(model, app, statusK()));
}

TEST(MonitorStart, FailuresShowTheirMessageAndSetTheButtons)
{
    AppState app = freshAppState();
    MonitorModel model;

    openMonitor(model, familyK);
    startMonitor(model, app);
    monitorStartFailed(model, StartFailure::noUnit);
    EXPECT_EQ(model.view.message, "No Control Unit found");
    EXPECT_STREQ(model.view.caption, "K-Series");
    EXPECT_EQ(model.view.title, "Monitor");
    EXPECT_TRUE(enabled(model, idStart));
    EXPECT_FALSE(enabled(model, idStop));

    openMonitor(model, familyM);
    startMonitor(model, app);
    monitorStartFailed(model, StartFailure::noProduct);
    EXPECT_EQ(model.view.message, "No Control Unit Connected !");
    EXPECT_STREQ(model.view.caption, "M-Series");
    EXPECT_TRUE(enabled(model, idStart));
    EXPECT_FALSE(enabled(model, idStop));

    // A thread failure leaves the buttons as the automatic Start found them.
    openMonitor(model, familyM);
    startMonitor(model, app);
    monitorConnected(model, "CUQ1");
    monitorStartFailed(model, StartFailure::engineThread);
    EXPECT_EQ(model.view.message, "Can't start thread !");
    EXPECT_EQ(model.view.title, "Monitor");
    EXPECT_FALSE(enabled(model, idStart));
    EXPECT_TRUE(enabled(model, idStop));
    EXPECT_FALSE(deliver(model, app, statusM()));
}

// Stop and every link end leave manual control off and not switchable.
TEST(MonitorStop, StopAndLinkEndEndManualControl)
{
    enum Way { stop, close, linkEnd };
    struct Case { int endCode; Way way; const char* message; const char* caption; };
    const Case cases[] = {
        {-1, stop, nullptr, nullptr},
        {-1, close, nullptr, nullptr},
        {0, linkEnd, "Communication lost !", "M-Series"},
        {1, linkEnd, "False ControlUnit (K-Series) connected !", "M-Series"},
        {4, linkEnd, "USB-Error !", "Polarund K"},
        {5, linkEnd, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        AppState app = freshAppState();
        MonitorModel model;
        openAndPoll(model, app, familyM);
        ASSERT_TRUE(deliver(model, app, statusM()));
        toggleManual(model, app);
        clickOutput(model, app, 2);
        ASSERT_TRUE(manualOn(model));
        clearViewChanges(model.view);

        if (c.way == stop)
            stopMonitor(model);
        else if (c.way == close)
            closeMonitor(model);
        else
            monitorLinkEnded(model, c.endCode, "False ControlUnit (K-Series) connected !");
        EXPECT_FALSE(manualOn(model)) << c.endCode;
        EXPECT_FALSE(enabled(model, idManualToggle)) << c.endCode;
        EXPECT_STREQ(fieldText(model, idManualToggle), "On");
        EXPECT_FALSE(enabled(model, 2)) << c.endCode;
        EXPECT_TRUE(enabled(model, idStart));
        EXPECT_FALSE(enabled(model, idStop));
        EXPECT_EQ(model.view.messagePending, c.message != nullptr) << c.endCode;
        std::string message;
        const char* caption = nullptr;
        EXPECT_EQ(takeMessage(model.view, message, caption), c.message != nullptr);
        if (c.message) {
            EXPECT_EQ(message, c.message);
            EXPECT_STREQ(caption, c.caption);
        }
        EXPECT_FALSE(model.view.messagePending);
        // An answer left in the queue after stopLink changes nothing and
        // releases nothing.
        const std::uint8_t progress = model.progressCounter;
        EXPECT_FALSE(deliver(model, app, statusM()));
        EXPECT_FALSE(enabled(model, idManualToggle));
        EXPECT_EQ(model.progressCounter, progress);
        toggleManual(model, app);
        EXPECT_FALSE(manualOn(model));
    }
}

TEST(MonitorAnswer, ShortAnswerIsIgnored)
{
    AppState app = freshAppState();
    MonitorModel model;
    openAndPoll(model, app, familyM);
    std::uint8_t bytes[37] = {1, 2};
    EXPECT_FALSE(handleAnswer(model, app, bytes, 36));
    EXPECT_FALSE(handleAnswer(model, app, nullptr, 61));
    EXPECT_EQ(model.progressCounter, 0);
    EXPECT_TRUE(handleAnswer(model, app, bytes, 37));
}

} // namespace
