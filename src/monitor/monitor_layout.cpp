#include "monitor/monitor_layout.h"

#include "app/text_ids.h"
#include "monitor/monitor_model.h"

namespace {

using Kind = ControlKind;

// Heights shared by both windows.
constexpr CellFraction markHeight = {6, 4};    // indicators and value fields
constexpr CellFraction labelHeight = {9, 6};   // static texts
constexpr CellFraction buttonHeight = {7, 4};
constexpr CellFraction barHeight = {3, 2};     // scroll bars

const char* const degreesCelsius = "\xB0" "C";

struct LayoutWriter {
    ControlPlace* out;
    int count = 0;

    void add(Kind kind, int id, int textIndex, const char* literal, CellFraction x, CellFraction y,
             CellFraction width, CellFraction height)
    {
        if (count < monitorLayoutCapacity)
            out[count++] = {kind, id, textIndex, literal, {x, y, width, height}};
    }
    void text(Kind kind, int textIndex, CellFraction x, CellFraction y, CellFraction width,
              CellFraction height)
    {
        add(kind, noControlId, textIndex, nullptr, x, y, width, height);
    }
    void literal(Kind kind, const char* literalText, CellFraction x, CellFraction y, CellFraction width,
                 CellFraction height)
    {
        add(kind, noControlId, -1, literalText, x, y, width, height);
    }
    void control(Kind kind, int id, int textIndex, CellFraction x, CellFraction y, CellFraction width,
                 CellFraction height)
    {
        add(kind, id, textIndex, nullptr, x, y, width, height);
    }
};

// The three push buttons Start, Stop, Close, three lines apart.
void addPushButtons(LayoutWriter& w, CellFraction x, int firstY2)
{
    for (int i = 0; i < 3; ++i)
        w.control(Kind::defaultButton, idStart + i, 138 + i, x, cells(firstY2 + 6 * i, 2), cells(21),
                  buttonHeight);
}

void buildK(LayoutWriter& w)
{
    w.text(Kind::groupBox, textOutputs, cells(107, 2), cells(1, 2), cells(52), cells(13));
    for (int i = 0; i < 4; ++i)
        w.control(Kind::indicator, i, 117 + i, cells(54), cells(2 + 2 * i), cells(i == 0 ? 14 : 31),
                  markHeight);
    w.control(Kind::scrollBar, 4, -1, cells(71), cells(2), cells(25), barHeight);
    w.control(Kind::digitField, 5, -1, cells(97), cells(2), cells(4), markHeight);
    w.literal(Kind::centredText, "%", cells(102), cells(2), cells(2), labelHeight);
    w.text(Kind::centredText, textManualControl, cells(54), cells(11), cells(31), labelHeight);
    w.control(Kind::defaultButton, idManualToggle, 17, cells(86), cells(11), cells(14), buttonHeight);
    w.text(Kind::groupBox, textInputs, cells(107, 2), cells(14), cells(52), cells(10));
    for (int i = 0; i < 3; ++i)
        w.control(Kind::indicator, 7 + i, 122 + i, cells(54), cells(31 + 4 * i, 2), cells(31), markHeight);

    w.text(Kind::groupBox, textTemperaturesVoltage, cells(1, 2), cells(1, 2), cells(52), cells(13));
    static const char* const units[3] = {degreesCelsius, degreesCelsius, "V"};
    for (int i = 0; i < 3; ++i)
        w.text(Kind::leftText, textFirstTemperatureK + i, cells(1), cells(2 + 2 * i), cells(31), labelHeight);
    for (int i = 0; i < 3; ++i)
        w.control(Kind::digitField, 11 + i, -1, cells(33), cells(2 + 2 * i), cells(6), markHeight);
    for (int i = 0; i < 3; ++i)
        w.literal(Kind::unitText, units[i], cells(40), cells(2 + 2 * i), cells(2), labelHeight);
    w.text(Kind::groupBox, textSystemStatus, cells(1, 2), cells(14), cells(52), cells(20));
    w.text(Kind::centredText, textSystemError, cells(1), cells(31, 2), cells(31), labelHeight);
    w.control(Kind::digitField, 17, -1, cells(33), cells(31, 2), cells(8), markHeight);
    w.text(Kind::centredText, textErrorCode, cells(1), cells(35, 2), cells(31), labelHeight);
    for (int i = 0; i < 6; ++i)
        w.control(Kind::indicator, 18 + i, 131 + i, cells(1), cells(39 + 4 * i, 2), cells(31), markHeight);
    w.text(Kind::centredText, textFunctionMode, cells(1), cells(63, 2), cells(31), labelHeight);
    w.control(Kind::textField, 24, -1, cells(33), cells(63, 2), cells(8), markHeight);

    addPushButtons(w, cells(82), 49);
    w.literal(Kind::smoothProgressBar, nullptr, cells(1, 2), cells(35), cells(52), cells(5, 4));
    w.text(Kind::leftText, textManualControlNote, cells(62), cells(49, 2), cells(16), cells(8));
}

void buildM(LayoutWriter& w)
{
    w.text(Kind::groupBox, textTemperaturesVoltage, cells(1, 2), cells(1, 2), cells(52), cells(19, 2));
    static const char* const units[4] = {degreesCelsius, degreesCelsius, "V", "Hz"};
    for (int i = 0; i < 4; ++i)
        w.text(Kind::leftText, textFirstTemperatureM + i, cells(1), cells(2 + 2 * i), cells(31), labelHeight);
    for (int i = 0; i < 4; ++i)
        w.control(Kind::digitField, 36 + i, -1, cells(33), cells(2 + 2 * i), cells(6), markHeight);
    for (int i = 0; i < 4; ++i)
        w.literal(Kind::unitText, units[i], cells(40), cells(2 + 2 * i), cells(2), labelHeight);

    w.text(Kind::groupBox, textSystemStatus, cells(1, 2), cells(21, 2), cells(52), cells(69, 2));
    w.text(Kind::centredText, textSystemError, cells(1), cells(12), cells(31), labelHeight);
    w.control(Kind::digitField, 46, -1, cells(33), cells(12), cells(12), markHeight);
    w.text(Kind::centredText, textErrorCode, cells(1), cells(14), cells(50), labelHeight);
    for (int i = 0; i < 10; ++i)
        w.control(Kind::indicator, 47 + i, 251 + i, cells(1), cells(16 + 2 * i), cells(24), markHeight);
    for (int i = 0; i < 7; ++i)
        w.control(Kind::indicator, 57 + i, 261 + i, cells(27), cells(16 + 2 * i), cells(24), markHeight);
    w.text(Kind::centredText, textFunctionMode, cells(1), cells(36), cells(31), labelHeight);
    w.control(Kind::digitField, 64, -1, cells(33), cells(36), cells(4), markHeight);

    w.text(Kind::groupBox, textOutputs, cells(107, 2), cells(1, 2), cells(52), cells(39, 2));
    for (int i = 0; i < 8; ++i)
        w.control(Kind::indicator, i, 220 + i, cells(54), cells(2 + 2 * i), cells(i < 2 ? 14 : 26), markHeight);
    for (int i = 0; i < 6; ++i)
        w.control(Kind::indicator, 8 + i, 178 + i, cells(81), cells(6 + 2 * i), cells(23), markHeight);
    for (int k = 0; k < 2; ++k)
        w.control(Kind::scrollBar, 14 + k, -1, cells(71), cells(2 + 2 * k), cells(25), barHeight);
    for (int k = 0; k < 2; ++k)
        w.control(Kind::digitField, 16 + k, -1, cells(97), cells(2 + 2 * k), cells(4), markHeight);
    for (int k = 0; k < 2; ++k)
        w.literal(Kind::centredText, "%", cells(102), cells(2 + 2 * k), cells(2), labelHeight);
    w.text(Kind::centredText, textManualControl, cells(54), cells(18), cells(26), labelHeight);
    w.control(Kind::defaultButton, idManualToggle, 17, cells(86), cells(18), cells(14), buttonHeight);

    w.text(Kind::groupBox, textInputs, cells(107, 2), cells(41, 2), cells(52), cells(49, 2));
    static const int boardTexts[4] = {228, 230, 231, 232};
    for (int i = 0; i < 4; ++i)
        w.control(Kind::indicator, 19 + i, boardTexts[i], cells(54), cells(22 + 2 * i), cells(31), markHeight);
    w.text(Kind::groupBox, textLowPressureSwitch, cells(109, 2), cells(61, 2), cells(23), cells(27, 2));
    for (int i = 0; i < 6; ++i)
        w.control(Kind::indicator, 24 + i, 178 + i, cells(55), cells(32 + 2 * i), cells(20), markHeight);
    w.text(Kind::groupBox, textHighPressureSwitch, cells(157, 2), cells(61, 2), cells(23), cells(27, 2));
    for (int i = 0; i < 6; ++i)
        w.control(Kind::indicator, 30 + i, 178 + i, cells(79), cells(32 + 2 * i), cells(20), markHeight);

    addPushButtons(w, cells(213, 2), 74);
    w.literal(Kind::smoothProgressBar, nullptr, cells(1, 2), cells(46), cells(52), cells(5, 4));
    w.text(Kind::leftText, textManualControlNote, cells(217, 2), cells(1), cells(16), cells(8));
}

} // namespace

int buildMonitorLayout(Family family, ControlPlace* out)
{
    LayoutWriter writer{out};
    if (family == Family::m)
        buildM(writer);
    else
        buildK(writer);
    return writer.count;
}
