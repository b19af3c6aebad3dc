#pragma once
// Failure-protocol entries as the unit sends them and their column texts,
// shared by the display and file tests.
#include <cstdint>
#include <string>
#include <vector>

#include "app/family.h"

// Entries as the unit sends them (error code, error counter, then the
// four-byte fields) and their column texts, tab-separated, as both the
// display and the protocol files show them.
struct Sample {
    std::vector<std::uint32_t> fields;
    std::string columns;
};
inline const std::vector<Sample> samplesK = {
    {{0x0001, 3, 5400, 3599, 0, 42, 1}, "1\t_AAA\t3\t1,5 h\t0,9 h\t0,0 h\t42"},
    {{0x0003, 65535, 0xFFFFFFFF, 36000, 35999, 0xFFFFFFFF, 2}, "2\t0003\t65535\t1193046,4 h\t10,0 h\t9,9 h\t-1"},
    {{0x0020, 9, 5400, 3600, 0, 77, 123}, "123\t_Init\t9\t1,5 h\t1,0 h\t0,0 h\t77"}};
inline const std::vector<Sample> samplesM = {
    {{16, 7, 3600, 0, 360, 1, 2, 3, 4, 5, 6, 0, 359, 360, 3600, 5400, 0xFFFFFFFF, 100},
     "100\t_Init\t7\t1,0 h\t0,0 h\t0,1 h\t1\t2\t3\t4\t5\t6\t0,0 h\t0,0 h\t0,1 h\t1,0 h\t1,5 h\t1193046,4 h"},
    {{3, 1, 0, 0, 0, 10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 3600, 7200, 5},
     "5\t_A03\t1\t0,0 h\t0,0 h\t0,0 h\t10\t20\t30\t40\t50\t60\t0,0 h\t0,0 h\t0,0 h\t0,0 h\t1,0 h\t2,0 h"}};

inline const std::vector<Sample>& samples(Family family) { return family == Family::k ? samplesK : samplesM; }

// The samples as the unit sends them: two-byte error code and counter, then
// four-byte fields, little-endian.
inline std::vector<unsigned char> sampleBytes(Family family)
{
    std::vector<unsigned char> bytes;
    for (const Sample& sample : samples(family))
        for (std::size_t k = 0; k < sample.fields.size(); ++k)
            for (int b = 0; b < (k < 2 ? 2 : 4); ++b)
                bytes.push_back(static_cast<unsigned char>(sample.fields[k] >> (8 * b)));
    return bytes;
}
