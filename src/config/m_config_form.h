#pragma once
#include <string>

#include "config/config_form.h"
#include "config/m_parameters.h"

// The M-Series rows after the common ones (unscoped, as CommonRow).
enum MSeriesRow : int {
    mSeriesRowCoolWaterOff = commonRowCount,   // the four water temperatures, in block order
    mSeriesRowCoolWaterOn,
    mSeriesRowHeatWaterOn,
    mSeriesRowHeatWaterOff,
    mSeriesRowHysteresis,
    mSeriesRowOffsetHeading,                   // "Switch-on/off offset:", a label only
    mSeriesRowOffset1,
    mSeriesRowOffset6 = mSeriesRowOffset1 + compressorCount - 1,
    mSeriesRowFirstStart,
    mSeriesRowComprStart,
    mSeriesRowCompressor1,
    mSeriesRowCompressor6 = mSeriesRowCompressor1 + compressorCount - 1,
    mSeriesRowRelay1,
    mSeriesRowRelay3 = mSeriesRowRelay1 + relayCount - 1,
    mSeriesRowFlowSwitch,
    mSeriesRowCount
};

const RowInfo& mSeriesRowInfo(int row);

// The M-Series configuration window as data (see ConfigForm): the common
// rows, then the water temperatures, hysteresis, compressor offsets, times
// and switches, the relays and the flow switch.
class MSeriesConfigForm final : public ConfigForm {
public:
    MSeriesConfigForm();

    MParameterBlock block{};   // the working block

    void gatherAll() override;
    std::string checkFailure() const override;

private:
    // Creation state as the common rows, except that both compressor times
    // start at 10 and the compressors on "On".
    void createRows() override;
    void fillRows(int entry) override;
    void showDefaults() override;
};
