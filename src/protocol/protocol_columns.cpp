#include "protocol/protocol_columns.h"

#include "protocol/field_format.h"

// Counters are shown with "%d", so a 32-bit counter reads as signed.
char* appendColumnK(char* out, const ProtocolEntryK& entry, int column)
{
    switch (column) {
    case 0: return appendDecimal(out, static_cast<std::int32_t>(entry.eventCounter));
    case 1: return appendErrorNameK(out, entry.errorCode);
    case 2: return appendUnsigned(out, entry.errorCounter);
    case 3: return appendProtocolHours(out, entry.onTime);
    case 4: return appendProtocolHours(out, entry.coolTime);
    case 5: return appendProtocolHours(out, entry.heatTime);
    case 6: return appendDecimal(out, static_cast<std::int32_t>(entry.startCounter));
    default: return out;
    }
}

char* appendColumnM(char* out, const ProtocolEntryM& entry, int column)
{
    switch (column) {
    case 0: return appendDecimal(out, static_cast<std::int32_t>(entry.eventCounter));
    case 1: return appendErrorNameM(out, entry.errorCode);
    case 2: return appendUnsigned(out, entry.errorCounter);
    case 3: return appendProtocolHours(out, entry.onTime);
    case 4: return appendProtocolHours(out, entry.coolTime);
    case 5: return appendProtocolHours(out, entry.heatTime);
    default:
        if (column >= 6 && column < 12)
            return appendDecimal(out, static_cast<std::int32_t>(entry.startCounters[column - 6]));
        if (column >= 12 && column < 18)
            return appendProtocolHours(out, entry.runTimes[column - 12]);
        return out;
    }
}
