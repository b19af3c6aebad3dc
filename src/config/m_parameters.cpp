#include "config/m_parameters.h"

#include <cstring>

namespace {

constexpr MParameterBlock makeDefaults()
{
    MParameterBlock b{};
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
    b.CoolWaterOff_C = 4;
    b.CoolWaterOff_F = 39;
    b.CoolWaterOn_C = 7;
    b.CoolWaterOn_F = 45;
    b.HeatWaterOn_C = 45;
    b.HeatWaterOn_F = 113;
    b.HeatWaterOff_C = 50;
    b.HeatWaterOff_F = 122;
    b.Hyst_C = 15;
    b.Hyst_F = 27;
    b.Time_ComprStart = 9;
    b.Time_FirstStart = 10;
    b.CompressorEnable = 0x3F;
    // CompOffset all 0
    b.Relay[0] = 0;
    b.Relay[1] = 3;
    b.Relay[2] = 4;
    b.LowVolt_115 = 97;
    b.LowVolt_230 = 195;
    b.AccessCode = 83;
    b.CanAddress = 1;
    return b;
}

std::size_t waterTempOffset(int index, int fahrenheit)
{
    return offsetof(MParameterBlock, CoolWaterOff_C) + 4 * static_cast<std::size_t>(index)
         + (fahrenheit ? 2 : 0);
}

} // namespace

const MParameterBlock mSeriesDefaultParameters = makeDefaults();

std::int16_t mSeriesWaterTemp(const MParameterBlock& block, int index, int fahrenheit)
{
    std::int16_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + waterTempOffset(index, fahrenheit),
                sizeof value);
    return value;
}

void setMWaterTemp(MParameterBlock& block, int index, int fahrenheit, std::int16_t value)
{
    std::memcpy(reinterpret_cast<unsigned char*>(&block) + waterTempOffset(index, fahrenheit), &value,
                sizeof value);
}
