#pragma once
#include <bit>
#include <cstdint>

// What the K-Series and the M-Series parameter blocks share: flag bits,
// blower level groups and the limits both families give the same values.

// The blocks are exchanged with the unit and stored in files byte for byte,
// little-endian; the records below are only valid on a little-endian host.
static_assert(std::endian::native == std::endian::little);

// Flags_Device
inline constexpr std::uint16_t flagDeviceOn = 0x0001;
// Flags_Options (bits 3 and 4 exist in the M block only)
inline constexpr std::uint16_t flagUnitFahrenheit = 0x0001;
inline constexpr std::uint16_t flagIrRemote = 0x0002;
inline constexpr std::uint16_t flagBlowerPermanent = 0x0004;
inline constexpr std::uint16_t flagFlowSwitchNo = 0x0008;
inline constexpr std::uint16_t flagFlowSwitchNc = 0x0010;

inline constexpr int blowerGroupCount = 4;
inline constexpr int blowerLevelCount = 5;

// BlowerType
inline constexpr int blowerTypeAc = 0;
inline constexpr int blowerTypeEcm = 1;
inline constexpr int blowerTypeSilencer = 2;

// Groups: AC on 50 Hz, AC on 60 Hz, ECM, Silencer.
inline constexpr std::uint8_t defaultBlowerLevels[blowerGroupCount][blowerLevelCount] = {
    {35, 41, 49, 58, 100},
    {45, 53, 60, 69, 100},
    {30, 40, 50, 60, 100},
    {30, 40, 60, 80, 100},
};

// A closed range of a value, as the arrows stop and the check tests it.
struct Range {
    std::int16_t min;
    std::int16_t max;
};

// One absolute temperature's limit row: whole °C, then whole °F.
struct TemperatureLimits {
    std::int16_t minC;
    std::int16_t maxC;
    std::int16_t minF;
    std::int16_t maxF;
};

inline Range limitsInUnit(const TemperatureLimits& row, int fahrenheit)
{
    return fahrenheit ? Range{row.minF, row.maxF} : Range{row.minC, row.maxC};
}

// Supply voltages, 115 V then 230 V: (min, max) byte pairs.
inline constexpr std::uint8_t supplyVoltageLimits[2][2] = {{90, 105}, {180, 210}};

// Indexed by the unit shown: 0 °C, 1 °F.
inline constexpr Range setTemperatureRange[2] = {{15, 29}, {59, 85}};
inline constexpr Range calibrationRange[2] = {{-55, 55}, {-99, 99}};

inline constexpr Range accessCodeRange{0, 99};
inline constexpr Range canAddressRange{0, 239};
inline constexpr Range blowerLevelRange{30, 100};
inline constexpr Range dehumTimeRange{1, 99};
