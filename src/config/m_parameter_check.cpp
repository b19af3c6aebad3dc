#include "config/m_parameter_check.h"

namespace {

bool outside(int value, Range range) { return value < range.min || value > range.max; }

} // namespace

CheckResult checkMParameters(const MParameterBlock& block)
{
    if (block.AccessCode > accessCodeRange.max)
        return checkFailed(1, accessCodeRange.min, accessCodeRange.max);

    const int voltageChecks[2] = {block.LowVolt_115, block.LowVolt_230};
    for (int i = 0; i < 2; ++i) {
        const Range voltage{supplyVoltageLimits[i][0], supplyVoltageLimits[i][1]};
        if (outside(voltageChecks[i], voltage))
            return checkFailed(2 + i, voltage.min, voltage.max);
    }

    if (block.CanAddress > canAddressRange.max)
        return checkFailed(4, canAddressRange.min, canAddressRange.max);

    const int unit = mSeriesUnitShown(block);
    for (int i = 0; i < mSeriesWaterTempCount; ++i) {
        const Range limits = limitsInUnit(mSeriesWaterTempLimits[i], unit);
        if (outside(mSeriesWaterTemp(block, i, unit), limits))
            return checkFailed(5 + i, limits.min, limits.max);
    }
    if (mSeriesWaterTemp(block, mSeriesCoolWaterOff, unit) >= mSeriesWaterTemp(block, mSeriesCoolWaterOn, unit))
        return checkFailed(9);
    if (mSeriesWaterTemp(block, mSeriesHeatWaterOn, unit) >= mSeriesWaterTemp(block, mSeriesHeatWaterOff, unit))
        return checkFailed(10);

    if ((unit ? block.Hyst_F : block.Hyst_C) > mSeriesHysteresisMax[unit])
        return checkFailed(11, 0, mSeriesHysteresisMax[unit]);
    for (int i = 0; i < compressorCount; ++i)
        if (block.CompOffset[i][unit] > mSeriesOffsetMax[unit])
            return checkFailed(12, 0, mSeriesOffsetMax[unit]);

    if (outside(block.Time_FirstStart, firstStartRange))
        return checkFailed(13, firstStartRange.min, firstStartRange.max);
    if (outside(block.Time_ComprStart, comprStartRange))
        return checkFailed(14, comprStartRange.min, comprStartRange.max);
    if (outside(block.Dehum_HeatTime, dehumTimeRange))
        return checkFailed(15, dehumTimeRange.min, dehumTimeRange.max);
    if (outside(block.Dehum_CoolTime, dehumTimeRange))
        return checkFailed(16, dehumTimeRange.min, dehumTimeRange.max);

    for (int g = 0; g < blowerGroupCount; ++g)
        for (int l = 0; l < blowerLevelCount; ++l)
            if (outside(block.BlowerLevel[g][l], blowerLevelRange))
                return checkFailed(17, blowerLevelRange.min, blowerLevelRange.max);
    return checkPassed();
}

std::string mSeriesCheckFailureText(const CheckResult& result)
{
    return checkFailureText(mSeriesFailureTextBase + result.failureNumber, result);
}
