#pragma once
#include <cstddef>
#include <cstdint>

#include "config/common_parameters.h"

// The K-Series configuration as the unit keeps it in its EEPROM: 62 bytes,
// identified by data version 3 and unit kind 1.
inline constexpr std::uint8_t kSeriesDataVersion = 3;
inline constexpr std::size_t kSeriesParameterBlockSize = 62;

#pragma pack(push, 1)
struct KParameterBlock {
    std::uint16_t Flags_Device;      // flagDeviceOn; other bits pass through
    std::uint8_t SetTemp_C;
    std::uint8_t SetTemp_F;
    std::uint16_t Flags_Options;     // unit, IR remote, permanent blower; other bits pass through
    std::uint8_t OperatingMode;      // "F1", "F2", "F3", "F7"
    std::uint8_t BlowerType;
    std::uint8_t BlowerSet;          // 1..5 levels, 6 "Auto"
    std::uint8_t BlowerLevel[blowerGroupCount][blowerLevelCount];
    std::uint8_t Dehum_Cycles;
    std::uint8_t Dehum_HeatTime;     // minutes
    std::uint8_t Dehum_CoolTime;     // minutes
    std::int8_t RoomCal_C;           // tenths
    std::int8_t RoomCal_F;
    std::int16_t CoolOffMin_C;       // the five switching temperatures, whole degrees
    std::int16_t CoolOffMin_F;
    std::int16_t CoolOff_C;
    std::int16_t CoolOff_F;
    std::int16_t CoolOn_C;
    std::int16_t CoolOn_F;
    std::int16_t HeatOff_C;
    std::int16_t HeatOff_F;
    std::int16_t HeatOn_C;
    std::int16_t HeatOn_F;
    std::uint16_t Time_BelowOff;     // seconds
    std::uint8_t Hyst_C;             // tenths
    std::uint8_t Hyst_F;
    std::uint8_t LowVolt_115;
    std::uint8_t LowVolt_230;
    std::uint8_t AccessCode;
    std::uint8_t CanAddress;
};
#pragma pack(pop)

static_assert(sizeof(KParameterBlock) == kSeriesParameterBlockSize);
static_assert(offsetof(KParameterBlock, Flags_Device) == 0);
static_assert(offsetof(KParameterBlock, SetTemp_C) == 2);
static_assert(offsetof(KParameterBlock, SetTemp_F) == 3);
static_assert(offsetof(KParameterBlock, Flags_Options) == 4);
static_assert(offsetof(KParameterBlock, OperatingMode) == 6);
static_assert(offsetof(KParameterBlock, BlowerType) == 7);
static_assert(offsetof(KParameterBlock, BlowerSet) == 8);
static_assert(offsetof(KParameterBlock, BlowerLevel) == 9);
static_assert(offsetof(KParameterBlock, Dehum_Cycles) == 29);
static_assert(offsetof(KParameterBlock, Dehum_HeatTime) == 30);
static_assert(offsetof(KParameterBlock, Dehum_CoolTime) == 31);
static_assert(offsetof(KParameterBlock, RoomCal_C) == 32);
static_assert(offsetof(KParameterBlock, RoomCal_F) == 33);
static_assert(offsetof(KParameterBlock, CoolOffMin_C) == 34);
static_assert(offsetof(KParameterBlock, CoolOffMin_F) == 36);
static_assert(offsetof(KParameterBlock, CoolOff_C) == 38);
static_assert(offsetof(KParameterBlock, CoolOff_F) == 40);
static_assert(offsetof(KParameterBlock, CoolOn_C) == 42);
static_assert(offsetof(KParameterBlock, CoolOn_F) == 44);
static_assert(offsetof(KParameterBlock, HeatOff_C) == 46);
static_assert(offsetof(KParameterBlock, HeatOff_F) == 48);
static_assert(offsetof(KParameterBlock, HeatOn_C) == 50);
static_assert(offsetof(KParameterBlock, HeatOn_F) == 52);
static_assert(offsetof(KParameterBlock, Time_BelowOff) == 54);
static_assert(offsetof(KParameterBlock, Hyst_C) == 56);
static_assert(offsetof(KParameterBlock, Hyst_F) == 57);
static_assert(offsetof(KParameterBlock, LowVolt_115) == 58);
static_assert(offsetof(KParameterBlock, LowVolt_230) == 59);
static_assert(offsetof(KParameterBlock, AccessCode) == 60);
static_assert(offsetof(KParameterBlock, CanAddress) == 61);

// The factory defaults; "Load Defaults" copies them over the working block.
extern const KParameterBlock kSeriesDefaultParameters;

// The five switching temperatures, in this order wherever they are looped.
inline constexpr int kSeriesSwitchTempCount = 5;
inline constexpr int kSeriesCoolOffMin = 0;
inline constexpr int kSeriesCoolOff = 1;
inline constexpr int kSeriesCoolOn = 2;
inline constexpr int kSeriesHeatOff = 3;
inline constexpr int kSeriesHeatOn = 4;

// Read by the arrows and by the check alike, so that both agree.
inline constexpr TemperatureLimits kSeriesSwitchTempLimits[kSeriesSwitchTempCount] = {
    {-4, 15, 25, 59},   // CoolOffMin
    {-4, 15, 25, 59},   // CoolOff
    {2, 18, 35, 65},    // CoolOn
    {30, 55, 86, 131},  // HeatOff
    {27, 50, 81, 122},  // HeatOn
};
inline constexpr Range kSeriesHysteresisRange[2] = {{1, 8}, {2, 15}};  // by unit shown
inline constexpr Range timeBelowOffRange{0, 999};

// Switching temperature `index` in the °C (fahrenheit 0) or °F copy.
std::int16_t kSeriesSwitchTemp(const KParameterBlock& block, int index, int fahrenheit);
void setKSwitchTemp(KParameterBlock& block, int index, int fahrenheit, std::int16_t value);

inline int kSeriesUnitShown(const KParameterBlock& block)
{
    return (block.Flags_Options & flagUnitFahrenheit) ? 1 : 0;
}
