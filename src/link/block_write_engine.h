#pragma once
#include <cstdint>

#include "link/link_state.h"

// States of the block-write engine, numbered as the request's final state
// counts them.
enum BlockWriteState : std::uint8_t {
    writePrepareAnnouncement = 0,
    writeSendAnnouncement = 1,
    writeAwaitAnnouncement = 2,
    writePrepareBlock = 3,
    writeSendBlock = 4,
    writeAwaitBlock = 5,
    writeFinished = 10,
};

// Foreign answers tolerated per data report before it is sent again.
inline constexpr int maxForeignDataAnswers = 100;

// Programs request->totalLength bytes from request->data into the unit:
// announcement (request->command with the 20 payload bytes), then data
// blocks (request->dataCommand) of blockSize bytes padded with 0xFF, the
// last one numbered 0xFFFF. Posts WM_LINK_DATA (blocks acknowledged, 0) per
// acknowledged block but the last, and WM_LINK_END 3 once the last one is
// acknowledged; 1, 5, 6 for the announcement's refusals, 2 for a failed
// EEPROM write, 0 and 4 as every engine. Reaching request->finalState posts
// WM_LINK_ABORT (command, the answer from byte 4 on).
void blockWriteEngine(LinkRequest* request);
