#pragma once
#include <cstddef>
#include <cstdint>

// Live-state records of the monitors. A status record is the poll answer from
// report byte 4 on; a command record is the poll request's payload. Both are
// byte-packed and little-endian, like everything the unit exchanges.
#pragma pack(push, 1)

struct MonitorStatusK {
    std::uint8_t answerType;       // always 1 when delivered
    std::uint8_t unitKind;         // always 1 (K-Series) when delivered
    std::uint16_t firmware;        // version word, shown as d.dd
    std::uint8_t outputs;          // bit 0 blower, 1 compressor, 2 sea water pump, 3 reversing valve
    std::uint8_t inputs;           // bit 1 high pressure, 2 low pressure, 3 piggyback CAN bus
    std::uint8_t blowerPower;      // percent
    std::int16_t evaporatorC;      // tenths of a degree
    std::int16_t evaporatorF;
    std::int16_t roomC;
    std::int16_t roomF;
    std::uint16_t mainsVoltage;    // volts
    std::uint16_t errorWord;       // bits 0-5 have indicators
    std::uint16_t flags;           // bit 0 temperatures in °F, bit 15 unit switched on
    std::uint8_t functionMode;
    std::uint8_t unused22;
};

struct MonitorCommandK {
    std::uint8_t zero0[4];
    std::uint8_t outputs;          // bits as in MonitorStatusK::outputs
    std::uint8_t zero5;
    std::uint8_t blowerPower;      // percent, 0-100
    std::uint8_t zero7[15];
    std::uint8_t manual;           // bit 0: manual control on
};

struct MonitorStatusM {
    std::uint8_t answerType;       // always 1 when delivered
    std::uint8_t unitKind;         // always 2 (M-Series) when delivered
    std::uint16_t firmware;
    std::uint32_t outputs;         // bit 0/1 blowers, 2 sea water pump, 3 cooling water pump,
                                   // 4 reversing valve, 5-7 relays, 8-13 compressors 1-6
    std::uint32_t inputs;          // bits 1, 3, 4, 5 boards and flow switch; 6-11 low and
                                   // 12-17 high pressure switches of compressors 1-6
    std::uint8_t blowerPower[2];   // percent
    std::int16_t waterC;           // tenths of a degree
    std::int16_t waterF;
    std::int16_t roomC;
    std::int16_t roomF;
    std::uint8_t unused22[4];
    std::uint16_t mainsVoltage;    // volts
    std::uint8_t mainsFrequency;   // hertz
    std::uint32_t errorBits;       // bits 0-16 have indicators
    std::uint16_t flags;           // bit 0 temperatures in °F, bit 15 unit switched on
    std::uint8_t functionMode;
    std::uint8_t unused36;
};

struct MonitorCommandM {
    std::uint8_t lead[2];          // always 0x01 0x02
    std::uint8_t zero2[2];
    std::uint32_t outputs;         // bits as in MonitorStatusM::outputs
    std::uint8_t zero8[4];
    std::uint8_t blowerPower[2];   // percent, 0-100
    std::uint8_t zero14[22];
    std::uint8_t manual;           // bit 0: manual control on
};

#pragma pack(pop)

static_assert(sizeof(MonitorStatusK) == 23);
static_assert(offsetof(MonitorStatusK, firmware) == 2);
static_assert(offsetof(MonitorStatusK, outputs) == 4);
static_assert(offsetof(MonitorStatusK, inputs) == 5);
static_assert(offsetof(MonitorStatusK, blowerPower) == 6);
static_assert(offsetof(MonitorStatusK, evaporatorC) == 7);
static_assert(offsetof(MonitorStatusK, evaporatorF) == 9);
static_assert(offsetof(MonitorStatusK, roomC) == 11);
static_assert(offsetof(MonitorStatusK, roomF) == 13);
static_assert(offsetof(MonitorStatusK, mainsVoltage) == 15);
static_assert(offsetof(MonitorStatusK, errorWord) == 17);
static_assert(offsetof(MonitorStatusK, flags) == 19);
static_assert(offsetof(MonitorStatusK, functionMode) == 21);
static_assert(offsetof(MonitorStatusK, unused22) == 22);

static_assert(sizeof(MonitorCommandK) == 23);
static_assert(offsetof(MonitorCommandK, outputs) == 4);
static_assert(offsetof(MonitorCommandK, zero5) == 5);
static_assert(offsetof(MonitorCommandK, blowerPower) == 6);
static_assert(offsetof(MonitorCommandK, zero7) == 7);
static_assert(offsetof(MonitorCommandK, manual) == 22);

static_assert(sizeof(MonitorStatusM) == 37);
static_assert(offsetof(MonitorStatusM, firmware) == 2);
static_assert(offsetof(MonitorStatusM, outputs) == 4);
static_assert(offsetof(MonitorStatusM, inputs) == 8);
static_assert(offsetof(MonitorStatusM, blowerPower) == 12);
static_assert(offsetof(MonitorStatusM, waterC) == 14);
static_assert(offsetof(MonitorStatusM, waterF) == 16);
static_assert(offsetof(MonitorStatusM, roomC) == 18);
static_assert(offsetof(MonitorStatusM, roomF) == 20);
static_assert(offsetof(MonitorStatusM, unused22) == 22);
static_assert(offsetof(MonitorStatusM, mainsVoltage) == 26);
static_assert(offsetof(MonitorStatusM, mainsFrequency) == 28);
static_assert(offsetof(MonitorStatusM, errorBits) == 29);
static_assert(offsetof(MonitorStatusM, flags) == 33);
static_assert(offsetof(MonitorStatusM, functionMode) == 35);
static_assert(offsetof(MonitorStatusM, unused36) == 36);

static_assert(sizeof(MonitorCommandM) == 37);
static_assert(offsetof(MonitorCommandM, zero2) == 2);
static_assert(offsetof(MonitorCommandM, outputs) == 4);
static_assert(offsetof(MonitorCommandM, zero8) == 8);
static_assert(offsetof(MonitorCommandM, blowerPower) == 12);
static_assert(offsetof(MonitorCommandM, zero14) == 14);
static_assert(offsetof(MonitorCommandM, manual) == 36);

// Poll request of the monitors: command ':' with sub-code 0, the command
// record as payload, and the answer type and unit kind the engine accepts.
inline constexpr std::uint8_t monitorPollCommand = 0x3A;
inline constexpr std::uint8_t monitorPollSubCode = 0x00;
inline constexpr std::uint8_t monitorAnswerType = 1;
inline constexpr int monitorRecordSizeMax = 37;
