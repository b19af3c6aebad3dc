#pragma once
#include <cstddef>
#include <cstdint>

#include "app/family.h"

// The protocol-read window's bookkeeping, apart from the window: the first
// block sets the progress range and the announced count, every accepted
// block adds to what was delivered, and the end code decides what is shown
// and whether the protocol becomes available.
struct ProtocolReadout {
    Family family;
    std::size_t capacity;          // bytes of the protocol buffer
    bool firstBlockSeen;
    std::int32_t announcedCount;   // item count of the first block
    std::int32_t totalBlocks;      // total blocks of the first block
    std::uint32_t blocksAccepted;
    // Entries announced and wholly delivered so far. The window copies it
    // into protocolCount after every accepted block, so a read broken off
    // part-way never lets the display or a save read unreceived entries.
    std::int32_t count;
};

void startProtocolReadout(ProtocolReadout& readout, Family family, std::size_t capacity);

// One accepted block: header is the engine's 8-byte block header (total
// blocks in bytes 2-3, item count in bytes 6-7), blockIndex the index of
// the block. Returns true for the first block of the transfer: the window
// then sets the progress range 0 .. totalBlocks.
bool protocolBlockAccepted(ProtocolReadout& readout, const unsigned char* header,
                           std::uint32_t blockIndex);

enum class ReadoutMessage {
    none,              // nothing shown
    communicationLost, // text 66, error icon
    wrongUnit,         // the family's wrong-unit message
    usbError,          // "USB-Error !", error icon
    noEntries,         // text 97, information icon
    entriesRead,       // count followed by text 98, information icon
};

struct ReadoutEnd {
    ReadoutMessage message;
    std::int32_t count;        // the new protocolCount
    bool protocolAvailable;    // display and save usable
    bool autoDisplay;          // open the display when the window is gone
};

// The end of the transfer (the link's end code). Every end makes the
// protocol unavailable except a complete read with at least one entry.
ReadoutEnd protocolReadoutEnded(const ProtocolReadout& readout, int endCode);

// "<count><text 98>", e.g. "12 protocol-items read !", into out (capacity
// bytes, always terminated).
void formatEntriesRead(std::int32_t count, const char* text98, char* out, std::size_t capacity);
