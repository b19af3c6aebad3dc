#pragma once
#include <cstdint>
#include <string>

// Outcome of a parameter check: the number of the first check that failed
// (0 = all valid) and, for the checks that carry them, the limits the value
// had to keep.
struct CheckResult {
    int failureNumber;
    bool hasLimits;
    std::int16_t lower;
    std::int16_t upper;
};

inline CheckResult checkPassed() { return {0, false, 0, 0}; }
inline CheckResult checkFailed(int number) { return {number, false, 0, 0}; }
inline CheckResult checkFailed(int number, int lower, int upper)
{
    return {number, true, static_cast<std::int16_t>(lower), static_cast<std::int16_t>(upper)};
}

// The message shown for a failure: text `textNumber` of the current language,
// followed by "  Limits: <lower> to <upper>" when the failure carries limits.
std::string checkFailureText(int textNumber, const CheckResult& result);
