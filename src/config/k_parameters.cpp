#include "config/k_parameters.h"

#include <cstring>

namespace {

constexpr KParameterBlock makeDefaults()
{
    KParameterBlock b{};
    b.Flags_Device = flagDeviceOn;
    b.SetTemp_C = 20;
    b.SetTemp_F = 68;
    b.Flags_Options = 0;
    b.OperatingMode = 2;
    b.BlowerType = blowerTypeAc;
    b.BlowerSet = 6;
    for (int g = 0; g < blowerGroupCount; ++g)
        for (int l = 0; l < blowerLevelCount; ++l)
            b.BlowerLevel[g][l] = defaultBlowerLevels[g][l];
    b.Dehum_Cycles = 1;
    b.Dehum_HeatTime = 1;
    b.Dehum_CoolTime = 1;
    b.RoomCal_C = 0;
    b.RoomCal_F = 0;
    b.CoolOffMin_C = -2;
    b.CoolOffMin_F = 28;
    b.CoolOff_C = 0;
    b.CoolOff_F = 32;
    b.CoolOn_C = 4;
    b.CoolOn_F = 39;
    b.HeatOff_C = 52;
    b.HeatOff_F = 126;
    b.HeatOn_C = 48;
    b.HeatOn_F = 118;
    b.Time_BelowOff = 300;
    b.Hyst_C = 8;
    b.Hyst_F = 14;
    b.LowVolt_115 = 97;
    b.LowVolt_230 = 195;
    b.AccessCode = 83;
    b.CanAddress = 1;
    return b;
}

// The pairs lie back to back, 4 bytes per temperature, °C before °F.
std::size_t switchTempOffset(int index, int fahrenheit)
{
    return offsetof(KParameterBlock, CoolOffMin_C) + 4 * static_cast<std::size_t>(index)
         + (fahrenheit ? 2 : 0);
}

} // namespace

const KParameterBlock kSeriesDefaultParameters = makeDefaults();

std::int16_t kSeriesSwitchTemp(const KParameterBlock& block, int index, int fahrenheit)
{
    std::int16_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + switchTempOffset(index, fahrenheit),
                sizeof value);
    return value;
}

void setKSwitchTemp(KParameterBlock& block, int index, int fahrenheit, std::int16_t value)
{
    std::memcpy(reinterpret_cast<unsigned char*>(&block) + switchTempOffset(index, fahrenheit), &value,
                sizeof value);
}
