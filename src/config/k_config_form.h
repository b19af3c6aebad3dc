#pragma once
#include "config/config_form.h"
#include "config/form_row.h"
#include "config/k_parameter_check.h"
#include "config/k_parameters.h"

// The K-Series configuration window as data: its working block and the
// state of every control. The window procedure stays thin:
// - creation: kFormCreate, build each row's controls from kRowInfo (list
//   items via listItemText; "Blower power at" from blowerEntryCount/Name of
//   view.typeShown), then mirror;
// - mirror (after every call below): each row's value, range, enabled state,
//   unit text and default text onto its controls, with view.filling set
//   while doing so; a number's value goes into its box as text, which the
//   arrows start from on the next click (it may lie outside their range);
// - an arrow click or list choice: store the new position or index in the
//   row's value; for "Temperature unit", "Blower Type" and "Blower power at"
//   call the matching ...Changed function and mirror;
// - Save to File / Save Changes: kFormGatherAll, checkKParameters, and on a
//   failure show kCheckFailureText; Load Defaults: kFormLoadDefaults; a
//   completed read or a loaded file: kFormTakeBlock.

enum KRow : int {
    kRowCoolOffMin = commonRowCount,   // the five switching temperatures, in block order
    kRowCoolOff,
    kRowCoolOn,
    kRowHeatOff,
    kRowHeatOn,
    kRowHysteresis,
    kRowTimeBelowOff,
    kRowCount
};

struct KFormTraits;
using KConfigForm = FamilyConfigForm<KFormTraits>;

const RowInfo& kRowInfo(int row);

// Creation state: arrows at their °C defaults, lists on their first item
// ("Operating mode" on "F3"), the default record as working block, °C and
// group 0 shown, the defaults column written.
void kFormCreate(KConfigForm& form);

// Block to rows. p is 0, or the "Blower power at" list index + 1 to show.
void kFormFill(KConfigForm& form, int p);

// Rows to block.
void kFormGatherGeneral(KConfigForm& form);
void kFormGatherLevels(KConfigForm& form, int group);
void kFormGatherTemperatures(KConfigForm& form, int fahrenheit);
// As "Save to File" and "Save Changes" do before the check: temperatures in
// the unit shown, levels into the group shown, then general.
void kFormGatherAll(KConfigForm& form);

void kFormRefreshDefaults(KConfigForm& form);

// Selection changes; the row already holds the new selection.
void kFormUnitChanged(KConfigForm& form);
void kFormBlowerTypeChanged(KConfigForm& form);
void kFormPowerAtChanged(KConfigForm& form);

// "Load Defaults".
void kFormLoadDefaults(KConfigForm& form);
// A completed read or a loaded file becomes the working block.
void kFormTakeBlock(KConfigForm& form, const KParameterBlock& block);

struct KFormTraits {
    using Block = KParameterBlock;
    static constexpr Family family = Family::k;
    static constexpr int rowCount = kRowCount;
    static constexpr auto rowInfo = kRowInfo;
    static constexpr auto create = kFormCreate;
    static constexpr auto unitChanged = kFormUnitChanged;
    static constexpr auto blowerTypeChanged = kFormBlowerTypeChanged;
    static constexpr auto powerAtChanged = kFormPowerAtChanged;
    static constexpr auto loadDefaults = kFormLoadDefaults;
    static constexpr auto takeBlock = kFormTakeBlock;
    static constexpr auto gatherAll = kFormGatherAll;
    static constexpr auto check = checkKParameters;
    static constexpr auto failureText = kCheckFailureText;
};
