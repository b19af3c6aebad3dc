#pragma once
// Control ids of the configuration windows, shared by both families so that
// the window code and its tests name the same controls.

// The six buttons, top to bottom.
inline constexpr int configButtonRead = 11;
inline constexpr int configButtonLoadFile = 12;
inline constexpr int configButtonSaveFile = 13;
inline constexpr int configButtonDefaults = 14;
inline constexpr int configButtonProgram = 15;
inline constexpr int configButtonClose = 16;
inline constexpr int configButtonCount = 6;

// The "Default Settings" legend and the group boxes (box i has id + i).
inline constexpr int configLegendId = 900;
inline constexpr int configGroupBoxId = 950;

// The controls of a form row: its label, its value (list or number box), the
// arrows attached to the box, the unit text and the defaults column text.
// Unscoped: a part is an offset in the row's block of control ids.
enum RowPart : int { partLabel, partValue, partArrows, partUnit, partDefault, rowPartCount };

inline constexpr int firstRowControlId = 1000;

inline int rowControlId(int row, RowPart part) { return firstRowControlId + 8 * row + part; }

// For an id from rowControlId: the row, or -1 for any other control.
inline int rowOfControl(int id)
{
    if (id < firstRowControlId || (id - firstRowControlId) % 8 >= rowPartCount)
        return -1;
    return (id - firstRowControlId) / 8;
}

inline RowPart partOfControl(int id) { return static_cast<RowPart>((id - firstRowControlId) % 8); }
