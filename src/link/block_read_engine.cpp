#include "link/block_read_engine.h"

#include <cstring>

#include "base/crc16.h"
#include "link/engine_io.h"
#include "link/link_state.h"
#include "link/notifications.h"

namespace {

// What one data answer asks of the engine.
enum class BlockVerdict {
    stored,      // accepted: acknowledge it
    reRequested, // out of order or bad CRC: outReport holds the re-request
    tooLarge,    // would not fit the destination
};

// The data field holds 48 bytes: a larger block size cannot be carried, and
// its CRC would lie outside the report.
std::size_t effectiveBlockSize(const LinkRequest& request)
{
    return request.blockSize > blockDataField ? blockDataField : request.blockSize;
}

BlockVerdict takeBlock(const LinkRequest& request, std::uint32_t blockIndex)
{
    const std::uint16_t number = readLe16(lastAnswer + inBlockNumber);
    if (number != blockIndex && number != lastBlockNumber) {
        outReport[outCommand] = cmdResendFrom;
        writeLe16(outReport + outBlockNumber, static_cast<std::uint16_t>(blockIndex & 0xFFFF));
        return BlockVerdict::reRequested;
    }
    const std::size_t size = effectiveBlockSize(request);
    if (lastAnswer[inCode] == ansProtocol && request.crcSelector > crcCheckAbove &&
        crc16(lastAnswer + inBlockData, size) != readLe16(lastAnswer + inBlockData + size)) {
        outReport[outCommand] = cmdResendLast;
        return BlockVerdict::reRequested;
    }
    // The block's own data must fit; the rest of the 48-byte field (which
    // the next block overwrites when blocks are smaller) is clipped.
    const std::uint64_t offset = static_cast<std::uint64_t>(size) * blockIndex;
    if (!request.data || offset + size > request.dataCapacity)
        return BlockVerdict::tooLarge;
    std::uint64_t stored = request.dataCapacity - offset;
    if (stored > blockDataField)
        stored = blockDataField;
    std::memcpy(request.data + offset, lastAnswer + inBlockData, static_cast<std::size_t>(stored));
    return BlockVerdict::stored;
}

// The answer to a data block: stores and acknowledges it, asks for it again,
// or ends the transfer when it would not fit.
BlockReadState afterBlock(EngineIo& io, const LinkRequest& request, std::uint32_t& blockIndex,
                          bool& lastBlockAccepted)
{
    switch (takeBlock(request, blockIndex)) {
    case BlockVerdict::tooLarge:
        postNotification(WM_LINK_END, endCommunicationLost, 0);
        return readFinished;
    case BlockVerdict::reRequested:
        break;
    case BlockVerdict::stored:
        postNotificationWithBytesInWParam(WM_LINK_DATA, lastAnswer + inBlockHeader, blockHeaderSize, blockIndex);
        outReport[outCommand] = cmdBlockAccepted;
        lastBlockAccepted = readLe16(lastAnswer + inBlockNumber) == lastBlockNumber;
        ++blockIndex;
        break;
    }
    nextSequenceNumber();
    io.writeAttempts = 0;
    return readSend;
}

} // namespace

void blockReadEngine(LinkRequest* request)
{
    EngineIo io;
    if (!beginEngine())
        return;

    BlockReadState state = readPrepare;
    std::uint32_t blockIndex = 0;
    bool lastBlockAccepted = false;
    for (;;) {
        switch (state) {
        case readPrepare:
            prepareRequest(io, *request, blockRequestPayload);
            blockIndex = 0;
            lastBlockAccepted = false;
            state = readSend;
            break;
        case readSend:
            switch (sendRequest(io, blockReadPendingSliceMs)) {
            case Step::stopped:
                return;
            case Step::proceed:
                state = readAwait;
                break;
            default:
                state = readFinished;
                break;
            }
            break;
        case readAwait: {
            // The acknowledgement of the last block is out: no answer follows.
            if (lastBlockAccepted) {
                postNotification(WM_LINK_END, endCompleted, 0);
                state = readFinished;
                break;
            }
            const Step step = awaitOwnAnswer(io, maxForeignAnswers);
            if (step == Step::stopped)
                return;
            const std::uint8_t code = lastAnswer[inCode];
            if (step == Step::resend) {
                state = readSend;
            } else if (code == ansRefused) {
                postWithAnswer(WM_LINK_END, endWrongUnit);
                state = readFinished;
            } else if (code != ansConfiguration && code != ansProtocol && code != ansCounters) {
                nextSequenceNumber();
                state = readSend;
            } else {
                state = afterBlock(io, *request, blockIndex, lastBlockAccepted);
            }
            break;
        }
        case readFinished:
            waitForStop();
            return;
        }
    }
}
