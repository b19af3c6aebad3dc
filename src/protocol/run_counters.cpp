#include "protocol/run_counters.h"

#include <cstring>

#include "protocol/field_format.h"
#include "base/le_bytes.h"

bool loadRunCountersK(const unsigned char* data, std::size_t size, RunCountersK& record)
{
    if (!data || size < sizeof(RunCountersK))
        return false;
    record.onTime = readLe32(data);
    record.coolTime = readLe32(data + 4);
    record.heatTime = readLe32(data + 8);
    record.startCounter = readLe32Signed(data + 12);
    for (int k = 0; k < 7; ++k)
        record.errorCounters[k] = readLe16(data + 16 + 2 * k);
    std::memcpy(record.unused, data + 30, sizeof record.unused);
    return true;
}

bool loadRunCountersM(const unsigned char* data, std::size_t size, RunCountersM& record)
{
    if (!data || size < sizeof(RunCountersM))
        return false;
    record.onTime = readLe32(data);
    record.coolTime = readLe32(data + 4);
    record.heatTime = readLe32(data + 8);
    for (int c = 0; c < 6; ++c) {
        record.startCounters[c] = readLe32Signed(data + 12 + 4 * c);
        record.runTimes[c] = readLe32(data + 36 + 4 * c);
    }
    for (int k = 0; k < 17; ++k)
        record.errorCounters[k] = readLe16(data + 60 + 2 * k);
    std::memcpy(record.unused, data + 94, sizeof record.unused);
    return true;
}

void resetRunCounterView(RunCounterViewK& view)
{
    std::memset(&view.record, 0, sizeof view.record);
    view.shown = false;
}

void resetRunCounterView(RunCounterViewM& view)
{
    std::memset(&view.record, 0, sizeof view.record);
    view.shown = false;
}

bool runCounterReadEnded(RunCounterViewK& view, int endCode, const unsigned char* data,
                         std::size_t size)
{
    view.shown = endCode == counterReadComplete && loadRunCountersK(data, size, view.record);
    return view.shown;
}

bool runCounterReadEnded(RunCounterViewM& view, int endCode, const unsigned char* data,
                         std::size_t size)
{
    view.shown = endCode == counterReadComplete && loadRunCountersM(data, size, view.record);
    return view.shown;
}

namespace {

enum class Kind { time, start, error };

void setField(CounterField& field, int id, bool shown, Kind kind, std::uint32_t value)
{
    field.id = id;
    char* end = field.text;
    if (!shown)
        *end++ = '?';
    else if (kind == Kind::time)
        end = appendTenthHours(end, value);
    else if (kind == Kind::start)
        end = appendDecimal(end, static_cast<std::int32_t>(value));
    else
        end = appendUnsigned(end, value);
    *end = '\0';
}

} // namespace

void runCounterFields(const RunCounterViewK& view, CounterField out[counterFieldCountK])
{
    const RunCountersK& r = view.record;
    setField(out[0], 0, view.shown, Kind::time, r.onTime);
    setField(out[1], 1, view.shown, Kind::time, r.coolTime);
    setField(out[2], 2, view.shown, Kind::time, r.heatTime);
    setField(out[3], 3, view.shown, Kind::start, static_cast<std::uint32_t>(r.startCounter));
    for (int k = 0; k < 7; ++k)
        setField(out[4 + k], 5 + k, view.shown, Kind::error, r.errorCounters[k]);
}

void runCounterFields(const RunCounterViewM& view, CounterField out[counterFieldCountM])
{
    const RunCountersM& r = view.record;
    setField(out[0], 0, view.shown, Kind::time, r.onTime);
    setField(out[1], 1, view.shown, Kind::time, r.coolTime);
    setField(out[2], 2, view.shown, Kind::time, r.heatTime);
    for (int c = 0; c < 6; ++c) {
        setField(out[3 + c], 8 + c, view.shown, Kind::start,
                 static_cast<std::uint32_t>(r.startCounters[c]));
        setField(out[9 + c], 14 + c, view.shown, Kind::time, r.runTimes[c]);
    }
    for (int k = 0; k < 17; ++k)
        setField(out[15 + k], 32 + k, view.shown, Kind::error, r.errorCounters[k]);
}
