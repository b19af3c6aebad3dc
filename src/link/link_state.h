#pragma once
// What the link's threads share for the whole run: the request record, the
// report buffers, the sequence number and the five events.
#include <cstdint>

#include "link/link_event.h"
#include "link/report_format.h"

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
    // Poll: the payload of one last poll that stopLink has the engine send
    // before the link ends (the monitor's command record with manual control
    // off), or releaseLength 0 for none. A monitor sets it where it sets the
    // payload; startLinkThreads clears it, so no other link sends it.
    std::uint8_t releaseLength = 0;
    std::uint8_t releasePayload[50] = {};
};

inline constexpr std::uint8_t maxPollPayload = 50;

extern LinkRequest linkRequest;

// The link's report buffers, one each for the whole program.
extern std::uint8_t inReport[reportSize];   // written by the reader only
extern std::uint8_t lastAnswer[reportSize]; // the engine's copy; windows get pointers into it
extern std::uint8_t outReport[reportSize];  // the request being sent, engine only

// 8-bit, starts at 0 at program start, never reset, shared by every engine
// and transfer; wraps from 255 to 0.
extern std::uint8_t sequenceNumber;

// Adds 1 before a new request (or a resend after an answer) and returns it.
std::uint8_t nextSequenceNumber();

// The five events of the device link, created once at start-up in this order.
extern LinkEvent reportReceived;   // auto: reader to engine, inReport holds a new report
extern LinkEvent reportConsumed;   // auto: engine to reader, inReport has been copied
extern LinkEvent linkStop;         // manual: stopLink to both threads
extern LinkEvent answerProcessed;  // auto: monitor to poll engine, send the next poll now
extern LinkEvent readerReady;      // manual: reader to engine, the device open was tried
// The last poll before a stop: stopLink asks for it, the poll engine says
// when it has been answered or cannot be sent.
extern LinkEvent linkRelease;      // manual: stopLink to the poll engine, send the release poll now
extern LinkEvent releaseDone;      // manual: poll engine to stopLink, the release poll is over

// Wait slices of the link, in milliseconds.
inline constexpr int pendingIoSliceMs = 10;
inline constexpr int blockReadPendingSliceMs = 30;  // block read: a pending write
inline constexpr int partnerSliceMs = 100;
inline constexpr int idleSliceMs = 500;
inline constexpr int readerReadyWaitMs = 100;
inline constexpr int stopLinkWaitMs = 1000;
// Of stopLink's 1000 ms, at most this much for the release poll: a unit that
// answers at all answers a poll within a few milliseconds.
inline constexpr int releaseWaitMs = 300;

// The events exist for the whole run; this puts them all into their
// initial, not signalled state (at start-up, as the program's first link).
void createLinkEvents();
