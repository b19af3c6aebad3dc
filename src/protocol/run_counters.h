#pragma once
#include <cstddef>
#include <cstdint>

// Running counters as the unit sends them at the start of the data buffer.
// Times are seconds.
#pragma pack(push, 1)
struct RunCountersK {
    std::uint32_t onTime;            // field 0
    std::uint32_t coolTime;          // field 1
    std::uint32_t heatTime;          // field 2
    std::int32_t startCounter;       // field 3
    std::uint16_t errorCounters[7];  // fields 5 to 11: AAA, A01, A02, A09, A10, Init, TA11
    std::uint8_t unused[28];
};

struct RunCountersM {
    std::uint32_t onTime;            // field 0
    std::uint32_t coolTime;          // field 1
    std::uint32_t heatTime;          // field 2
    std::int32_t startCounters[6];   // fields 8 to 13
    std::uint32_t runTimes[6];       // fields 14 to 19
    std::uint16_t errorCounters[17]; // fields 32 to 48
    std::uint8_t unused[40];
};
#pragma pack(pop)

static_assert(sizeof(RunCountersK) == 58);
static_assert(offsetof(RunCountersK, coolTime) == 4);
static_assert(offsetof(RunCountersK, heatTime) == 8);
static_assert(offsetof(RunCountersK, startCounter) == 12);
static_assert(offsetof(RunCountersK, errorCounters) == 16);
static_assert(offsetof(RunCountersK, unused) == 30);

static_assert(sizeof(RunCountersM) == 134);
static_assert(offsetof(RunCountersM, coolTime) == 4);
static_assert(offsetof(RunCountersM, heatTime) == 8);
static_assert(offsetof(RunCountersM, startCounters) == 12);
static_assert(offsetof(RunCountersM, runTimes) == 36);
static_assert(offsetof(RunCountersM, errorCounters) == 60);
static_assert(offsetof(RunCountersM, unused) == 94);

inline constexpr int counterFieldCountK = 11;
inline constexpr int counterFieldCountM = 32;

// One value field of a counters window: its control id and its text.
struct CounterField {
    int id;
    char text[16];
};

// Decodes the record from the first 58 / 134 bytes of data (little-endian).
// False (record untouched) when fewer bytes are given.
bool loadRunCountersK(const unsigned char* data, std::size_t size, RunCountersK& record);
bool loadRunCountersM(const unsigned char* data, std::size_t size, RunCountersM& record);

// The window's copy and whether its values are shown: "?" in every field
// until a read completes, and again after any read that fails.
struct RunCounterViewK {
    RunCountersK record;
    bool shown;
};
struct RunCounterViewM {
    RunCountersM record;
    bool shown;
};

// A new window: zeroed record, nothing shown.
void resetRunCounterView(RunCounterViewK& view);
void resetRunCounterView(RunCounterViewM& view);

// The end of a read (the link's end code). End code 5 copies the record from
// data and shows it; any other end code hides the values and keeps the record
// of the last completed read. Returns whether the values are shown now.
inline constexpr int counterReadComplete = 5;
bool runCounterReadEnded(RunCounterViewK& view, int endCode, const unsigned char* data,
                         std::size_t size);
bool runCounterReadEnded(RunCounterViewM& view, int endCode, const unsigned char* data,
                         std::size_t size);

// The texts of every value field, in id order: times "%d.%d" (truncated
// tenths of hours), start counters signed "%d", error counters "%d" of the
// unsigned 16-bit value; "?" everywhere while nothing is shown.
void runCounterFields(const RunCounterViewK& view, CounterField out[counterFieldCountK]);
void runCounterFields(const RunCounterViewM& view, CounterField out[counterFieldCountM]);
