#pragma once
#include <cstdint>
#include <filesystem>

#include "protocol/protocol_entries.h"

// Tab-separated protocol files, Windows-1252, CR LF line ends: a title line,
// a column line of the given text table (the current language), then one
// line per entry in buffer order. K-Series lines have no TAB after the last
// field; M-Series lines end every field, the last included, with a TAB.
// The file replaces any file at path only once it is complete: any failure
// returns false and leaves the previous file as it was.
bool writeProtocolCsvK(const std::filesystem::path& path, const ProtocolData& protocol,
                       const char* const* texts);
bool writeProtocolCsvM(const std::filesystem::path& path, const ProtocolData& protocol,
                       const char* const* texts);

// The writer of the family.
bool writeProtocolCsv(Family family, const std::filesystem::path& path,
                      const ProtocolData& protocol, const char* const* texts);
