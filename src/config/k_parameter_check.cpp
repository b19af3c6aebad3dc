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

    const int unit = kUnitShown(block);
    for (int i = 0; i < kSwitchTempCount; ++i) {
        const Range limits = limitsInUnit(kSwitchTempLimits[i], unit);
        if (outside(kSwitchTemp(block, i, unit), limits))
            return checkFailed(7 + i, limits.min, limits.max);
    }

    const int coolOffMin = kSwitchTemp(block, kCoolOffMin, unit);
    const int coolOff = kSwitchTemp(block, kCoolOff, unit);
    const int coolOn = kSwitchTemp(block, kCoolOn, unit);
    if (!(coolOffMin <= coolOff && coolOff <= coolOn))
        return checkFailed(12);
    if (kSwitchTemp(block, kHeatOn, unit) >= kSwitchTemp(block, kHeatOff, unit))
        return checkFailed(13);

    const Range hysteresis = kHysteresisRange[unit];
    if (outside(unit ? block.Hyst_F : block.Hyst_C, hysteresis))
        return checkFailed(14, hysteresis.min, hysteresis.max);

    if (block.Time_BelowOff > timeBelowOffRange.max)
        return checkFailed(15, timeBelowOffRange.min, timeBelowOffRange.max);
    if (block.CanAddress > canAddressRange.max)
        return checkFailed(16, canAddressRange.min, canAddressRange.max);
    return checkPassed();
}

std::string kCheckFailureText(const CheckResult& result)
{
    return checkFailureText(kFailureTextBase + result.failureNumber, result);
}
