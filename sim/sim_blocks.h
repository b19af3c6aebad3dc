#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim_unit.h"

// Block transfers of the simulated unit. Block read: the unit sends a data
// set one block per answer (answer code = request command, total blocks,
// block number with 0xFFFF for the last, item count, s data bytes and their
// CRC-16), the next after 0x60, again from a block after 0x63, the last one
// again after 0x64. Block write: 0x29 is accepted with 0x50, each 0x2A block
// of 32 bytes with 0x60; block 0xFFFF completes the programming.
//
// The data sets are plain bytes; their layouts belong to the features that
// read them (configuration, running counters, failure protocol).

struct SimDataSet {
    std::vector<std::uint8_t> bytes;
    std::uint8_t blockSize = 32;   // data bytes per block (at most 48)
    std::uint16_t items = 0;       // item count sent with every block
    bool present = false;          // a request for an absent set is refused
};

struct SimBlockStore {
    SimDataSet configuration;      // 0x35; also what programming replaces
    SimDataSet counters;           // 0x3B
    SimDataSet protocol;           // 0x36
    std::uint32_t programmings = 0;// completed block writes
    std::string eepromFile;        // where a programmed configuration is kept, if set
};

inline constexpr std::uint8_t simWriteBlockSize = 32;

// Sets the data set of a read command (0x35, 0x36, 0x3B).
void setSimDataSet(SimBlockStore& store, std::uint8_t command, const std::vector<std::uint8_t>& bytes,
                   std::uint8_t blockSize, std::uint16_t items);

// Makes the unit serve block transfers from this store (which must outlive
// it). Access the store under unit.lock while a server runs.
void useBlockStore(SimUnit& unit, SimBlockStore& store);
