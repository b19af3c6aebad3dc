#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_state.h"

// States of the block-read engine; numbered, as the poll engine's.
enum BlockReadState {
    readPrepare = 0,
    readSend = 1,
    readAwait = 2,
    readFinished = 3,
};

// Answer bytes 3 to 10 of an accepted block, as WM_LINK_DATA carries them:
// total blocks at 2-3, block number at 4-5, item count at 6-7.
inline constexpr std::size_t blockHeaderSize = 8;
inline constexpr std::size_t headerTotalBlocks = 2;
inline constexpr std::size_t headerBlockNumber = 4;
inline constexpr std::size_t headerItemCount = 6;

// CRC selectors above this value make 0x36 blocks CRC-checked.
inline constexpr std::uint8_t crcCheckAbove = 2;

// Fetches a data set (configuration 0x35, protocol 0x36, counters 0x3B) in
// acknowledged blocks into request->data: block i at blockSize * i, at most
// request->dataCapacity bytes. Posts WM_LINK_DATA (block header, block index)
// per accepted block and WM_LINK_END 5 after acknowledging the last one;
// 1 on a refusal, 0 after 20 failed write passes or when a block would not
// fit the destination, 4 when the device is gone.
void blockReadEngine(LinkRequest* request);
