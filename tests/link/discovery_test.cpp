#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fake_device.h"
#include "link/device_discovery.h"

namespace {

TEST(Discovery, TakesTheFirstUnitReadsItsProductStringAndForgetsItWhenNoneIsLeft)
{
    fake::install({.devices = {{"mouse", 0xC251, 0x1C02},
                               {"other-vendor", 0x1234, 0x1C01},
                               {"first-unit", 0xC251, 0x1C01},
                               {"second-unit", 0xC251, 0x1C01}}});
    EXPECT_TRUE(findDevice());
    EXPECT_EQ(devicePath, "first-unit");

    fake::install({.devices = {{"keyboard", 0x046D, 0xC31C}}});
    EXPECT_FALSE(findDevice());
    EXPECT_TRUE(devicePath.empty());
    char product[65] = "untouched";
    EXPECT_FALSE(readProductString(product));
    EXPECT_STREQ(product, "untouched");

    // The product string: Windows-1252, cut at 64; the unit is closed again.
    fake::Script unit{.devices = {{"unit", 0xC251, 0x1C01}}, .product = std::vector<std::uint16_t>(100, 'Q')};
    unit.product[0] = 0x00E4;   // a-umlaut
    unit.product[1] = 0x20AC;   // euro sign
    unit.product[2] = 0x4E2D;   // not in Windows-1252
    fake::install(unit);
    ASSERT_TRUE(findDevice());
    std::memset(product, 'x', sizeof product);
    ASSERT_TRUE(readProductString(product));
    EXPECT_EQ(std::string(product), "\xE4\x80?" + std::string(61, 'Q'));
    EXPECT_EQ(fake::openDevices(), 0);

    fake::install({.product = {'P', 'o', 'l', 'a', 'r', 'u', 'n', 'd'}});
    ASSERT_TRUE(readProductString(product));
    EXPECT_STREQ(product, "Polarund");

    // Gone between search and product string: not connected, but the path
    // stays for the next attempt.
    fake::install({.openFails = true});
    EXPECT_FALSE(readProductString(product));
    EXPECT_EQ(devicePath, "unit");
    setDeviceBackend(nullptr);
}

} // namespace
