#pragma once
#include <cstdint>

#include "app/app_state.h"
#include "app/control_table.h"
#include "app/family.h"

// Window geometry of the shell, in pixels computed from the layout unit
// (charWidth x lineHeight of the system fixed font). Integer arithmetic
// throughout, so every window lands on the same pixels on every machine.

struct CellSize {
    int columns;
    int rows;
};

// Outer size of the main window for a family: K 108 x 51, M 131 x 53 cells.
CellSize windowCells(Family family);

// Where the maker's logo sits in the main window and on the warning screen,
// for the logo drawn `width` x `height` pixels (248 x 79 at 96 dpi).
inline constexpr int logoWidth = 248;
inline constexpr int logoHeight = 79;
inline constexpr int pictogramWidth = 108;
inline constexpr int pictogramHeight = 98;
int logoX(int clientWidth, int width);
int logoY(int height);

// Controls of the selection window, in creation order. Their labels are the
// same in both languages.
inline constexpr int selectionControlCount = 7;
inline constexpr int selectionIdGerman = 0;
inline constexpr int selectionIdEnglish = 1;
inline constexpr int selectionIdK = 2;
inline constexpr int selectionIdM = 3;
inline constexpr int selectionIdOk = 4;

extern const ControlPlace selectionControls[selectionControlCount];

// Warning screen: the framed rectangle and the position of line i.
struct WarningFrame {
    int left;
    int top;
    int right;
    int bottom;
};
WarningFrame warningFrame(int charWidth, int lineHeight);
int warningPictogramX(int charWidth);
int warningPictogramY(int lineHeight);
int warningLineX(int charWidth);
int warningLineY(int index, int lineHeight, int textLineHeight);
