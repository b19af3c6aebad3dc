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
    startReport(request.dataCommand, request.subCode);
    writeLe16(outReport + outBlockNumber, static_cast<std::uint16_t>(number));
    return number;
}

} // namespace

void blockWriteEngine(LinkRequest* request)
{
    EngineIo io;
    if (!beginEngine())
        return;

    std::uint8_t state = writePrepareAnnouncement;
    std::uint32_t blockNumber = 0;
    bool finalStatePosted = false;
    auto finish = [&](std::uint32_t code) {
        postNotification(WM_LINK_END, code, 0);
        state = writeFinished;
    };
    auto finishWithAnswer = [&](std::uint32_t code) {
        postWithAnswer(WM_LINK_END, code);
        state = writeFinished;
    };
    for (;;) {
        if (!finalStatePosted && state == request->finalState) {
            finalStatePosted = true;
            postWithAnswer(WM_LINK_ABORT, request->command);
            state = writeFinished;
        }
        switch (state) {
        case writePrepareAnnouncement:
            prepareRequest(io, *request, blockRequestPayload);
            blockNumber = 0;
            state = writeSendAnnouncement;
            break;
        case writeSendAnnouncement:
        case writeSendBlock:
            switch (sendRequest(io, pendingIoSliceMs)) {
            case Step::stopped:
                return;
            case Step::proceed:
                state = state == writeSendAnnouncement ? writeAwaitAnnouncement : writeAwaitBlock;
                break;
            default:
                state = writeFinished;
                break;
            }
            break;
        case writeAwaitAnnouncement: {
            const Step step = awaitOwnAnswer(io, maxForeignAnswers);
            if (step == Step::stopped)
                return;
            if (step == Step::resend) {
                state = writeSendAnnouncement;
                break;
            }
            switch (lastAnswer[inCode]) {
            case ansOk:
                state = writePrepareBlock;
                break;
            case ansRefused:
                finishWithAnswer(endWrongUnit);
                break;
            case ansBusy:
                finish(endCompleted);
                break;
            case ansRejected:
                finishWithAnswer(endRejected);
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
        case writeAwaitBlock: {
            const Step step = awaitOwnAnswer(io, maxForeignDataAnswers);
            if (step == Step::stopped)
                return;
            if (step == Step::resend) {
                state = writeSendBlock;
                break;
            }
            switch (lastAnswer[inCode]) {
            case ansBlockStored:
            case ansBlockStoredToo:
                if (blockNumber == lastBlockNumber) {
                    finish(endProgrammed);
                } else {
                    ++blockNumber;
                    postNotification(WM_LINK_DATA, blockNumber, 0);
                    state = writePrepareBlock;
                }
                break;
            case ansWriteFailed:
                finish(endWriteFailed);
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
        }
        case writeFinished:
        default:
            waitForStop();
            return;
        }
    }
}
