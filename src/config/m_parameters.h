#pragma once
#include <cstddef>
#include <cstdint>

#include "config/common_parameters.h"

// The M-Series (chiller) configuration: 74 bytes, identified by data
// version 1 and unit kind 2. The first 34 bytes follow the K block.
inline constexpr std::uint8_t mSeriesDataVersion = 1;
inline constexpr std::size_t mSeriesParameterBlockSize = 74;

inline constexpr int compressorCount = 6;
inline constexpr int relayCount = 3;

#pragma pack(push, 1)
struct MParameterBlock {
    std::uint16_t Flags_Device;      // flagDeviceOn; other bits pass through
    std::uint8_t SetTemp_C;
    std::uint8_t SetTemp_F;
    std::uint16_t Flags_Options;     // unit, IR remote, permanent blower, flow switch NO/NC
    std::uint8_t OperatingMode;      // "F1", "F2", "F3", "F4", "F5", "F7"
    std::uint8_t BlowerType;
    std::uint8_t BlowerSet;          // 0 "Off", 1..5 levels, 6 "Auto"
    std::uint8_t BlowerLevel[blowerGroupCount][blowerLevelCount];
    std::uint8_t Dehum_Cycles;
    std::uint8_t Dehum_HeatTime;
    std::uint8_t Dehum_CoolTime;
    std::int8_t RoomCal_C;
    std::int8_t RoomCal_F;
    std::int16_t CoolWaterOff_C;     // the four water temperatures, whole degrees
    std::int16_t CoolWaterOff_F;
    std::int16_t CoolWaterOn_C;
    std::int16_t CoolWaterOn_F;
    std::int16_t HeatWaterOn_C;
    std::int16_t HeatWaterOn_F;
    std::int16_t HeatWaterOff_C;
    std::int16_t HeatWaterOff_F;
    std::uint8_t Hyst_C;             // tenths
    std::uint8_t Hyst_F;
    std::uint8_t Time_ComprStart;    // seconds
    std::uint8_t Time_FirstStart;    // seconds
    std::uint8_t CompressorEnable;   // bit i: compressor i + 1 on
    std::uint8_t CompOffset[compressorCount][2];  // tenths: °C, °F
    std::uint8_t Relay[relayCount];
    std::uint8_t LowVolt_115;
    std::uint8_t LowVolt_230;
    std::uint8_t AccessCode;
    std::uint8_t CanAddress;
};
#pragma pack(pop)

static_assert(sizeof(MParameterBlock) == mSeriesParameterBlockSize);
static_assert(offsetof(MParameterBlock, Flags_Device) == 0);
static_assert(offsetof(MParameterBlock, SetTemp_C) == 2);
static_assert(offsetof(MParameterBlock, SetTemp_F) == 3);
static_assert(offsetof(MParameterBlock, Flags_Options) == 4);
static_assert(offsetof(MParameterBlock, OperatingMode) == 6);
static_assert(offsetof(MParameterBlock, BlowerType) == 7);
static_assert(offsetof(MParameterBlock, BlowerSet) == 8);
static_assert(offsetof(MParameterBlock, BlowerLevel) == 9);
static_assert(offsetof(MParameterBlock, Dehum_Cycles) == 29);
static_assert(offsetof(MParameterBlock, Dehum_HeatTime) == 30);
static_assert(offsetof(MParameterBlock, Dehum_CoolTime) == 31);
static_assert(offsetof(MParameterBlock, RoomCal_C) == 32);
static_assert(offsetof(MParameterBlock, RoomCal_F) == 33);
static_assert(offsetof(MParameterBlock, CoolWaterOff_C) == 34);
static_assert(offsetof(MParameterBlock, CoolWaterOff_F) == 36);
static_assert(offsetof(MParameterBlock, CoolWaterOn_C) == 38);
static_assert(offsetof(MParameterBlock, CoolWaterOn_F) == 40);
static_assert(offsetof(MParameterBlock, HeatWaterOn_C) == 42);
static_assert(offsetof(MParameterBlock, HeatWaterOn_F) == 44);
static_assert(offsetof(MParameterBlock, HeatWaterOff_C) == 46);
static_assert(offsetof(MParameterBlock, HeatWaterOff_F) == 48);
static_assert(offsetof(MParameterBlock, Hyst_C) == 50);
static_assert(offsetof(MParameterBlock, Hyst_F) == 51);
static_assert(offsetof(MParameterBlock, Time_ComprStart) == 52);
static_assert(offsetof(MParameterBlock, Time_FirstStart) == 53);
static_assert(offsetof(MParameterBlock, CompressorEnable) == 54);
static_assert(offsetof(MParameterBlock, CompOffset) == 55);
static_assert(offsetof(MParameterBlock, Relay) == 67);
static_assert(offsetof(MParameterBlock, LowVolt_115) == 70);
static_assert(offsetof(MParameterBlock, LowVolt_230) == 71);
static_assert(offsetof(MParameterBlock, AccessCode) == 72);
static_assert(offsetof(MParameterBlock, CanAddress) == 73);

// The factory defaults; "Load Defaults" copies them over the working block.
extern const MParameterBlock mSeriesDefaultParameters;

// The four water temperatures, in this order wherever they are looped.
inline constexpr int mSeriesWaterTempCount = 4;
inline constexpr int mSeriesCoolWaterOff = 0;
inline constexpr int mSeriesCoolWaterOn = 1;
inline constexpr int mSeriesHeatWaterOn = 2;
inline constexpr int mSeriesHeatWaterOff = 3;

// Read by the arrows and by the check alike, so that both agree.
inline constexpr TemperatureLimits mSeriesWaterTempLimits[mSeriesWaterTempCount] = {
    {0, 15, 32, 59},    // CoolWaterOff
    {2, 18, 36, 64},    // CoolWaterOn
    {27, 49, 81, 120},  // HeatWaterOn
    {30, 52, 86, 126},  // HeatWaterOff
};
inline constexpr std::uint8_t mSeriesHysteresisMax[2] = {99, 178};   // by unit shown, minimum 0
inline constexpr std::uint8_t mSeriesOffsetMax[2] = {55, 99};        // by unit shown, minimum 0
inline constexpr Range firstStartRange{1, 200};
inline constexpr Range comprStartRange{1, 60};

// Water temperature `index` in the °C (fahrenheit 0) or °F copy.
std::int16_t mSeriesWaterTemp(const MParameterBlock& block, int index, int fahrenheit);
void setMWaterTemp(MParameterBlock& block, int index, int fahrenheit, std::int16_t value);

inline int mSeriesUnitShown(const MParameterBlock& block)
{
    return (block.Flags_Options & flagUnitFahrenheit) ? 1 : 0;
}
