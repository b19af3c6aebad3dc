#pragma once
#include <cstdint>

// Number and name formats shared by the counters, the protocol display and
// the protocol files. Each function writes its text at out (no terminator)
// and returns the end of what it wrote; fieldTextMax bytes always suffice.
inline constexpr int fieldTextMax = 16;

// "%d": the value as a signed 32-bit number.
char* appendDecimal(char* out, std::int32_t value);
// "%d" of an unsigned value that fits (16-bit counters).
char* appendUnsigned(char* out, std::uint32_t value);

// Hours with one truncated decimal: seconds / 3600, then the tenth
// (seconds / 360) mod 10. The counters show "%d.%d", the protocol "%d,%d h".
char* appendTenthHours(char* out, std::uint32_t seconds);
char* appendProtocolHours(char* out, std::uint32_t seconds);

// Error-code names. K-Series codes are single bits ("_AAA" ... "_TA11"); any
// other value is four upper-case hex digits. M-Series codes are numbers:
// "_AAA", "_A01" to "_A15", "_Init", and "???" above 16.
char* appendErrorNameK(char* out, std::uint16_t code);
char* appendErrorNameM(char* out, std::uint16_t code);

// Copies a zero-terminated text and returns the end.
char* appendText(char* out, const char* text);
