#include "config/k_parameter_check.h"

namespace {

bool outside(int value, Range range) { return value < range.min || value > range.max; }

} // namespace

CheckResult checkKParameters(const KParameterBlock& block)
{
    if (block.AccessCode > accessCodeRange.max)
        return checkFailed(1, accessCodeRange.min, accessCodeRange.max);

    const int voltageChecks[2] = {block.LowVolt_115, block.LowVolt_230};
    for (int i = 0; i < 2; ++i) {
        const Range voltage{supplyVoltageLimits[i][0], supplyVoltageLimits[i][1]};
        if (outside(voltageChecks[i], voltage))
            return checkFailed(2 + i, voltage.min, voltage.max);
    }

    // All four groups, whichever one the window shows.
    for (int g = 0; g < blowerGroupCount; ++g)
        for (int l = 0; l < blowerLevelCount; ++l)
            if (outside(block.BlowerLevel[g][l], blowerLevelRange))
                return checkFailed(4, blowerLevelRange.min, blowerLevelRange.max);

    if (outside(block.Dehum_HeatTime, dehumTimeRange))
        return checkFailed(5, dehumTimeRange.min, dehumTimeRange.max);
    if (outside(block.Dehum_CoolTime, dehumTimeRange))
        return checkFailed(6, dehumTimeRange.min, dehumTimeRange.max);

    const int unit = kSeriesUnitShown(block);
    for (int i = 0; i < kSeriesSwitchTempCount; ++i) {
        const Range limits = limitsInUnit(kSeriesSwitchTempLimits[i], unit);
        if (outside(kSeriesSwitchTemp(block, i, unit), limits))
            return checkFailed(7 + i, limits.min, limits.max);
    }

    const int coolOffMin = kSeriesSwitchTemp(block, kSeriesCoolOffMin, unit);
    const int coolOff = kSeriesSwitchTemp(block, kSeriesCoolOff, unit);
    const int coolOn = kSeriesSwitchTemp(block, kSeriesCoolOn, unit);
    if (!(coolOffMin <= coolOff && coolOff <= coolOn))
        return checkFailed(12);
    if (kSeriesSwitchTemp(block, kSeriesHeatOn, unit) >= kSeriesSwitchTemp(block, kSeriesHeatOff, unit))
        return checkFailed(13);

    const Range hysteresis = kSeriesHysteresisRange[unit];
    if (outside(unit ? block.Hyst_F : block.Hyst_C, hysteresis))
        return checkFailed(14, hysteresis.min, hysteresis.max);

    if (block.Time_BelowOff > timeBelowOffRange.max)
        return checkFailed(15, timeBelowOffRange.min, timeBelowOffRange.max);
    if (block.CanAddress > canAddressRange.max)
        return checkFailed(16, canAddressRange.min, canAddressRange.max);
    return checkPassed();
}

std::string kSeriesCheckFailureText(const CheckResult& result)
{
    return checkFailureText(kSeriesFailureTextBase + result.failureNumber, result);
}
