#include "link/block_write_engine.h"

#include <cstring>

#include "link/engine_io.h"
#include "link/link_state.h"
#include "link/notifications.h"

namespace {

// A block ends at report byte 64.
constexpr std::size_t maxWriteBlockSize = reportSize - outBlockData;

// Builds the data report of block number; returns the number it carries:
// the last block (the first one with fewer than s source bytes left) is
// padded with 0xFF and numbered 0xFFFF.
std::uint32_t buildDataBlock(const LinkRequest& request, std::uint32_t number)
{
    const std::size_t size = request.blockSize > maxWriteBlockSize ? maxWriteBlockSize : request.blockSize;
    const std::uint64_t offset = static_cast<std::uint64_t>(size) * number;
    std::size_t copied = 0;
    if (request.data && offset < request.totalLength) {
        const std::uint64_t left = request.totalLength - offset;
        copied = left < size ? static_cast<std::size_t>(left) : size;
        std::memcpy(outReport + outBlockData, request.data + offset, copied);
    }
    std::memset(outReport + outBlockData + copied, 0xFF, size - copied);
    // A block size of 0 could never be short: its first block ends the data.
    if (copied < size || size == 0)
        number = lastBlockNumber;
    outReport[outReportId] = 0;
    outReport[outCommand] = request.dataCommand;
    outReport[outSubCode] = request.subCode;
    writeLe16(outReport + outBlockNumber, static_cast<std::uint16_t>(number));
    return number;
}

} // namespace

void blockWriteEngine(LinkRequest* request)
{
    EngineIo io;
    if (!beginEngine(io))
        return;

    std::uint8_t state = writePrepareAnnouncement;
    std::uint32_t blockNumber = 0;
    bool finalStatePosted = false;
    auto finish = [&](std::uint32_t code, std::intptr_t lParam) {
        postNotification(WM_LINK_END, code, lParam);
        state = writeFinished;
    };
    for (;;) {
        if (!finalStatePosted && state == request->finalState) {
            finalStatePosted = true;
            postNotification(WM_LINK_ABORT, request->command, addressParam(lastAnswer + 4));
            state = writeFinished;
        }
        switch (state) {
        case writePrepareAnnouncement:
            nextSequenceNumber();
            outReport[outReportId] = 0;
            outReport[outCommand] = request->command;
            outReport[outSubCode] = request->subCode;
            std::memcpy(outReport + outPayload, request->payload, blockRequestPayload);
            io.writeAttempts = 0;
            blockNumber = 0;
            state = writeSendAnnouncement;
            break;
        case writeSendAnnouncement:
        case writeSendBlock:
            switch (sendPass(io, pendingIoSliceMs)) {
            case sendWritten:
                state = state == writeSendAnnouncement ? writeAwaitAnnouncement : writeAwaitBlock;
                break;
            case sendAgain:
                break;
            case sendLimit:
                finish(endCommunicationLost, 0);
                break;
            case sendGone:
                finish(endDeviceGone, 0);
                break;
            case sendStopped:
                return;
            }
            break;
        case writeAwaitAnnouncement: {
            if (!awaitAnswer())
                return;
            if (lastAnswer[inSequence] != sequenceNumber) {
                if (++io.foreignAnswers > maxForeignAnswers) {
                    nextSequenceNumber();
                    state = writeSendAnnouncement;
                }
                break;
            }
            switch (lastAnswer[inCode]) {
            case ansOk:
                state = writePrepareBlock;
                break;
            case ansRefused:
                finish(endWrongUnit, addressParam(lastAnswer + 4));
                break;
            case ansBusy:
                finish(endCompleted, 0);
                break;
            case ansRejected:
                finish(endRejected, addressParam(lastAnswer + 4));
                break;
            case ansStatus:
                break;   // the unit is busy: wait for its next answer
            default:
                nextSequenceNumber();
                state = writeSendAnnouncement;
                break;
            }
            break;
        }
        case writePrepareBlock:
            nextSequenceNumber();
            io.writeAttempts = 0;
            blockNumber = buildDataBlock(*request, blockNumber);
            state = writeSendBlock;
            break;
        case writeAwaitBlock:
            if (!awaitAnswer())
                return;
            if (lastAnswer[inSequence] != sequenceNumber) {
                if (++io.foreignAnswers > maxForeignDataAnswers) {
                    nextSequenceNumber();
                    state = writeSendBlock;
                }
                break;
            }
            switch (lastAnswer[inCode]) {
            case ansBlockStored:
            case ansBlockStoredToo:
                if (blockNumber == lastBlockNumber) {
                    finish(endProgrammed, 0);
                } else {
                    ++blockNumber;
                    postNotification(WM_LINK_DATA, blockNumber, 0);
                    state = writePrepareBlock;
                }
                break;
            case ansWriteFailed:
                finish(endWriteFailed, 0);
                break;
            case ansSendAgainFrom:
                blockNumber = readLe16(lastAnswer + inRewriteBlock);
                state = writePrepareBlock;
                break;
            case ansWait:
            case ansStatus:
                break;
            default:
                nextSequenceNumber();
                state = writeSendBlock;
                break;
            }
            break;
        case writeFinished:
        default:
            waitForStop();
            return;
        }
    }
}
