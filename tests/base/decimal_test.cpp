#include "base/decimal.h"

#include <gtest/gtest.h>

TEST(ParseDecimal, SignsOtherCharactersAndWrapping)
{
    const struct { const char* text; std::int32_t value; } cases[] = {
        {"", 0}, {"-", 0}, {"007", 7}, {"+7", 7}, {"-12", -12}, {"-2147483648", INT32_MIN},
        // Read from the right: the first sign met ends the number.
        {"1-2", -2}, {"99+5", 5}, {"x-3", -3}, {"--4", -4},
        // Any other character gives 65535.
        {"12 ", 65535}, {" 12", 65535}, {"1.5", 65535}, {"\xE4", 65535},
        // Modulo 2^32, even where the leading digit's factor has wrapped.
        {"4294967295", -1}, {"4294967296", 0}, {"2147483648", INT32_MIN}, {"-4294967297", -1},
        {"10000000000", 1410065408}};
    for (const auto& c : cases)
        EXPECT_EQ(parseDecimal(c.text), c.value) << '"' << c.text << '"';
}
