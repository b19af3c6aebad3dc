#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_device.h"
#include "link/device_discovery.h"

namespace {

class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override { fake::install(); }
    void TearDown() override { fake::uninstall(); }
};

TEST_F(DiscoveryTest, TakesTheFirstDeviceWithBothIdsAndOnlyThat)
{
    fake::setDevices({
        {"mouse", 0xC251, 0x1C02},
        {"other-vendor", 0x1234, 0x1C01},
        {"first-unit", 0xC251, 0x1C01},
        {"second-unit", 0xC251, 0x1C01},
    });
    EXPECT_TRUE(findDevice());
    EXPECT_EQ(devicePath, "first-unit");
}

TEST_F(DiscoveryTest, NoUnitClearsThePathOfTheLastSearch)
{
    devicePath = "earlier-unit";
    fake::setDevices({{"keyboard", 0x046D, 0xC31C}});
    EXPECT_FALSE(findDevice());
    EXPECT_TRUE(devicePath.empty());
    char product[65] = "untouched";
    EXPECT_FALSE(readProductString(product));
    EXPECT_STREQ(product, "untouched");
}

TEST_F(DiscoveryTest, ProductStringIsCutAt64AndEndsAtItsOwnEnd)
{
    fake::setDevices({{"unit", 0xC251, 0x1C01}});
    ASSERT_TRUE(findDevice());

    std::vector<std::uint16_t> longName;
    for (int i = 0; i < 100; ++i)
        longName.push_back(static_cast<std::uint16_t>('A' + i % 26));
    fake::setProductUnits(longName);
    char product[65];
    std::memset(product, 'x', sizeof product);
    ASSERT_TRUE(readProductString(product));
    EXPECT_EQ(std::strlen(product), 64u);
    EXPECT_EQ(std::string(product, 3), "ABC");

    fake::setProductUnits({'P', 'o', 'l', 'a', 'r', 'u', 'n', 'd'});
    ASSERT_TRUE(readProductString(product));
    EXPECT_STREQ(product, "Polarund");
    EXPECT_EQ(fake::opens(), fake::closes());
}

TEST_F(DiscoveryTest, ProductStringBecomesWindows1252)
{
    fake::setDevices({{"unit", 0xC251, 0x1C01}});
    ASSERT_TRUE(findDevice());
    fake::setProductUnits({'K', 0x00E4, 0x20AC, 0x4E2D, 0x00DF});
    char product[65];
    ASSERT_TRUE(readProductString(product));
    EXPECT_STREQ(product, "K\xE4\x80?\xDF");
}

TEST_F(DiscoveryTest, AUnitGoneBetweenSearchAndProductStringIsNotConnected)
{
    fake::setDevices({{"unit", 0xC251, 0x1C01}});
    ASSERT_TRUE(findDevice());
    fake::setOpenFails(true);
    char product[65] = "";
    EXPECT_FALSE(readProductString(product));
    EXPECT_EQ(devicePath, "unit");   // kept for the next attempt
}

} // namespace
