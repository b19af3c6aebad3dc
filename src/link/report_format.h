#pragma once
// The 65-byte reports the unit speaks: where each field sits, and the codes.
#include <cstddef>
#include <cstdint>

#include "base/le_bytes.h"

// Every report to and from the unit is 65 bytes: byte 0 is the report id,
// bytes 1 to 64 the message. Byte numbers below are of the whole report.
inline constexpr std::size_t reportSize = 65;

// Output (request) report.
inline constexpr std::size_t outReportId = 0;
inline constexpr std::size_t outSequence = 1;
inline constexpr std::size_t outCommand = 2;
inline constexpr std::size_t outSubCode = 3;
inline constexpr std::size_t outPayload = 4;       // 20 bytes for block transfers, n for polls
inline constexpr std::size_t outBlockNumber = 4;   // 16-bit, data blocks and re-request 0x63
inline constexpr std::size_t outBlockData = 6;
inline constexpr std::size_t blockRequestPayload = 20;

// Input (answer) report.
inline constexpr std::size_t inSequence = 1;
inline constexpr std::size_t inCode = 2;
inline constexpr std::size_t inAnswerType = 4;     // poll answers
inline constexpr std::size_t inUnitKind = 5;       // poll answers and refusals
inline constexpr std::size_t inFirmwareMinor = 6;  // refusals
inline constexpr std::size_t inFirmwareMajor = 7;
inline constexpr std::size_t inBlockHeader = 3;    // 8 bytes copied for the block-read window
inline constexpr std::size_t inBlockTotal = 5;     // 16-bit
inline constexpr std::size_t inBlockNumber = 7;    // 16-bit, 0xFFFF = last block
inline constexpr std::size_t inBlockItems = 9;     // 16-bit
inline constexpr std::size_t inBlockData = 11;     // 48 bytes, then the block CRC after s bytes
inline constexpr std::size_t blockDataField = 48;
inline constexpr std::size_t inRewriteBlock = 4;   // 16-bit, answer 0x63 of the write phase

static_assert(inBlockData + blockDataField == 59);
static_assert(inBlockData + blockDataField + 2 <= reportSize, "the CRC after a 48-byte block fits");
static_assert(outBlockData + 32 <= reportSize);

inline constexpr std::uint16_t lastBlockNumber = 0xFFFF;

// Command codes (output byte 2).
inline constexpr std::uint8_t cmdAnnounceWrite = 0x29;   // ')'
inline constexpr std::uint8_t cmdWriteBlock = 0x2A;      // '*'
inline constexpr std::uint8_t cmdReadConfiguration = 0x35; // '5'
inline constexpr std::uint8_t cmdReadProtocol = 0x36;    // '6'
inline constexpr std::uint8_t cmdPoll = 0x3A;            // ':'
inline constexpr std::uint8_t cmdReadCounters = 0x3B;    // ';'
inline constexpr std::uint8_t cmdBlockAccepted = 0x60;   // '`'
inline constexpr std::uint8_t cmdResendFrom = 0x63;      // 'c'
inline constexpr std::uint8_t cmdResendLast = 0x64;      // 'd'

// Answer codes (input byte 2).
inline constexpr std::uint8_t ansConfiguration = 0x35;
inline constexpr std::uint8_t ansProtocol = 0x36;
inline constexpr std::uint8_t ansCounters = 0x3B;
inline constexpr std::uint8_t ansOk = 0x50;              // 'P'
inline constexpr std::uint8_t ansRefused = 0x51;         // 'Q'
inline constexpr std::uint8_t ansBusy = 0x52;            // 'R'
inline constexpr std::uint8_t ansRejected = 0x53;        // 'S'
inline constexpr std::uint8_t ansBlockStored = 0x60;     // '`'
inline constexpr std::uint8_t ansBlockStoredToo = 0x61;  // 'a'
inline constexpr std::uint8_t ansWriteFailed = 0x62;     // 'b'
inline constexpr std::uint8_t ansSendAgainFrom = 0x63;   // 'c'
inline constexpr std::uint8_t ansWait = 0x64;            // 'd'
inline constexpr std::uint8_t ansStatus = 0xF0;
