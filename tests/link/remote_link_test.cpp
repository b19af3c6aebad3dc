#include <cstdlib>
#include <string>
#include <thread>

#include "app/texts.h"
#include "link/device_discovery.h"
#include "link/remote_unit.h"
#include "link/unit_messages.h"
#include "link_test_support.h"
#include "sim_server.h"

namespace {

void setUnitVariable(const char* value)
{
#ifdef _WIN32
    _putenv_s("KAVIX_UNIT", value);
#else
    if (*value)
        setenv("KAVIX_UNIT", value, 1);
    else
        unsetenv("KAVIX_UNIT");
#endif
}

// The whole link against the simulator over loopback TCP.
class RemoteLinkTest : public LinkFixture {
protected:
    SimUnit unit;
    SimServer* server = nullptr;

    void SetUp() override
    {
        LinkFixture::SetUp();
        setDeviceBackend(&remoteUnitBackend);
    }

    void TearDown() override
    {
        LinkFixture::TearDown();
        stopSimServer(server);
        setRemoteUnitEndpoint("");
        setDeviceBackend(nullptr);
    }

    void serve(const SimOptions& options)
    {
        initSimUnit(unit, options);
        server = startSimServer(unit, "127.0.0.1", 0);
        ASSERT_NE(server, nullptr);
        setRemoteUnitEndpoint(("127.0.0.1:" + std::to_string(simServerPort(server))).c_str());
    }

    // Discovery, product string and both threads, as a feature window does.
    void openPoll()
    {
        ASSERT_TRUE(findDevice());
        char product[65];
        ASSERT_TRUE(readProductString(product));
        startPoll();
    }

    // Each answer is processed at once, like a quick monitor.
    void answerPromptly()
    {
        sink.onPost = [](const Notification& n) {
            if (n.message == WM_LINK_DATA)
                setEvent(answerProcessed);
        };
    }

    std::uint32_t requestsSeen()
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        return unit.requestsSeen;
    }
};

TEST_F(RemoteLinkTest, FindsTheUnitAndReadsItsProductString)
{
    SimOptions options = defaultSimOptions('K');
    options.product = std::string(80, 'Q');
    serve(options);
    ASSERT_TRUE(findDevice());
    char product[65];
    ASSERT_TRUE(readProductString(product));
    EXPECT_EQ(std::string(product), std::string(64, 'Q'));
    EXPECT_EQ(simServerConnections(server), 2u);   // each operation connects on its own
}

TEST_F(RemoteLinkTest, KavixUnitVariableSelectsTheRemoteUnit)
{
    serve(defaultSimOptions('M'));
    const std::string endpoint = "127.0.0.1:" + std::to_string(simServerPort(server));
    setRemoteUnitEndpoint("");
    setUnitVariable(endpoint.c_str());
    selectDeviceBackend(nullptr);
    EXPECT_STREQ(deviceBackend().name, "remote");
    EXPECT_TRUE(findDevice());
    EXPECT_EQ(devicePath, endpoint);

    setUnitVariable("");
    selectDeviceBackend(nullptr);   // no platform backend natively: no unit
    EXPECT_STREQ(deviceBackend().name, "none");
    EXPECT_FALSE(findDevice());
}

TEST_F(RemoteLinkTest, DiscoveryAppliesTheVendorAndProductFilter)
{
    SimOptions options = defaultSimOptions('K');
    options.productId = 0x1C02;
    serve(options);
    EXPECT_FALSE(findDevice());
    stopSimServer(server);
    server = nullptr;
    // Nobody listening: no unit, and quickly.
    auto start = Clock::now();
    EXPECT_FALSE(findDevice());
    EXPECT_LT(msSince(start), 1500);
}

TEST_F(RemoteLinkTest, PollsTheLiveStatusAndAcceptsLateAnswersAsForeign)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.duplicateEvery = 1;   // a late copy of the previous answer before each answer
    serve(options);
    answerPromptly();
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 20, 5000));
    stopLink();
    auto all = sink.all();
    const Notification& data = all.back();
    EXPECT_EQ(data.answer[0], 1);                     // answer type
    EXPECT_EQ(data.answer[1], 1);                     // kind
    EXPECT_EQ(readLe16(data.answer + 2), 0x0123);     // firmware 1.23
    EXPECT_NE(readLe16(data.answer + 19) & 0x8000, 0);// switched on
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
    // No resends: one request per answer (plus possibly one in flight).
    EXPECT_LE(requestsSeen(), sink.count(WM_LINK_DATA) + 1);
}

TEST_F(RemoteLinkTest, UnexpectedCodesAreResentAndAnswersStillFlow)
{
    SimOptions options = defaultSimOptions('M');
    options.faults.wrongCodeEvery = 2;
    serve(options);
    linkRequest.blockSize = 37;
    linkRequest.expectedUnitKind = 2;
    answerPromptly();
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 10, 5000));
    stopLink();
    EXPECT_GE(requestsSeen(), 2 * sink.count(WM_LINK_DATA) - 1);
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
}

TEST_F(RemoteLinkTest, AnswerCodeF0IsAccepted)
{
    SimOptions options = defaultSimOptions('K');
    options.pollAnswerCode = ansStatus;
    serve(options);
    openPoll();
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 3000));
}

TEST_F(RemoteLinkTest, WrongAnswerTypeOrUnitKindEndWithTheUnitsKindAndFirmware)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.mismatchType = true;
    serve(options);
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    EXPECT_EQ(sink.all().back().wParam, endWrongUnit);
    EXPECT_EQ(sink.all().back().answer[0], 2);
    stopLink();
    stopSimServer(server);

    // An M-Series unit at a K-Series monitor.
    serve(defaultSimOptions('M'));
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 2, 3000));
    char message[128];
    wrongUnitMessage(message, sizeof message, unitK, sink.all().back().answer, englishTexts);
    EXPECT_STREQ(message, "False ControlUnit (M-Series) connected !");
}

TEST_F(RemoteLinkTest, UnpluggingTheUnitEndsWithCode4)
{
    serve(defaultSimOptions('K'));
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 3000));
    dropSimConnections(server);
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    for (const Notification& n : sink.all()) {
        if (n.message == WM_LINK_END) {
            EXPECT_EQ(n.wParam, endDeviceGone);
        }
    }
}

TEST_F(RemoteLinkTest, AUnitThatDisconnectsAfterThreeRequestsEndsWithCode4)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.disconnectAfter = 3;
    serve(options);
    answerPromptly();
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_END, 1, 3000));
    // The reader's end code and the engine's third data notice race each
    // other, as two posted messages do; both arrive.
    EXPECT_TRUE(sink.waitFor(WM_LINK_DATA, 3, 1000));
    EXPECT_EQ(sink.count(WM_LINK_DATA), 3u);
    bool deviceGone = false;
    for (const Notification& n : sink.all())
        deviceGone = deviceGone || (n.message == WM_LINK_END && n.wParam == endDeviceGone);
    EXPECT_TRUE(deviceGone);
}

TEST_F(RemoteLinkTest, ASilentUnitLeavesTheEngineWaitingUntilStopped)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.silent = true;
    options.faults.silentAfter = 1;
    serve(options);
    answerPromptly();
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 3000));
    EXPECT_FALSE(sink.waitFor(WM_LINK_DATA, 2, 400));
    EXPECT_EQ(sink.count(WM_LINK_END), 0u);
    auto start = Clock::now();
    stopLink();
    EXPECT_LT(msSince(start), 100);
}

TEST_F(RemoteLinkTest, TheUnitAppliesTheManualCommandOnlyWhileSwitchedOff)
{
    SimOptions options = defaultSimOptions('K');
    options.switchedOn = false;
    serve(options);
    linkRequest.payload[4] = 0x0A;    // sea water pump... compressor bits
    linkRequest.payload[6] = 40;      // blower power
    linkRequest.payload[22] = 0x01;   // manual control on
    for (int i : {0, 1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})
        linkRequest.payload[i] = 0;
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1, 3000));
    Notification data = sink.all().back();
    EXPECT_EQ(data.answer[4], 0x0A);
    EXPECT_EQ(data.answer[6], 40);
    EXPECT_EQ(readLe16(data.answer + 19) & 0x8000, 0);
    stopLink();
    stopSimServer(server);

    serve(defaultSimOptions('K'));   // switched on: its own control runs
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 2, 3000));
    data = sink.all().back();
    EXPECT_NE(data.answer[4], 0x0A);
    EXPECT_NE(readLe16(data.answer + 19) & 0x8000, 0);
}

TEST_F(RemoteLinkTest, DelayedAnswersStretchThePollCycle)
{
    SimOptions options = defaultSimOptions('K');
    options.faults.delayMs = 60;
    serve(options);
    answerPromptly();
    openPoll();
    ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 4, 3000));
    auto all = sink.all();
    auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(all[3].at - all[1].at).count();
    EXPECT_GE(gap, 115);
}

TEST_F(RemoteLinkTest, TheUnitAcceptsOneLinkAfterAnother)
{
    serve(defaultSimOptions('K'));
    for (std::size_t round = 1; round <= 3; ++round) {
        openPoll();
        ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, round, 3000));
        stopLink();
    }
    EXPECT_EQ(simServerConnections(server), 9u);
}

} // namespace
