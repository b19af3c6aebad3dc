#pragma once
#include "app/text_ids.h"
#include "protocol/protocol_entries.h"

// The columns of a protocol line, shared by the display and the files.
// K-Series: event counter, error code, error counter, on, cool and heat time,
// start counter (headers texts 102 to 108). M-Series, b = 0 to 17: event
// counter, error code, error counter, on, cool and heat time, start counters
// of compressors 1 to 6, run times of compressors 1 to 6 (texts 269 to 286).
inline constexpr int columnCountK = 7;
inline constexpr int columnCountM = 18;

// Writes column c of the entry (at most fieldTextMax bytes, no terminator)
// and returns the end; an unknown column writes nothing.
char* appendColumnK(char* out, const ProtocolEntryK& entry, int column);
char* appendColumnM(char* out, const ProtocolEntryM& entry, int column);
