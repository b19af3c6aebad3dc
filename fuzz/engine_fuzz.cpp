// The three transaction engines fed any sequence of answers: the reader and
// one engine run on their threads against an in-memory unit that answers each
// written report from the input bytes. Every run must end (the harness then
// sets linkStop through stopLink), never touch memory outside the request's
// buffers, store no block-read data past dataCapacity, and claim success only
// after the last block.
//
// Input: a 6-byte header choosing the engine and its request, then one record
// per report the engine writes:
//   control byte: bits 0-2 write outcome (0-3 done, 4 pending then done,
//                 5 failed, 6 pending then failed, 7 device gone),
//                 bits 3-5 number of answers (0: the unit falls silent)
//   per answer 5 bytes: mode, value, shape, low, high (see buildAnswer).
// When the input runs out the unit is gone.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

#include "base/crc16.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link/device_backend.h"
#include "link/device_discovery.h"
#include "link/engine_io.h"
#include "link/link_control.h"
#include "link/link_state.h"
#include "link/notifications.h"
#include "link/poll_engine.h"

namespace {

enum class EngineKind { poll, read, write };

struct Answer {
    std::uint8_t bytes[reportSize];
};

// The unit: answers are queued when a write succeeds and handed to the
// reader's reads in order.
struct ScriptUnit {
    std::mutex lock;
    const std::uint8_t* input = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    EngineKind kind = EngineKind::poll;
    std::deque<Answer> queue;
    bool gone = false;           // reads and writes report the unit gone
    bool silent = false;         // a write went unanswered: the harness takes the unit away
    bool pendingWriteOk = false;
    std::uint8_t* readBuffer = nullptr;
    bool readOk = false;
    // The unit's transfer events; a pending write completes at once.
    LinkEvent readDone{EventReset::manual};
    LinkEvent writeDone{EventReset::manual};
    // What the unit knows of the transfer, from the reports written.
    std::uint8_t writtenSequence = 0;
    std::uint8_t writtenCommand = 0;
    std::uint32_t nextBlock = 0;
    int foreignSinceWrite = 0;
    bool engineWillWrite = true;  // after the last answer handed over
    bool lastWriteWasFinalBlock = false;
    int handle = 0;
};

ScriptUnit unit;

std::uint8_t nextByte()
{
    return unit.at < unit.size ? unit.input[unit.at++] : 0;
}

bool inputLeft() { return unit.at < unit.size; }

constexpr std::uint8_t answerCodes[15] = {
    ansConfiguration, ansProtocol, ansCounters, ansOk, ansRefused, ansBusy, ansRejected,
    ansBlockStored, ansBlockStoredToo, ansWriteFailed, ansSendAgainFrom, ansWait, ansStatus, 0x00, 0x29,
};

// One answer from 5 input bytes:
//   mode:  bits 0-1 sequence (echo, echo - 1, echo + 1, value), bits 2-5 code
//          (answerCodes, 15 = value)
//   value: raw sequence or code, and the fill of the data bytes
//   shape: bits 0-1 block number (next due, 0xFFFF, next due + 1, low/high),
//          bit 2 correct CRC, bit 3 poll answer type and unit kind as expected,
//          bit 4 total blocks 0xFFFF (else low), bit 5 item count 0xFFFF (else high)
void buildAnswer(const LinkRequest& request, Answer& answer)
{
    const std::uint8_t mode = nextByte();
    const std::uint8_t value = nextByte();
    const std::uint8_t shape = nextByte();
    const std::uint8_t low = nextByte();
    const std::uint8_t high = nextByte();
    std::uint8_t* r = answer.bytes;
    for (std::size_t i = 0; i < reportSize; ++i)
        r[i] = static_cast<std::uint8_t>(value ^ (i * 37));
    r[0] = 0;
    switch (mode & 3) {
    case 0: r[inSequence] = unit.writtenSequence; break;
    case 1: r[inSequence] = static_cast<std::uint8_t>(unit.writtenSequence - 1); break;
    case 2: r[inSequence] = static_cast<std::uint8_t>(unit.writtenSequence + 1); break;
    default: r[inSequence] = value; break;
    }
    const int code = (mode >> 2) & 15;
    r[inCode] = code < 15 ? answerCodes[code] : value;
    writeLe16(r + inBlockTotal, (shape & 0x10) ? 0xFFFF : low);
    switch (shape & 3) {
    case 0: writeLe16(r + inBlockNumber, static_cast<std::uint16_t>(unit.nextBlock)); break;
    case 1: writeLe16(r + inBlockNumber, lastBlockNumber); break;
    case 2: writeLe16(r + inBlockNumber, static_cast<std::uint16_t>(unit.nextBlock + 1)); break;
    default: writeLe16(r + inBlockNumber, static_cast<std::uint16_t>(low | (high << 8))); break;
    }
    writeLe16(r + inBlockItems, (shape & 0x20) ? 0xFFFF : high);
    if (shape & 4) {
        const std::size_t s = request.blockSize > blockDataField ? blockDataField : request.blockSize;
        writeLe16(r + inBlockData + s, crc16(r + inBlockData, s));
    }
    if (shape & 8) {
        r[inAnswerType] = request.expectedAnswerType;
        r[inUnitKind] = request.expectedUnitKind;
    }
    if (unit.kind == EngineKind::write && r[inCode] == ansSendAgainFrom)
        writeLe16(r + inRewriteBlock, static_cast<std::uint16_t>(low | ((high & 1) << 8)));
}

// Whether the engine, having taken this answer, sends again (or ends) rather
// than awaiting another answer. Lets the unit fall silent at once where the
// engine would wait for ever, instead of after a time-out.
bool engineWritesAfter(const std::uint8_t* answer)
{
    if (answer[inSequence] != unit.writtenSequence) {
        const bool data = unit.kind == EngineKind::write && unit.writtenCommand == cmdWriteBlock;
        return ++unit.foreignSinceWrite > (data ? maxForeignDataAnswers : maxForeignAnswers);
    }
    if (unit.kind != EngineKind::write)
        return true;
    const std::uint8_t code = answer[inCode];
    if (unit.writtenCommand == cmdAnnounceWrite)
        return code != ansStatus;
    return code != ansWait && code != ansStatus;
}

// Called with the lock held; returns whether a pending read ended (its
// event is set after unlocking).
bool completePendingRead()
{
    if (!unit.readBuffer)
        return false;
    if (!unit.queue.empty()) {
        std::memcpy(unit.readBuffer, unit.queue.front().bytes, reportSize);
        unit.engineWillWrite = engineWritesAfter(unit.queue.front().bytes);
        unit.queue.pop_front();
        unit.readOk = true;
    } else {
        unit.readOk = false;   // the reader starts a new read, which finds the unit gone
    }
    unit.readBuffer = nullptr;
    return true;
}

void listNothing(DeviceVisitor, void*) {}
DeviceHandle openUnit(const std::string&, bool) { return &unit.handle; }
bool noProduct(DeviceHandle, std::uint16_t*) { return false; }

void closeUnit(DeviceHandle)
{
    bool ended = false;
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        unit.gone = true;
        unit.queue.clear();
        ended = completePendingRead();
    }
    if (ended)
        setEvent(unit.readDone);
}

IoStatus startRead(DeviceHandle, std::uint8_t* report, LinkEvent** completion)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    if (!unit.queue.empty()) {
        std::memcpy(report, unit.queue.front().bytes, reportSize);
        unit.engineWillWrite = engineWritesAfter(unit.queue.front().bytes);
        unit.queue.pop_front();
        return IoStatus::done;
    }
    // An engine that waits for an answer which will not come would wait for
    // ever: the unit is gone instead.
    if (unit.gone || !unit.engineWillWrite) {
        unit.gone = true;
        return IoStatus::gone;
    }
    resetEvent(unit.readDone);
    unit.readBuffer = report;
    *completion = &unit.readDone;
    return IoStatus::pending;
}

IoStatus startWrite(DeviceHandle, const std::uint8_t* report, LinkEvent** completion)
{
    bool readEnded = false;
    IoStatus status = IoStatus::done;
    {
        std::lock_guard<std::mutex> hold(unit.lock);
        unit.foreignSinceWrite = 0;
        if (unit.gone || unit.silent || !inputLeft()) {
            unit.gone = true;
            status = IoStatus::gone;
        } else {
            const std::uint8_t control = nextByte();
            const int outcome = control & 7;
            if (outcome == 7) {
                unit.gone = true;
                status = IoStatus::gone;
            } else if (outcome == 5 || outcome == 6) {
                status = outcome == 5 ? IoStatus::failed : IoStatus::pending;
                unit.pendingWriteOk = false;
                unit.engineWillWrite = true;
            } else {
                status = outcome == 4 ? IoStatus::pending : IoStatus::done;
                unit.pendingWriteOk = true;
                unit.writtenSequence = report[outSequence];
                unit.writtenCommand = report[outCommand];
                unit.lastWriteWasFinalBlock =
                    report[outCommand] == cmdWriteBlock && readLe16(report + outBlockNumber) == lastBlockNumber;
                if (unit.kind == EngineKind::read) {
                    if (report[outCommand] == linkRequest.command)
                        unit.nextBlock = 0;
                    else if (report[outCommand] == cmdBlockAccepted)
                        ++unit.nextBlock;
                    else if (report[outCommand] == cmdResendFrom)
                        unit.nextBlock = readLe16(report + outBlockNumber);
                }
                const int answers = (control >> 3) & 7;
                for (int i = 0; i < answers; ++i) {
                    unit.queue.emplace_back();
                    buildAnswer(linkRequest, unit.queue.back());
                }
                unit.silent = answers == 0;
                if (answers > 0)
                    readEnded = completePendingRead();
            }
        }
    }
    if (readEnded)
        setEvent(unit.readDone);
    if (status == IoStatus::pending) {
        *completion = &unit.writeDone;
        setEvent(unit.writeDone);
    }
    return status;
}

bool readResult(DeviceHandle)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    return unit.readOk;
}

bool writeResult(DeviceHandle)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    return unit.pendingWriteOk;
}

void cancelWrite(DeviceHandle) {}

const DeviceBackend scriptBackend = {
    "fuzz", listNothing, openUnit, closeUnit, noProduct, startRead, startWrite, readResult, writeResult, cancelWrite,
};

// What the engines posted.
struct Outcome {
    std::mutex lock;
    std::condition_variable changed;
    bool ended = false;
    std::uint16_t lastDataBlock = 0;
    bool anyData = false;
    bool completed = false;            // end code 5 was posted
    bool programmedWithoutLastBlock = false;
};

Outcome outcome;

bool record(void*, const LinkNotification& notification)
{
    const std::uint32_t message = notification.message;
    const std::uintptr_t wParam = notification.wParam;
    const std::intptr_t lParam = notification.lParam;
    std::uint8_t answer[61];
    if (message == WM_LINK_DATA && unit.kind == EngineKind::poll) {
        std::memcpy(answer, reinterpret_cast<const void*>(lParam), sizeof answer);
        setEvent(answerProcessed);
    }
    if ((message == WM_LINK_END || message == WM_LINK_ABORT) && lParam != 0)
        std::memcpy(answer, reinterpret_cast<const void*>(lParam), sizeof answer);
    std::lock_guard<std::mutex> hold(outcome.lock);
    if (message == WM_LINK_DATA && unit.kind == EngineKind::read) {
        outcome.lastDataBlock = readLe16(reinterpret_cast<const std::uint8_t*>(wParam) + headerBlockNumber);
        outcome.anyData = true;
    }
    if (message == WM_LINK_END && wParam == endProgrammed) {
        std::lock_guard<std::mutex> holdUnit(unit.lock);
        outcome.programmedWithoutLastBlock = !unit.lastWriteWasFinalBlock;
    }
    if (message == WM_LINK_END && wParam == endCompleted)
        outcome.completed = true;
    if (message == WM_LINK_END || message == WM_LINK_ABORT)
        outcome.ended = true;
    outcome.changed.notify_all();
    return true;
}

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "engine fuzz: %s\n", what);
    std::abort();
}

bool waitForEnd(int ms)
{
    std::unique_lock<std::mutex> hold(outcome.lock);
    return outcome.changed.wait_for(hold, std::chrono::milliseconds(ms), [] { return outcome.ended; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t headerSize = 6;
    if (size < headerSize)
        return 0;
    static const bool installed = [] {
        setDeviceBackend(&scriptBackend);
        setNotificationPoster(record, nullptr);
        return true;
    }();
    (void)installed;

    // Header: engine, block size, capacity or length, CRC selector, variant.
    const EngineKind kind = static_cast<EngineKind>(data[0] % 3);
    const std::uint32_t length = readLe16(data + 2);
    const std::uint8_t variant = data[5];
    linkRequest = LinkRequest{};
    linkRequest.subCode = 0;
    linkRequest.blockSize = data[1];
    linkRequest.crcSelector = data[4];
    for (std::size_t i = 0; i < sizeof linkRequest.payload; ++i)
        linkRequest.payload[i] = static_cast<std::uint8_t>(i + 1);
    // The request's buffers are exactly as large as it says, so ASan sees
    // any access beyond them.
    std::unique_ptr<std::uint8_t[]> buffer;
    const bool noBuffer = (variant & 0x40) != 0;
    EngineProcedure engine = pollEngine;
    switch (kind) {
    case EngineKind::poll:
        linkRequest.command = cmdPoll;
        linkRequest.expectedAnswerType = 1;
        linkRequest.expectedUnitKind = static_cast<std::uint8_t>(1 + (variant & 1));
        break;
    case EngineKind::read: {
        static constexpr std::uint8_t commands[3] = {cmdReadConfiguration, cmdReadProtocol, cmdReadCounters};
        linkRequest.command = commands[(variant & 3) % 3];
        linkRequest.dataCapacity = length;
        buffer.reset(new std::uint8_t[length]);
        linkRequest.data = noBuffer ? nullptr : buffer.get();
        engine = blockReadEngine;
        break;
    }
    case EngineKind::write:
        linkRequest.command = cmdAnnounceWrite;
        linkRequest.dataCommand = cmdWriteBlock;
        linkRequest.totalLength = length % 1024;
        buffer.reset(new std::uint8_t[linkRequest.totalLength]);
        for (std::uint32_t i = 0; i < linkRequest.totalLength; ++i)
            buffer[i] = static_cast<std::uint8_t>(i);
        linkRequest.data = noBuffer ? nullptr : buffer.get();
        linkRequest.finalState = (variant & 0x80) ? static_cast<std::uint8_t>(variant & 0x0F) : 0xFF;
        engine = blockWriteEngine;
        break;
    }

    {
        std::lock_guard<std::mutex> hold(unit.lock);
        unit.input = data + headerSize;
        unit.size = size - headerSize;
        unit.at = 0;
        unit.kind = kind;
        unit.queue.clear();
        unit.gone = false;
        unit.silent = false;
        unit.readBuffer = nullptr;
        unit.readOk = false;
        unit.writtenSequence = 0;
        unit.writtenCommand = 0;
        unit.nextBlock = 0;
        unit.foreignSinceWrite = 0;
        unit.engineWillWrite = true;
        unit.lastWriteWasFinalBlock = false;
    }
    {
        std::lock_guard<std::mutex> hold(outcome.lock);
        outcome.ended = false;
        outcome.lastDataBlock = 0;
        outcome.anyData = false;
        outcome.completed = false;
        outcome.programmedWithoutLastBlock = false;
    }
    createLinkEvents();
    devicePath = "fuzz-unit";
    if (!startLinkThreads(engine, &linkRequest))
        finding("the link threads did not start");

    // Every input ends: the unit runs out of answers and is gone. A unit
    // that fell silent is taken away once the engine has had a moment to end
    // on its own; one the engine waits for unexpectedly, after a while.
    const auto start = std::chrono::steady_clock::now();
    while (!waitForEnd(2)) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited > std::chrono::seconds(5))
            finding("the transfer never ended");
        bool readEnded = false;
        {
            std::lock_guard<std::mutex> hold(unit.lock);
            if (unit.silent || waited > std::chrono::milliseconds(500)) {
                unit.gone = true;
                unit.queue.clear();
                readEnded = completePendingRead();
            }
        }
        if (readEnded)
            setEvent(unit.readDone);
    }
    const auto stopStart = std::chrono::steady_clock::now();
    stopLink();
    const auto stopMs = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - stopStart).count();
    if (!linkThreadsEnded() || stopMs >= stopLinkWaitMs)
        finding("stopLink did not end both threads within its bound");

    std::lock_guard<std::mutex> hold(outcome.lock);
    if (kind == EngineKind::read && outcome.completed &&
        (!outcome.anyData || outcome.lastDataBlock != lastBlockNumber))
        finding("block read completed without its last block");
    if (kind == EngineKind::write && outcome.programmedWithoutLastBlock)
        finding("block write reported programmed before the last block");
    return 0;
}
