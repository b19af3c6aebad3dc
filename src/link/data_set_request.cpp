#include "link/data_set_request.h"

#include "link/link_state.h"

namespace {

constexpr std::uint8_t kSeriesUnitKind = 1;

// Payload byte 0 selects the data set: the K-Series keeps its configuration
// as data set 3, everything else is data set 1.
std::uint8_t dataSetSelector(DataSet set, std::uint8_t unitKind)
{
    return set == DataSet::configuration && unitKind == kSeriesUnitKind ? 3 : 1;
}

std::uint8_t readCommand(DataSet set)
{
    switch (set) {
    case DataSet::configuration:
        return cmdReadConfiguration;
    case DataSet::counters:
        return cmdReadCounters;
    case DataSet::protocol:
        return cmdReadProtocol;
    }
    return cmdReadConfiguration;
}

// What every block transfer of a data set shares: its command, the data set,
// the unit's family number, a zero, and the block size. Payload bytes 3 to 19
// go out as the record holds them (after a monitor, the tail of its command
// record), as they always have: the unit's requests name only bytes 0 to 2.
void setBlockTransfer(LinkRequest& request, std::uint8_t commandCode, DataSet set, std::uint8_t unitKind)
{
    request.command = commandCode;
    request.subCode = 0;
    request.payload[0] = dataSetSelector(set, unitKind);
    request.payload[1] = unitKind;
    request.payload[2] = 0;
    request.blockSize = dataSetBlockSize(set);
}

} // namespace

void setDataSetRead(LinkRequest& request, DataSet set, std::uint8_t unitKind, std::uint8_t* destination,
                    std::uint32_t capacity)
{
    setBlockTransfer(request, readCommand(set), set, unitKind);
    request.data = destination;
    request.dataCapacity = capacity;
    // The selector stays on this side of the link; it only asks the engine
    // to check the CRC of protocol blocks, which it does above 2. The
    // family number keeps the check off for every data set: the unit's part
    // of the exchange does not promise a valid block CRC, and a block that
    // failed the check would be asked for again without limit.
    request.crcSelector = unitKind;
}

void setConfigurationProgram(LinkRequest& request, std::uint8_t unitKind, std::uint8_t* block,
                             std::uint32_t length)
{
    setBlockTransfer(request, cmdAnnounceWrite, DataSet::configuration, unitKind);
    request.dataCommand = cmdWriteBlock;
    request.data = block;
    request.totalLength = length;
    request.finalState = 0xFF;   // no early end: the write runs to the last block
}
