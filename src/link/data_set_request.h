#pragma once
// The requests for the unit's data sets, the data that moves in numbered
// blocks: every window and kavix-cli fills the request record through these,
// so that a data set is asked for the same way everywhere.
#include <cstdint>

struct LinkRequest;

enum class DataSet {
    configuration,  // the parameter block (command 0x35; programmed with 0x29)
    counters,       // the running counters (0x3B)
    protocol,       // the failure protocol (0x36)
};

// Data bytes per block: the protocol's entries come in 48-byte blocks, the
// rest in 32-byte ones.
constexpr std::uint8_t dataSetBlockSize(DataSet set) { return set == DataSet::protocol ? 48 : 32; }

// Reading the data set from a unit of the family numbered unitKind (1
// K-Series, 2 M-Series) into destination, at most capacity bytes, with
// blockReadEngine.
void setDataSetRead(LinkRequest& request, DataSet set, std::uint8_t unitKind, std::uint8_t* destination,
                    std::uint32_t capacity);

// Programming the configuration block (length bytes) into a unit of
// unitKind with blockWriteEngine, which reads the block while it runs.
void setConfigurationProgram(LinkRequest& request, std::uint8_t unitKind, std::uint8_t* block,
                             std::uint32_t length);
