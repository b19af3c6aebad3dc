#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim_blocks.h"

// The data sets a simulated unit of one family serves: its EEPROM image of
// the parameter block (starting from the factory defaults), its running
// counters and a failure protocol of a chosen number of entries.

// Entries the protocol may have: as many as fit in 65,534 blocks of 48
// bytes, which is beyond what the program's 2 MiB buffer holds.
std::uint32_t maxProtocolEntries(char family);

std::vector<std::uint8_t> factoryConfiguration(char family);   // 62 bytes K, 74 M
std::vector<std::uint8_t> runningCounters(char family);        // 58 bytes K, 134 M
// Entries 0..count-1, deterministic and plausible: event counters 1, 2, ...,
// counters that only grow, error codes cycling through the family's kinds.
std::vector<std::uint8_t> failureProtocol(char family, std::uint32_t count);

// Fills every data set of the store: configuration (32-byte blocks, item
// count 1), counters (32-byte blocks, item count 1) and the protocol
// (48-byte blocks, item count = entries, at most 65,535).
void fillFamilyDataSets(SimBlockStore& store, char family, const std::vector<std::uint8_t>& configuration,
                        std::uint32_t protocolEntries);

// The EEPROM file holds the parameter block as it is. A missing file gives
// the factory defaults (and is created); a file of another size, a folder or
// a device is an error, with its message in error.
bool loadEepromImage(const std::string& path, char family, std::vector<std::uint8_t>& configuration,
                     std::string& error);
bool saveEepromImage(const std::string& path, const std::vector<std::uint8_t>& configuration);
