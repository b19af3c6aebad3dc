#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "app/text_ids.h"

// Configuration files (.cbf): data version, unit kind, a 22-character magic,
// the parameter block byte for byte and its CRC-16, low byte first. The
// block is an opaque run of bytes here; only the windows interpret it.
struct ConfigFileFormat {
    std::uint8_t dataVersion;
    std::uint8_t unitKind;
    const char* magic;           // exactly configMagicLength characters
    std::size_t blockSize;
};

inline constexpr std::size_t configMagicLength = 22;
inline constexpr std::size_t configHeaderSize = 2 + configMagicLength;
inline constexpr std::size_t configImageCapacity = 128;   // the largest image, with room to spare

extern const ConfigFileFormat kSeriesConfigFile;   // 88 bytes, "CUK1-Configurationfile"
extern const ConfigFileFormat mSeriesConfigFile;   // 100 bytes, "CUM1-Configurationfile"

// Texts a save or load may ask the window to show (caption text 6, error
// icon); 0 means nothing to show.

inline std::size_t configFileSize(const ConfigFileFormat& format)
{
    return configHeaderSize + format.blockSize + 2;
}

// Builds the whole file image (configFileSize bytes) into `image`.
void buildConfigImage(const ConfigFileFormat& format, const void* block, unsigned char* image);

// Writes the image of `block` to a temporary file beside `path` and renames it
// over `path`, so a failed save leaves any previous file intact. Returns 0, or
// textFileError when the file could not be created, written or replaced.
int saveConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, const void* block);

// Reads and tests a file; on success copies its block into `block` and
// returns 0. Otherwise `block` is untouched and the result is the text of the
// first test that failed, in this order: cannot open, or no regular file 78, unit kind 79, data
// version 80, magic 81, block and CRC cut short 82, CRC not 0 83. Bytes after the
// image are not read.
int loadConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, void* block);

// saveConfigFile writes through a temporary file beside `path`
// (base/replacing_file.h names it) and then replaces `path`.
