#pragma once
#include <string>

#include "config/config_form.h"
#include "config/k_parameters.h"

// The K-Series rows after the common ones (unscoped, as CommonRow).
enum KSeriesRow : int {
    kSeriesRowCoolOffMin = commonRowCount,   // the five switching temperatures, in block order
    kSeriesRowCoolOff,
    kSeriesRowCoolOn,
    kSeriesRowHeatOff,
    kSeriesRowHeatOn,
    kSeriesRowHysteresis,
    kSeriesRowTimeBelowOff,
    kSeriesRowCount
};

const RowInfo& kSeriesRowInfo(int row);

// The K-Series configuration window as data (see ConfigForm): the common
// rows, then the switching temperatures, their hysteresis and the time
// below switch-off.
class KSeriesConfigForm final : public ConfigForm {
public:
    KSeriesConfigForm();

    KParameterBlock block{};   // the working block

    void gatherAll() override;
    std::string checkFailure() const override;

private:
    void createRows() override;
    void fillRows(int entry) override;
    void showDefaults() override;
};
