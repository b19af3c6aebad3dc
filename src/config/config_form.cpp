#include "config/config_form.h"

#include <cstring>

ConfigForm::ConfigForm(Family family, const RowInfo* info, int rowCount, unsigned char* block,
                       const unsigned char* defaults, std::size_t blockSize)
    : row(static_cast<std::size_t>(rowCount)), formFamily(family), rowInfos(info), workingBlock(block),
      defaultBlock(defaults), blockLength(blockSize)
{
}

void ConfigForm::create()
{
    view = FormView{0, 0, 0, false};
    createRows();
    std::memcpy(workingBlock, defaultBlock, blockLength);
    showDefaults();
}

// Each change first gathers every row with the view it was filled for, so
// no edit is lost, then fills the rows again from the block.

void ConfigForm::unitChanged()
{
    const int chosen = row[rowTemperatureUnit].value;
    if (chosen == noSelection || chosen == view.unitShown)
        return;
    // Gathering stores the temperatures shown in their own unit's copy,
    // derives the other copy and sets the chosen unit's flag, which the
    // fill then shows.
    const int powerAt = row[rowBlowerPowerAt].value;
    gatherAll();
    show(powerAt);
}

void ConfigForm::blowerTypeChanged()
{
    gatherAll();
    show(0);
}

void ConfigForm::powerAtChanged()
{
    if (view.filling)
        return;
    const int chosen = row[rowBlowerPowerAt].value;
    const int group = blowerEntryGroup(view.typeShown, chosen);
    if (group < 0 || group == view.groupShown)
        return;
    gatherAll();   // the levels still go into the group they were shown for
    show(chosen);
}

void ConfigForm::loadDefaults() { takeBlock(defaultBlock); }

void ConfigForm::takeBlock(const unsigned char* bytes)
{
    std::memmove(workingBlock, bytes, blockLength);   // bytes may be the working block itself
    show(0);
}

void ConfigForm::show(int entry)
{
    view.filling = true;
    fillRows(entry);
    view.filling = false;
    showDefaults();
}
