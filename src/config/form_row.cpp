#include "config/form_row.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/texts.h"

const char* listItemText(const RowInfo& info, int index)
{
    if (index < 0 || index >= info.itemCount)
        return "";
    return info.items ? info.items[index] : text(info.itemText + index);
}

void setArrows(FormRow& row, Range range, int value)
{
    row.min = range.min;
    row.max = range.max;
    row.value = std::clamp(value, row.min, row.max);
}

void setArrowRange(FormRow& row, Range range)
{
    row.min = range.min;
    row.max = range.max;
}

void writeNumber(FormRow& row, int value) { row.value = value; }

void selectItem(FormRow& row, int index, int itemCount)
{
    row.value = (index >= 0 && index < itemCount) ? index : noSelection;
}

void setDefaultText(FormRow& row, const char* text)
{
    std::snprintf(row.defaultText, sizeof row.defaultText, "%s", text);
}

void setDefaultNumber(FormRow& row, int value)
{
    std::snprintf(row.defaultText, sizeof row.defaultText, "%d", value);
}

namespace {

struct BlowerEntry {
    const char* name;
    int group;
};

const BlowerEntry acEntries[] = {{"AC 50Hz", 0}, {"AC 60Hz", 1}};
const BlowerEntry ecmEntries[] = {{"ECM", 2}};
const BlowerEntry silencerEntries[] = {{"Silencer", 3}};

const BlowerEntry* entriesOf(int type, int& count)
{
    switch (type) {
    case blowerTypeAc: count = 2; return acEntries;
    case blowerTypeEcm: count = 1; return ecmEntries;
    case blowerTypeSilencer: count = 1; return silencerEntries;
    default: count = 0; return nullptr;
    }
}

} // namespace

int blowerEntryCount(int type)
{
    int count;
    entriesOf(type, count);
    return count;
}

const char* blowerEntryName(int type, int entry)
{
    int count;
    const BlowerEntry* entries = entriesOf(type, count);
    return (entry >= 0 && entry < count) ? entries[entry].name : "";
}

int blowerEntryGroup(int type, int entry)
{
    int count;
    const BlowerEntry* entries = entriesOf(type, count);
    return (entry >= 0 && entry < count) ? entries[entry].group : -1;
}

int blowerGroupEntry(int type, int group)
{
    int count;
    const BlowerEntry* entries = entriesOf(type, count);
    for (int i = 0; i < count; ++i)
        if (entries[i].group == group)
            return i;
    return -1;
}
