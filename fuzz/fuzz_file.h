#pragma once
// The loaders read files: each input is written to one scratch file per
// process and handed over by path.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

inline std::filesystem::path fuzzScratchFile(const char* name)
{
    return std::filesystem::temp_directory_path()
         / (std::string("kavix-fuzz-") + std::to_string(getpid()) + "-" + name);
}

inline std::filesystem::path writeFuzzInput(const char* name, const std::uint8_t* data, std::size_t size)
{
    std::filesystem::path path = fuzzScratchFile(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}
