#pragma once
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// A simulated K-Series or M-Series control unit: its settings, live state and
// the answers it gives to request reports. No sockets here; the server in
// sim_server.h carries the reports.

inline constexpr std::size_t simReportSize = 65;

inline constexpr std::uint32_t noBlock = 0xFFFFFFFF;

// Misbehaviour on request; every counter is per connection, 0 = off.
struct SimFaults {
    std::uint32_t dropEvery = 0;       // swallow every Nth answer
    std::uint32_t duplicateEvery = 0;  // before every Nth answer, repeat the previous one (a late answer)
    std::uint32_t wrongCodeEvery = 0;  // answer every Nth request with an unexpected code
    bool mismatchType = false;         // poll answers carry answer type 2
    std::uint32_t delayMs = 0;         // every answer leaves this much later
    bool silent = false;               // stop answering ...
    std::uint32_t silentAfter = 0;     // ... after this many answers
    std::uint32_t disconnectAfter = 0; // close the connection after N received reports
    // Block transfers; a block number of noBlock is off, each fault acts once.
    std::uint32_t outOfOrderBlock = noBlock; // when block n is due, send block n + 1 first
    std::uint32_t repeatBlock = noBlock;     // after block n is acknowledged, send it again
    std::uint32_t badCrcBlock = noBlock;     // block n goes out with a wrong CRC
    bool refuseBlocks = false;               // refuse every block transfer (0x51)
    std::uint8_t announceAnswer = 0x50;      // 0x52 or 0x53 refuse an announcement
    bool eepromFails = false;                // answer the last written block 0x62
    bool eepromForgets = false;              // acknowledge it, but keep the old configuration
    std::uint32_t resendFrom = noBlock;      // answer the first block 0xFFFF with 0x63 n ...
    bool resendAlways = false;               // ... and every one after it (a unit stuck in a resend loop)
    std::uint8_t busyCode = 0;               // 0x64 or 0xF0 before each block's acknowledgement
};

struct SimOptions {
    char family = 'K';                 // 'K' or 'M'
    std::uint8_t kind = 1;             // unit kind it reports (1 K-Series, 2 M-Series)
    std::uint8_t firmwareMajor = 1;
    std::uint8_t firmwareMinor = 23;
    std::string product = "ControlUnitK Simulator";
    std::uint16_t vendorId = 0xC251;
    std::uint16_t productId = 0x1C01;
    bool switchedOn = true;
    bool fahrenheit = false;           // status flag bit 0
    std::uint32_t errorBits = 0;
    std::uint8_t functionMode = 1;
    std::uint8_t pollAnswerCode = 0x50;// 0x50 or 0xF0
    // Frames of this many ms (USB full speed: 1): a request is taken in at
    // the next frame, its answer leaves at the one after. 0: no framing.
    std::uint32_t frameMs = 0;
    SimFaults faults;
};

// Options with the defaults of a family ('K' or 'M').
SimOptions defaultSimOptions(char family);

// Live state the monitor shows and the manual command changes. Manual
// control follows the polls: while the unit is switched off, a poll with the
// manual flag set puts the outputs and blower power under its command; a
// poll with the flag clear gives them back to the unit's own control (all
// off while switched off). Nothing else ends manual control: a unit whose
// polls stop keeps the last command's outputs.
struct SimLiveState {
    std::uint32_t outputs = 0;
    std::uint8_t blowerPower[2] = {};
    bool manual = false;               // the outputs follow the polls' command
    // For tests: polls received over all connections, and the last one's
    // command record (23 bytes K, 37 M).
    std::uint32_t polls = 0;
    std::uint8_t lastCommand[37] = {};
    bool lastPollManual = false;       // the last poll carried the manual flag
};

struct SimUnit;
struct SimSession;
struct SimReply;

// Block transfers (configuration, counters, protocol, programming) are served
// by a handler that the data sets plug in; it sees every request that is not
// a poll and is meant for this unit, and returns false to leave it unhandled
// (the unit then refuses it).
using SimBlockHandler = bool (*)(SimUnit& unit, SimSession& session, const std::uint8_t* request,
                                 SimReply& reply);

struct SimUnit {
    SimOptions options;
    SimBlockHandler blockHandler = nullptr;
    void* blockData = nullptr;         // the handler's own state
    std::mutex lock;                   // connections may overlap
    SimLiveState live;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::uint32_t requestsSeen = 0;    // over all connections
    // Optional clock for tests: seconds since start; negative uses the real one.
    double fixedSeconds = -1;
};

void initSimUnit(SimUnit& unit, const SimOptions& options);

// One connection's view: counters for the faults and the last answer sent.
struct SimSession {
    std::uint32_t requests = 0;
    // For the block handler: the transfer under way on this connection.
    std::uint8_t blockCommand = 0;
    std::uint32_t blockIndex = 0;
    bool blockDone = false;
    std::uint32_t nextWriteBlock = 0;  // block a write continues with
    std::vector<std::uint8_t> blockBuffer;
    std::uint32_t faultsDone = 0;      // block faults that have acted (bits)
    std::uint32_t answers = 0;
    bool haveLastAnswer = false;
    std::uint8_t lastAnswer[simReportSize] = {};
};

// What to do with one request report.
struct SimReply {
    int count = 0;                         // reports to send, in order
    std::uint8_t reports[2][simReportSize] = {};
    std::uint32_t delayMs = 0;             // before sending them
    bool disconnect = false;               // close the connection afterwards
};

SimReply answerRequest(SimUnit& unit, SimSession& session, const std::uint8_t* request);

// Fills the reply with one answer report: sequence number of the request,
// answer code, and zeroed data (the helpers below and the handlers fill it).
std::uint8_t* addAnswer(SimReply& reply, const std::uint8_t* request, std::uint8_t code);
// Refusal 0x51 with the unit's kind and firmware.
void addRefusal(SimUnit& unit, SimReply& reply, const std::uint8_t* request);
// Whether a block request's payload (selector, family) is meant for this
// unit: family byte = own kind, selector 3 for the K-Series configuration and
// 1 for everything else.
bool blockRequestIsMine(const SimUnit& unit, const std::uint8_t* request);

// The monitor status record the unit would send now (23 bytes K, 37 M),
// written from out[0]; returns its length.
std::size_t buildStatusRecord(SimUnit& unit, std::uint8_t* out);

// Firmware version word of the status record: nibbles major, minor tens,
// minor ones (1.23 gives 0x0123).
std::uint16_t firmwareWord(std::uint8_t major, std::uint8_t minor);

// Status record lengths and offsets of the two families.
inline constexpr std::size_t statusLengthK = 23;
inline constexpr std::size_t statusLengthM = 37;
