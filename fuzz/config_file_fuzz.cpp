// .cbf files of any content, for both families: a load either fails with one
// of its texts and leaves the block untouched, or succeeds with a block whose
// image checks out.
#include <cstdlib>
#include <cstring>

#include "config/config_file.h"
#include "fuzz_file.h"

namespace {

void loadAs(const std::filesystem::path& path, const ConfigFileFormat& format)
{
    unsigned char block[configImageCapacity];
    std::memset(block, 0xA5, sizeof block);
    const int result = loadConfigFile(path, format, block);
    if (result != 0) {
        if (result < textFileNotFound || result > textFileCrcError)
            std::abort();
        for (unsigned char b : block)
            if (b != 0xA5)
                std::abort();
        return;
    }
    for (std::size_t i = format.blockSize; i < sizeof block; ++i)
        if (block[i] != 0xA5)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto path = writeFuzzInput("config.cbf", data, size);
    loadAs(path, kSeriesConfigFile);
    loadAs(path, mSeriesConfigFile);
    return 0;
}
