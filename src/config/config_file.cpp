#include "config/config_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/crc16.h"
#include "base/le_bytes.h"
#include "app/family.h"
#include "base/replacing_file.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <share.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

const ConfigFileFormat kSeriesConfigFile = {kSeriesDataVersion, familyUnitKind(Family::k), "CUK1-Configurationfile", kSeriesParameterBlockSize};
const ConfigFileFormat mSeriesConfigFile = {mSeriesDataVersion, familyUnitKind(Family::m), "CUM1-Configurationfile", mSeriesParameterBlockSize};

namespace {

// Only a regular file: a FIFO would block the read until some writer came,
// a device (/dev/zero, NUL, CON) has no end or no content of its own.
std::FILE* openForReading(const std::filesystem::path& path)
{
#ifdef _WIN32
    // No sharing: nobody else may change the file while we read it.
    std::FILE* file = _wfsopen(path.c_str(), L"rb", _SH_DENYRW);
    if (file && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
        std::fclose(file);
        return nullptr;
    }
    return file;
#else
    // Opening a FIFO without O_NONBLOCK waits for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat status;
    std::FILE* file = nullptr;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
#endif
}

// Reads up to `count` bytes; bytes the file does not have stay zero, so a
// short header compares as a mismatch rather than as stale memory.
std::size_t readSome(std::FILE* file, unsigned char* into, std::size_t count)
{
    std::memset(into, 0, count);
    return std::fread(into, 1, count, file);
}

} // namespace

void buildConfigImage(const ConfigFileFormat& format, const void* block, unsigned char* image)
{
    image[0] = format.dataVersion;
    image[1] = format.unitKind;
    std::memcpy(image + 2, format.magic, configMagicLength);
    std::memcpy(image + configHeaderSize, block, format.blockSize);
    const std::size_t covered = configHeaderSize + format.blockSize;
    writeLe16(image + covered, crc16(image, covered));
}

int saveConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, const void* block)
{
    unsigned char image[configImageCapacity];
    const std::size_t size = configFileSize(format);
    if (size > sizeof image)
        return textFileError;
    buildConfigImage(format, block, image);

    ReplacingFile file;
    if (!beginReplacingFile(file, path))
        return textFileError;
    if (!writeLine(file, reinterpret_cast<const char*>(image), size)) {
        abandonReplacingFile(file);
        return textFileError;
    }
    return finishReplacingFile(file) ? 0 : textFileError;
}

int loadConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, void* block)
{
    unsigned char image[configImageCapacity];
    const std::size_t size = configFileSize(format);
    if (size > sizeof image)
        return textFileError;

    std::FILE* file = openForReading(path);
    if (!file)
        return textFileNotFound;

    int result = 0;
    readSome(file, image, 2);
    if (image[1] != format.unitKind) {
        result = textFileWrongUnit;
    } else if (image[0] != format.dataVersion) {
        result = textFileWrongVersion;
    } else {
        readSome(file, image + 2, configMagicLength);
        if (std::memcmp(image + 2, format.magic, configMagicLength) != 0)
            result = textFileInvalid;
        else if (std::fread(image + configHeaderSize, 1, format.blockSize + 2, file) != format.blockSize + 2)
            result = textFileError;
    }
    std::fclose(file);
    if (result != 0)
        return result;

    if (crc16(image, size) != 0)
        return textFileCrcError;
    std::memcpy(block, image + configHeaderSize, format.blockSize);
    return 0;
}
