// Proves that the fuzz build stops at undefined behaviour: an input whose
// first four bytes hold a positive int overflows it. scripts/fuzz runs this
// on such an input and requires it to fail.
#include <climits>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    int value;
    std::memcpy(&value, data, sizeof value);
    volatile int sum = value;
    if (value > 0)
        sum = value + INT_MAX;
    return sum == 0 ? 0 : 0;
}
