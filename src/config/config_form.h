#pragma once
// A configuration window as data: the family's working block and the state
// of every control. The window procedure stays thin:
// - creation: create(), build each row's controls from rowInfo() (list items
//   via listItemText; "Blower power at" from blowerEntryCount/Name of
//   formView().typeShown), then mirror;
// - mirror (after every call below): each row's value, range, enabled state,
//   unit text and default text onto its controls, with formView().filling set
//   while doing so; a number's value goes into its box as text, which the
//   arrows start from on the next click (it may lie outside their range);
// - an arrow click or list choice: store the new position or index in the
//   row's value; for "Temperature unit", "Blower Type" and "Blower power at"
//   call the matching ...Changed function and mirror;
// - Save to File / Save Changes: gatherAll(), then checkFailure(), shown when
//   it is not empty; Load Defaults: loadDefaults(); a completed read or a
//   loaded file: takeBlock().
//
// The rules every form follows live here, once; what differs between the
// families (their own rows and block) lives in KSeriesConfigForm and
// MSeriesConfigForm, behind the hooks at the end.
#include <cstddef>
#include <string>
#include <vector>

#include "app/family.h"
#include "config/form_row.h"

class ConfigForm {
public:
    virtual ~ConfigForm() = default;
    // The form points into its own block, so a copy would edit the original's.
    ConfigForm(const ConfigForm&) = delete;
    ConfigForm& operator=(const ConfigForm&) = delete;

    Family family() const { return formFamily; }
    int rowCount() const { return static_cast<int>(row.size()); }
    const RowInfo& rowInfo(int r) const { return rowInfos[r]; }
    FormRow* rows() { return row.data(); }
    const FormRow* rows() const { return row.data(); }
    FormView& formView() { return view; }
    const FormView& formView() const { return view; }
    // The working block as the unit and the files hold it.
    const unsigned char* blockBytes() const { return workingBlock; }
    std::size_t blockSize() const { return blockLength; }

    // Creation state: arrows at their °C defaults, lists on their first item
    // ("Operating mode" on "F3"), the default record as working block, °C and
    // group 0 shown, the defaults column written.
    void create();

    // Selection changes; the row already holds the new selection.
    // "Temperature unit" now shows a unit other than the one the rows were
    // filled in: both copies are derived from the rows, the other one shown.
    void unitChanged();
    // "Blower Type": the edited levels are kept, the new type's first group shown.
    void blowerTypeChanged();
    // "Blower power at": the edited levels of the old group are kept, the
    // chosen one shown. Ignored while the rows are being filled.
    void powerAtChanged();

    // "Load Defaults".
    void loadDefaults();
    // A completed read or a loaded file (blockSize() bytes) becomes the
    // working block.
    void takeBlock(const unsigned char* bytes);

    // Rows to block, as Save to File and Save Changes do before the check:
    // temperatures in the unit shown, levels into the group shown, and every
    // other row. A list that shows nothing keeps the stored value.
    virtual void gatherAll() = 0;
    // The check's message for the working block; empty when it passes.
    virtual std::string checkFailure() const = 0;

protected:
    // block and defaults: the family's working block (a member of the
    // derived form) and its default record, blockSize bytes each.
    ConfigForm(Family family, const RowInfo* info, int rowCount, unsigned char* block, const unsigned char* defaults,
               std::size_t blockSize);

    // Every row in its creation state.
    virtual void createRows() = 0;
    // Block to rows, showing "Blower power at" entry `entry` of the block's
    // blower type, or its first one when the type has no such entry.
    virtual void fillRows(int entry) = 0;
    // The defaults column, from the default record in the unit and group shown.
    virtual void showDefaults() = 0;

    std::vector<FormRow> row;
    FormView view{};

private:
    // Every row filled from the working block, then the defaults column.
    void show(int entry);

    const Family formFamily;
    const RowInfo* const rowInfos;
    unsigned char* const workingBlock;
    const unsigned char* const defaultBlock;
    const std::size_t blockLength;
};
