#include <gtest/gtest.h>

#include <cstring>

#include "link/net_socket.h"
#include "link/remote_wire.h"
#include "sim_server.h"

namespace {

TEST(SimServer, SendsItsIdentityThenAnswersReportsOnEachConnection)
{
    SimUnit unit;
    SimOptions options = defaultSimOptions('K');
    options.product = "Unit \xE4\x80";   // Windows-1252: a-umlaut, euro sign
    initSimUnit(unit, options);
    SimServer* server = startSimServer(unit, "127.0.0.1", 0);
    ASSERT_NE(server, nullptr);
    const std::uint16_t port = simServerPort(server);
    ASSERT_NE(port, 0);

    for (int round = 0; round < 2; ++round) {
        NetSocket socket = netConnect("127.0.0.1", port, 1000);
        ASSERT_NE(socket, invalidSocket);
        UnitIdentity identity;
        ASSERT_TRUE(receiveIdentity(socket, identity, 1000));
        EXPECT_EQ(identity.vendorId, 0xC251);
        EXPECT_EQ(identity.productId, 0x1C01);
        ASSERT_EQ(identity.productUnits, 7);
        EXPECT_EQ(identity.product[5], 0x00E4);
        EXPECT_EQ(identity.product[6], 0x20AC);

        std::uint8_t request[65] = {0, 42, 0x3A, 0};
        ASSERT_TRUE(netSendAll(socket, request, sizeof request));
        std::uint8_t answer[65];
        ASSERT_TRUE(netReceiveAll(socket, answer, sizeof answer, 1000));
        EXPECT_EQ(answer[1], 42);
        EXPECT_EQ(answer[2], 0x50);
        netClose(socket);
    }
    EXPECT_EQ(simServerConnections(server), 2u);
    stopSimServer(server);
}

TEST(SimServer, IdentityRecordRoundTripsAndBadRecordsAreRefused)
{
    UnitIdentity identity = makeIdentity(0xC251, 0x1C01, std::string(200, 'z').c_str());
    std::uint8_t record[identityMaxSize];
    const std::size_t length = encodeIdentity(identity, record);
    EXPECT_EQ(length, identityMaxSize);   // cut to 126 characters
    EXPECT_EQ(std::memcmp(record, "KVX1", 4), 0);
    EXPECT_EQ(record[4], 0x51);
    EXPECT_EQ(record[5], 0xC2);
    EXPECT_EQ(record[8], 252);

    // A peer sending an odd product length is not a unit.
    NetSocket listener = netListen("127.0.0.1", 0);
    ASSERT_NE(listener, invalidSocket);
    NetSocket client = netConnect("127.0.0.1", netLocalPort(listener), 1000);
    NetSocket peer = netAccept(listener, 1000);
    ASSERT_NE(peer, invalidSocket);
    record[8] = 5;
    ASSERT_TRUE(netSendAll(peer, record, identityHeaderSize + 5));
    UnitIdentity received;
    EXPECT_FALSE(receiveIdentity(client, received, 500));
    netClose(client);
    netClose(peer);
    netClose(listener);
}

} // namespace
