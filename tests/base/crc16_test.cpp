#include "base/crc16.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Crc16, KnownValuesAndDataWithItsCrcChecksToZero)
{
    EXPECT_EQ(crc16("123456789", 9), 0x4B37);
    const std::vector<unsigned char> zeros(184, 0);
    EXPECT_EQ(crc16(zeros.data(), zeros.size()), 0xDD9A);
    EXPECT_EQ(crc16(nullptr, 0), 0xFFFF);

    // The CRC appended low byte first makes the whole check to zero; one
    // flipped bit does not.
    std::vector<unsigned char> image(300);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<unsigned char>(i * 37 + 11);
    const std::uint16_t crc = crc16(image.data(), image.size());
    image.insert(image.end(), {static_cast<unsigned char>(crc & 0xFF), static_cast<unsigned char>(crc >> 8)});
    EXPECT_EQ(crc16(image.data(), image.size()), 0);
    image[150] ^= 0x10;
    EXPECT_NE(crc16(image.data(), image.size()), 0);
}
