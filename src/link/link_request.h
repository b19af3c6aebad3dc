#pragma once
#include <cstdint>

// The one request record: a feature window fills it on the user-interface
// thread right before it starts an engine, which reads it for the whole
// transfer. While the poll engine runs, a monitor changes only the payload,
// between WM_LINK_DATA and setting answerProcessed.
struct LinkRequest {
    std::uint8_t command = 0;        // code of the first report (poll: of every report)
    std::uint8_t dataCommand = 0;    // block write: code of the data reports (0x2A)
    std::uint8_t subCode = 0;        // byte 3 of every report, always 0 here
    std::uint8_t* data = nullptr;    // block read: destination; block write: source
    std::uint8_t payload[50] = {};   // block engines send 20 bytes, the poll engine payloadLength
    std::uint8_t finalState = 0xFF;  // block write ends early on entering this state; 0xFF never
    std::uint32_t totalLength = 0;   // block write: number of data bytes
    std::uint8_t blockSize = 0;      // block engines: data bytes per block; poll: payload length
    std::uint8_t expectedAnswerType = 0; // poll: answer byte 4 must equal it
    std::uint8_t expectedUnitKind = 0;   // poll: answer byte 5 must equal it
    std::uint8_t crcSelector = 0;    // block read: 0x36 blocks are CRC-checked when above 2
    // Block read: bytes available at data. A transfer that would store past
    // it ends with end code 0 instead of overrunning the buffer.
    std::uint32_t dataCapacity = 0;
};

inline constexpr std::uint8_t maxPollPayload = 50;

extern LinkRequest linkRequest;
