#include "app/crc16.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Crc16, KnownValues)
{
    EXPECT_EQ(crc16("123456789", 9), 0x4B37);
    const std::vector<unsigned char> zeros(184, 0);
    EXPECT_EQ(crc16(zeros.data(), zeros.size()), 0xDD9A);
    EXPECT_EQ(crc16(nullptr, 0), 0xFFFF);
    const unsigned char one = 0x01;
    EXPECT_EQ(crc16(&one, 1), 0x807E);
}

TEST(Crc16, DataFollowedByItsCrcLowByteFirstChecksToZero)
{
    std::vector<unsigned char> data;
    for (int i = 0; i < 300; ++i)
        data.push_back(static_cast<unsigned char>(i * 37 + 11));
    for (std::size_t length : {1u, 2u, 62u, 74u, 184u, 300u}) {
        std::vector<unsigned char> image(data.begin(), data.begin() + static_cast<long>(length));
        const std::uint16_t crc = crc16(image.data(), image.size());
        image.push_back(static_cast<unsigned char>(crc & 0xFF));
        image.push_back(static_cast<unsigned char>(crc >> 8));
        EXPECT_EQ(crc16(image.data(), image.size()), 0) << "length " << length;
        image[length / 2] ^= 0x10;
        EXPECT_NE(crc16(image.data(), image.size()), 0) << "length " << length;
    }
}
