#include "app/layout.h"

CellSize windowCells(Family family)
{
    return family == Family::m ? CellSize{131, 53} : CellSize{108, 51};
}

int logoX(int clientWidth, int width) { return clientWidth - (5 * width) / 4; }
int logoY(int height) { return height / 2; }

const ControlPlace selectionControls[selectionControlCount] = {
    {ControlKind::groupBox, noControlId, -1, nullptr, {cells(1), cells(1, 2), cells(18), cells(6)}},
    {ControlKind::choice, selectionIdGerman, -1, "Deutsch", {cells(5, 2), cells(2), cells(14), cells(6, 4)}},
    {ControlKind::choice, selectionIdEnglish, -1, "English", {cells(5, 2), cells(4), cells(14), cells(6, 4)}},
    {ControlKind::groupBox, noControlId, -1, nullptr, {cells(21), cells(1, 2), cells(18), cells(6)}},
    {ControlKind::choice, selectionIdK, -1, "K-Series", {cells(45, 2), cells(2), cells(14), cells(6, 4)}},
    {ControlKind::choice, selectionIdM, -1, "M-Series", {cells(45, 2), cells(4), cells(14), cells(6, 4)}},
    {ControlKind::defaultButton, selectionIdOk, -1, "OK", {cells(5, 2), cells(10), cells(14), cells(7, 4)}},
};

WarningFrame warningFrame(int cw, int lh) { return {20 * cw, 15 * lh, 105 * cw, 40 * lh}; }
int warningPictogramX(int cw) { return 3 * cw; }
int warningPictogramY(int lh) { return 15 * lh; }
int warningLineX(int cw) { return 21 * cw; }
int warningLineY(int index, int lh, int textLineHeight) { return 16 * lh + index * textLineHeight; }
