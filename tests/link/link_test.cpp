#include <functional>
#include <thread>
#include <tuple>

#include "link/remote_wire.h"
#include "link_test_support.h"

namespace {

using DiscoveryTest = LinkFixture;

TEST_F(DiscoveryTest, TakesTheFirstUnitOfTheRightIdsAndCutsItsProductString)
{
    fake::install({.devices = {{"mouse", 0xC251, 0x1C02}, {"other-vendor", 0x1234, 0x1C01},
                               {"first-unit", 0xC251, 0x1C01}, {"second-unit", 0xC251, 0x1C01}}});
    EXPECT_TRUE(findDevice());
    EXPECT_EQ(devicePath, "first-unit");
    fake::install({.devices = {{"keyboard", 0x046D, 0xC31C}}});
    EXPECT_FALSE(findDevice());
    EXPECT_TRUE(devicePath.empty());

    // Windows-1252, cut at 64 with nothing written past the 65 bytes; the
    // unit is closed again.
    struct { char text[productStringChars + 1]; char after[16]; } product;
    std::memset(&product, 'x', sizeof product);
    // a-umlaut, euro sign, a character not in Windows-1252, then Qs
    fake::Script unit{.devices = {{"unit", 0xC251, 0x1C01}}, .product = {0x00E4, 0x20AC, 0x4E2D}};
    unit.product.resize(100, 'Q');
    fake::install(unit);
    ASSERT_TRUE(findDevice());
    ASSERT_TRUE(readProductString(product.text));
    EXPECT_EQ(std::string(product.text), "\xE4\x80?" + std::string(61, 'Q'));
    EXPECT_EQ(std::string(product.after, 16), std::string(16, 'x'));
    EXPECT_EQ(fake::openDevices(), 0);
}

TEST(RemoteWire, IdentityRecordBytesAndAProductLengthBeyondTheRecordIsRefused)
{
    std::uint8_t record[identityMaxSize + 2] = {};
    ASSERT_EQ(encodeIdentity(makeIdentity(0xC251, 0x1C01, "U\xE4"), record), 13u);
    EXPECT_EQ(0, std::memcmp(record, "KVX1\x51\xC2\x01\x1C\x04U\0\xE4\0", 13));

    NetSocket listener = netListen("127.0.0.1", 0);
    ASSERT_NE(listener, invalidSocket);
    NetSocket client = netConnect("127.0.0.1", netLocalPort(listener), 1000);
    NetSocket peer = netAccept(listener, 1000);
    ASSERT_NE(peer, invalidSocket);
    record[8] = 254;   // more than the 252 bytes a record holds
    ASSERT_TRUE(netSendAll(peer, record, sizeof record));
    UnitIdentity identity;
    EXPECT_FALSE(receiveIdentity(client, identity, 1000));
    for (NetSocket socket : {client, peer, listener})
        netClose(socket);
}

using EngineTest = LinkFixture;

// Writes that fail, never complete, or find the device gone: every engine
// gives up after twenty passes, or at once when the device is gone.
TEST_F(EngineTest, EveryEngineEndsOnFailingWritesAndAGoneDevice)
{
    const struct { fake::WriteMode mode; std::uintptr_t code; std::size_t writes; } cases[] = {
        {fake::WriteMode::fails, endCommunicationLost, 20},
        {fake::WriteMode::neverCompletes, endCommunicationLost, 0},
        {fake::WriteMode::gone, endDeviceGone, 0}};
    std::size_t ends = 0;
    for (EngineProcedure engine : {pollEngine, blockReadEngine, blockWriteEngine})
        for (const auto& c : cases) {
            stopLink();
            fake::install({.writeMode = c.mode});
            start(engine);
            expectEnd(++ends, c.code, false);
            EXPECT_EQ(fake::writes().size(), c.writes) << "case " << ends;
        }
}

using StopLinkTest = LinkFixture;

TEST_F(StopLinkTest, EndsBothThreadsClosesTheDeviceAndResetsTheEventsFromEveryState)
{
    // With no link open it leaves linkStop alone.
    setEvent(linkStop);
    stopLink();
    EXPECT_TRUE(isEventSet(linkStop));
    resetEvent(linkStop);

    const auto sleepMs = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    const std::function<void()> states[] = {
        [&] {   // reader pending, engine in a later await slice
            start(pollEngine);
            ASSERT_TRUE(fake::waitForWrites(1, waitMs));
            ASSERT_TRUE(fake::waitForPendingRead(waitMs));
            sleepMs(120);
        },
        [&] {   // reader handing over a report, engine idling
            start(pollEngine);
            answerCode(0, ansOk, {1, 1});
            ASSERT_TRUE(sink.waitFor(WM_LINK_DATA, 1));
            answerCode(0, ansOk, {1, 1});   // held by the reader
            sleepMs(150);
        },
        [&] {   // reader dead, engine finished: the device could not be opened
            fake::install({.openFails = true});
            start(pollEngine);
            // The reader aborts; the engine's writes fail for want of a device.
            EXPECT_EQ(sink.endCode(), endCommunicationLost);
            const Notification abort = sink.all()[0];
            EXPECT_EQ(std::tuple(abort.message, abort.wParam, abort.lParam), std::tuple(WM_LINK_ABORT, 0u, 0));
        },
        [&] {   // reader retrying failed reads, pausing between them; engine waiting for a pending write
            fake::install({.writeMode = fake::WriteMode::neverCompletes, .readsFail = true});
            const auto begin = Clock::now();
            start(pollEngine);
            ASSERT_TRUE(fake::waitForReadStarts(6, waitMs));
            EXPECT_GE(msSince(begin), 45);   // five pauses of 10 ms, not a spin
        },
        [&] {   // reader dead after an unplug, engine finished on a unit of kind 5
            start(pollEngine);
            answerCode(0, ansOk, {1, 5});
            ASSERT_EQ(sink.endCode(), endWrongUnit);
            ASSERT_TRUE(fake::waitForPendingRead(waitMs));
            fake::unplug();   // the reader ends its pending read
            ASSERT_EQ(sink.endCode(2), endDeviceGone);
        },
    };
    for (std::size_t i = 0; i < std::size(states) && !HasFailure(); ++i) {
        SCOPED_TRACE("state " + std::to_string(i));
        fake::install();
        sink.clear();
        states[i]();
        ASSERT_TRUE(linkIsOpen());
        stopLink();
        // Both threads have ended within the stop's wait, not been let go.
        // Threads, open flag, stop and ready events, devices open.
        EXPECT_EQ(std::tuple(linkThreadsEnded(), linkIsOpen(), isEventSet(linkStop), isEventSet(readerReady),
                             fake::openDevices()), std::tuple(true, false, false, false, 0));
        stopLink();   // a second stop changes nothing
        EXPECT_FALSE(isEventSet(linkStop));
    }
}

} // namespace
