#pragma once
#include "config/config_form.h"
#include "config/form_row.h"
#include "config/m_parameter_check.h"
#include "config/m_parameters.h"

// The M-Series configuration window as data, used like the K-Series form
// (k_config_form.h): the window mirrors the rows, writes user edits back and
// calls the functions below.

enum MRow : int {
    mRowCoolWaterOff = commonRowCount,   // the four water temperatures, in block order
    mRowCoolWaterOn,
    mRowHeatWaterOn,
    mRowHeatWaterOff,
    mRowHysteresis,
    mRowOffsetHeading,                   // "Switch-on/off offset:", a label only
    mRowOffset1,
    mRowOffset6 = mRowOffset1 + compressorCount - 1,
    mRowFirstStart,
    mRowComprStart,
    mRowCompressor1,
    mRowCompressor6 = mRowCompressor1 + compressorCount - 1,
    mRowRelay1,
    mRowRelay3 = mRowRelay1 + relayCount - 1,
    mRowFlowSwitch,
    mRowCount
};

struct MFormTraits;
using MConfigForm = FamilyConfigForm<MFormTraits>;

const RowInfo& mRowInfo(int row);

// Creation state: arrows at their °C defaults, except that both compressor
// times start at 10; compressors "On"; other lists on their first item
// ("Operating mode" on "F3"); the default record as working block; the
// defaults column written.
void mFormCreate(MConfigForm& form);

void mFormFill(MConfigForm& form, int p);
void mFormGatherGeneral(MConfigForm& form);
void mFormGatherLevels(MConfigForm& form, int group);
void mFormGatherTemperatures(MConfigForm& form, int fahrenheit);
void mFormGatherAll(MConfigForm& form);
void mFormRefreshDefaults(MConfigForm& form);

void mFormUnitChanged(MConfigForm& form);
void mFormBlowerTypeChanged(MConfigForm& form);
void mFormPowerAtChanged(MConfigForm& form);

void mFormLoadDefaults(MConfigForm& form);
void mFormTakeBlock(MConfigForm& form, const MParameterBlock& block);

struct MFormTraits {
    using Block = MParameterBlock;
    static constexpr Family family = Family::m;
    static constexpr int rowCount = mRowCount;
    static constexpr auto rowInfo = mRowInfo;
    static constexpr auto create = mFormCreate;
    static constexpr auto unitChanged = mFormUnitChanged;
    static constexpr auto blowerTypeChanged = mFormBlowerTypeChanged;
    static constexpr auto powerAtChanged = mFormPowerAtChanged;
    static constexpr auto loadDefaults = mFormLoadDefaults;
    static constexpr auto takeBlock = mFormTakeBlock;
    static constexpr auto gatherAll = mFormGatherAll;
    static constexpr auto check = checkMParameters;
    static constexpr auto failureText = mCheckFailureText;
};
