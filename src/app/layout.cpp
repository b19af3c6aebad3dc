#include "app/layout.h"

CellSize windowCells(Family family)
{
    return family == Family::m ? CellSize{131, 53} : CellSize{108, 51};
}

int logoX(int clientWidth, int width) { return clientWidth - (5 * width) / 4; }
int logoY(int height) { return height / 2; }

void selectionControls(int cw, int lh, SelectionControl out[selectionControlCount])
{
    using K = SelectionControlKind;
    const SelectionControl controls[selectionControlCount] = {
        {-1, nullptr, K::GroupBox, {cw, lh / 2, 18 * cw, 6 * lh}},
        {selectionIdGerman, "Deutsch", K::Radio, {5 * cw / 2, 2 * lh, 14 * cw, 6 * lh / 4}},
        {selectionIdEnglish, "English", K::Radio, {5 * cw / 2, 4 * lh, 14 * cw, 6 * lh / 4}},
        {-1, nullptr, K::GroupBox, {21 * cw, lh / 2, 18 * cw, 6 * lh}},
        {selectionIdK, "K-Series", K::Radio, {45 * cw / 2, 2 * lh, 14 * cw, 6 * lh / 4}},
        {selectionIdM, "M-Series", K::Radio, {45 * cw / 2, 4 * lh, 14 * cw, 6 * lh / 4}},
        {selectionIdOk, "OK", K::DefaultButton, {5 * cw / 2, 10 * lh, 14 * cw, 7 * lh / 4}},
    };
    for (int i = 0; i < selectionControlCount; ++i)
        out[i] = controls[i];
}

WarningFrame warningFrame(int cw, int lh) { return {20 * cw, 15 * lh, 105 * cw, 40 * lh}; }
int warningPictogramX(int cw) { return 3 * cw; }
int warningPictogramY(int lh) { return 15 * lh; }
int warningLineX(int cw) { return 21 * cw; }
int warningLineY(int index, int lh, int textLineHeight) { return 16 * lh + index * textLineHeight; }
