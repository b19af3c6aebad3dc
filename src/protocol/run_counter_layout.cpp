#include "protocol/run_counter_layout.h"

#include "protocol/protocol_entries.h"

namespace {

const char* const hourMark = "h";

// Positions are kept in half cells, widths in cells and heights in quarter
// lines.
struct Builder {
    ControlPlace* out;
    int count;

    void add(ControlKind kind, int id, int text, const char* literal, int x2, int y2, int width, int height4)
    {
        out[count++] = {kind, id, text, literal, {cells(x2, 2), cells(y2, 2), cells(width), cells(height4, 4)}};
    }
    void group(int text, int x2, int y2, int width, int height4)
    {
        add(ControlKind::groupBox, noControlId, text, nullptr, x2, y2, width, height4);
    }
    void label(int text, int x, int y2, int width)
    {
        add(ControlKind::centredText, noControlId, text, nullptr, 2 * x, y2, width, 6);
    }
    void field(int id, int x, int y2, int width)
    {
        add(ControlKind::numberField, id, -1, nullptr, 2 * x, y2, width, 6);
    }
    void hour(int x, int y2)
    {
        add(ControlKind::centredText, noControlId, -1, hourMark, 2 * x, y2, 2, 6);
    }
    void button(int id, int text, int x2, int y)
    {
        add(ControlKind::defaultButton, id, text, nullptr, x2, 2 * y, 21, 7);
    }
};

// Row r of a column that starts two lines down, in half lines.
int row(int r) { return 4 + 4 * r; }

void controlsK(Builder& b)
{
    b.group(85, 1, 1, 52, 56);
    for (int i = 0; i < 6; ++i) {
        b.label(131 + i, 1, row(i), 31);
        b.field(5 + i, 33, row(i), 9);
    }
    b.group(153, 1, 30, 52, 16);
    b.label(233, 1, 33, 31);
    b.field(11, 33, 33, 9);
    b.group(59, 107, 1, 52, 56);
    for (int j = 0; j < 4; ++j) {
        b.label(86 + j, 54, row(j), 31);
        b.field(j, 86, row(j), 9);
    }
    for (int j = 0; j < 3; ++j)
        b.hour(96, row(j));
    b.button(counterReadIdK, 91, 164, 16);
    b.button(counterCloseIdK, 92, 164, 19);
}

void controlsM(Builder& b)
{
    b.group(85, 1, 1, 52, 146);
    for (int k = 0; k < 17; ++k) {
        b.label(234 + k, 1, row(k), 34);
        b.field(32 + k, 36, row(k), 9);
    }
    b.group(59, 107, 1, 52, 32);
    for (int j = 0; j < 3; ++j) {
        b.label(86 + j, 54, row(j), 31);
        b.field(j, 86, row(j), 10);
        b.hour(97, row(j));
    }
    b.group(203, 107, 21, 52, 106);
    // Start counters of compressors 1-6, then their runtimes (with "h").
    for (int j = 0; j < 12; ++j) {
        b.label(204 + j, 54, 24 + 4 * j, 31);
        b.field(8 + j, 86, 24 + 4 * j, 10);
    }
    for (int j = 6; j < 12; ++j)
        b.hour(97, 24 + 4 * j);
    b.button(counterReadIdM, 91, 213, 32);
    b.button(counterCloseIdM, 92, 213, 35);
}

} // namespace

bool isHourMark(const ControlPlace& place) { return place.literal == hourMark; }

int runCounterControls(Family family, ControlPlace* out)
{
    Builder b{out, 0};
    if (family == Family::m)
        controlsM(b);
    else
        controlsK(b);
    return b.count;
}
