#include "sim_blocks.h"

#include <cstring>

#include "base/crc16.h"
#include "link/report_format.h"
#include "sim_data_sets.h"

namespace {

// SimSession::faultsDone bits.
constexpr std::uint32_t didOutOfOrder = 1;
constexpr std::uint32_t didRepeat = 2;
constexpr std::uint32_t didBadCrc = 4;
constexpr std::uint32_t didResendFrom = 8;

SimDataSet* dataSetFor(SimBlockStore& store, std::uint8_t command)
{
    switch (command) {
    case cmdReadConfiguration:
        return &store.configuration;
    case cmdReadProtocol:
        return &store.protocol;
    case cmdReadCounters:
        return &store.counters;
    default:
        return nullptr;
    }
}

std::uint32_t blockCount(const SimDataSet& set)
{
    const std::uint32_t size = set.blockSize;
    const std::uint32_t count = static_cast<std::uint32_t>((set.bytes.size() + size - 1) / size);
    return count == 0 ? 1 : count;
}

// Acts once: true the first time the fault's bit is claimed.
bool claimFault(SimSession& session, std::uint32_t bit)
{
    if (session.faultsDone & bit)
        return false;
    session.faultsDone |= bit;
    return true;
}

void addDataBlock(const SimFaults& faults, SimSession& session, const SimDataSet& set, std::uint8_t command,
                  std::uint32_t index, const std::uint8_t* request, SimReply& reply)
{
    std::uint8_t* answer = addAnswer(reply, request, command);
    const std::uint32_t total = blockCount(set);
    writeLe16(answer + inBlockTotal, static_cast<std::uint16_t>(total));
    writeLe16(answer + inBlockNumber, index + 1 >= total ? lastBlockNumber : static_cast<std::uint16_t>(index));
    writeLe16(answer + inBlockItems, set.items);
    const std::size_t size = set.blockSize;
    const std::size_t offset = static_cast<std::size_t>(index) * size;
    for (std::size_t i = 0; i < size && offset + i < set.bytes.size(); ++i)
        answer[inBlockData + i] = set.bytes[offset + i];
    std::uint16_t crc = crc16(answer + inBlockData, size);
    if (index == faults.badCrcBlock && claimFault(session, didBadCrc))
        crc = static_cast<std::uint16_t>(crc ^ 0x5A5A);
    writeLe16(answer + inBlockData + size, crc);
}

// The block the unit sends next; the out-of-order fault skips ahead once
// (never onto the last block, which the program accepts anywhere).
std::uint32_t blockToSend(const SimFaults& faults, SimSession& session, std::uint32_t due, std::uint32_t total)
{
    if (due == faults.outOfOrderBlock && due + 2 < total && claimFault(session, didOutOfOrder))
        return due + 1;
    return due;
}

bool serveRead(const SimFaults& faults, SimBlockStore& store, SimSession& session, const std::uint8_t* request,
               SimReply& reply)
{
    const std::uint8_t command = request[outCommand];
    if (command == cmdReadConfiguration || command == cmdReadProtocol || command == cmdReadCounters) {
        SimDataSet* set = dataSetFor(store, command);
        session.blockDone = true;   // a new request ends any transfer under way
        if (!set->present)
            return false;
        session.blockCommand = command;
        session.blockDone = false;
        session.blockIndex = blockToSend(faults, session, 0, blockCount(*set));
        addDataBlock(faults, session, *set, command, session.blockIndex, request, reply);
        return true;
    }
    SimDataSet* set = dataSetFor(store, session.blockCommand);
    if (!set || session.blockDone)
        return false;
    const std::uint32_t total = blockCount(*set);
    switch (command) {
    case cmdBlockAccepted:
        if (session.blockIndex + 1 >= total) {
            // The last block is acknowledged: the transfer is over and the
            // program expects no further answer.
            session.blockDone = true;
            return true;
        }
        if (!(session.blockIndex == faults.repeatBlock && claimFault(session, didRepeat)))
            session.blockIndex = blockToSend(faults, session, session.blockIndex + 1, total);
        break;
    case cmdResendFrom: {
        const std::uint32_t from = readLe16(request + outBlockNumber);
        session.blockIndex = from < total ? from : total - 1;
        break;
    }
    case cmdResendLast:
        break;
    default:
        return false;
    }
    addDataBlock(faults, session, *set, session.blockCommand, session.blockIndex, request, reply);
    return true;
}

bool serveWrite(const SimFaults& faults, SimBlockStore& store, SimSession& session, const std::uint8_t* request,
                SimReply& reply)
{
    const std::uint8_t command = request[outCommand];
    if (command == cmdAnnounceWrite) {
        session.blockCommand = cmdAnnounceWrite;
        session.blockBuffer.clear();
        session.nextWriteBlock = 0;
        session.blockDone = faults.announceAnswer != ansOk;
        addAnswer(reply, request, faults.announceAnswer);
        return true;
    }
    if (command != cmdWriteBlock || session.blockCommand != cmdAnnounceWrite || session.blockDone)
        return false;
    const std::uint16_t number = readLe16(request + outBlockNumber);
    const bool last = number == lastBlockNumber;
    if (last && faults.resendFrom != noBlock && (claimFault(session, didResendFrom) || faults.resendAlways)) {
        session.nextWriteBlock = faults.resendFrom;
        writeLe16(addAnswer(reply, request, ansSendAgainFrom) + inRewriteBlock,
                  static_cast<std::uint16_t>(faults.resendFrom));
        return true;
    }
    // Block numbers count 32-byte blocks; the last one carries 0xFFFF and
    // follows the block written before it.
    const std::uint32_t index = last ? session.nextWriteBlock : number;
    const std::size_t offset = static_cast<std::size_t>(index) * simWriteBlockSize;
    if (offset > 0x10000)
        return false;
    session.blockBuffer.resize(offset + simWriteBlockSize, 0xFF);
    std::memcpy(session.blockBuffer.data() + offset, request + outBlockData, simWriteBlockSize);
    session.nextWriteBlock = index + 1;
    if (faults.busyCode != 0)
        addAnswer(reply, request, faults.busyCode);
    if (!last) {
        addAnswer(reply, request, ansBlockStored);
        return true;
    }
    session.blockDone = true;
    if (faults.eepromFails) {
        addAnswer(reply, request, ansWriteFailed);
        return true;
    }
    if (faults.eepromForgets) {
        addAnswer(reply, request, ansBlockStored);
        return true;
    }
    // The unit keeps as many bytes as its configuration has.
    std::vector<std::uint8_t>& target = store.configuration.bytes;
    const std::size_t keep = target.empty() ? session.blockBuffer.size() : target.size();
    session.blockBuffer.resize(keep, 0xFF);
    target = session.blockBuffer;
    store.configuration.present = true;
    ++store.programmings;
    if (!store.eepromFile.empty() && !saveEepromImage(store.eepromFile, target)) {
        addAnswer(reply, request, ansWriteFailed);
        return true;
    }
    addAnswer(reply, request, ansBlockStored);
    return true;
}

bool serveBlocks(SimUnit& unit, SimSession& session, const std::uint8_t* request, SimReply& reply)
{
    auto* store = static_cast<SimBlockStore*>(unit.blockData);
    const SimFaults& faults = unit.options.faults;
    if (!store || faults.refuseBlocks)
        return false;
    const std::uint8_t command = request[outCommand];
    if (command == cmdAnnounceWrite || command == cmdWriteBlock)
        return serveWrite(faults, *store, session, request, reply);
    return serveRead(faults, *store, session, request, reply);
}

} // namespace

void setSimDataSet(SimBlockStore& store, std::uint8_t command, const std::vector<std::uint8_t>& bytes,
                   std::uint8_t blockSize, std::uint16_t items)
{
    SimDataSet* set = dataSetFor(store, command);
    if (!set)
        return;
    set->bytes = bytes;
    set->blockSize = blockSize == 0 || blockSize > blockDataField ? static_cast<std::uint8_t>(blockDataField) : blockSize;
    set->items = items;
    set->present = true;
}

void useBlockStore(SimUnit& unit, SimBlockStore& store)
{
    std::lock_guard<std::mutex> hold(unit.lock);
    unit.blockData = &store;
    unit.blockHandler = serveBlocks;
}
