#include "protocol/protocol_readout.h"

#include <cstring>

#include "protocol/field_format.h"
#include "base/le_bytes.h"
#include "protocol/protocol_entries.h"

void startProtocolReadout(ProtocolReadout& readout, Family family, std::size_t capacity)
{
    readout.family = family;
    readout.capacity = capacity;
    readout.firstBlockSeen = false;
    readout.announcedCount = 0;
    readout.totalBlocks = 0;
    readout.blocksAccepted = 0;
    readout.count = 0;
}

bool protocolBlockAccepted(ProtocolReadout& readout, const unsigned char* header,
                           std::uint32_t blockIndex)
{
    const bool first = !readout.firstBlockSeen;
    if (first) {
        // Header fields are the same in every block and read only once: the
        // engine may already have put a later block's header there.
        readout.totalBlocks = readLe16(header + 2);
        readout.announcedCount = readLe16(header + 6);
        readout.firstBlockSeen = true;
    }
    if (blockIndex != 0xFFFFFFFFu && blockIndex + 1 > readout.blocksAccepted)
        readout.blocksAccepted = blockIndex + 1;
    const std::uint64_t delivered =
        static_cast<std::uint64_t>(readout.blocksAccepted) * protocolBlockSize;
    readout.count = clampProtocolCount(
        readout.announcedCount, readout.family, readout.capacity,
        delivered < readout.capacity ? static_cast<std::size_t>(delivered) : readout.capacity);
    return first;
}

ReadoutEnd protocolReadoutEnded(const ProtocolReadout& readout, int endCode)
{
    ReadoutEnd end{ReadoutMessage::none, readout.count, false, false};
    switch (endCode) {
    case 0: end.message = ReadoutMessage::communicationLost; break;
    case 1: end.message = ReadoutMessage::wrongUnit; break;
    case 4: end.message = ReadoutMessage::usbError; break;
    case 5:
        if (readout.count != 0) {
            end.message = ReadoutMessage::entriesRead;
            end.protocolAvailable = true;
            end.autoDisplay = true;
        } else {
            end.message = ReadoutMessage::noEntries;
        }
        break;
    default: break;
    }
    return end;
}

void formatEntriesRead(std::int32_t count, const char* text98, char* out, std::size_t capacity)
{
    if (capacity == 0)
        return;
    char number[fieldTextMax];
    const std::size_t digits = static_cast<std::size_t>(appendDecimal(number, count) - number);
    const std::size_t tail = text98 ? std::strlen(text98) : 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < digits && used + 1 < capacity; ++i)
        out[used++] = number[i];
    for (std::size_t i = 0; i < tail && used + 1 < capacity; ++i)
        out[used++] = text98[i];
    out[used] = '\0';
}
