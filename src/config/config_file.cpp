#include "config/config_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/crc16.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

const ConfigFileFormat kConfigFile = {kDataVersion, kUnitKind, "CUK1-Configurationfile", kParameterBlockSize};
const ConfigFileFormat mConfigFile = {mDataVersion, mUnitKind, "CUM1-Configurationfile", mParameterBlockSize};

namespace {

void closeDescriptor(int fd)
{
#ifdef _WIN32
    _close(fd);
#else
    ::close(fd);
#endif
}

std::FILE* openForReading(const std::filesystem::path& path)
{
#ifdef _WIN32
    // No sharing: nobody else may change the file while we read it.
    return _wfsopen(path.c_str(), L"rb", _SH_DENYRW);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

// Exclusive creation, so that an existing file of the same name is never
// taken over; not shared while open.
std::FILE* createExclusive(const std::filesystem::path& path)
{
#ifdef _WIN32
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
#else
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
#endif
    if (!file)
        closeDescriptor(fd);
    return file;
}

// Replaces an existing target in one step.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to)
{
#ifdef _WIN32
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
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
    const std::uint16_t crc = crc16(image, covered);
    image[covered] = static_cast<unsigned char>(crc & 0xFF);
    image[covered + 1] = static_cast<unsigned char>(crc >> 8);
}

std::filesystem::path configTempPath(const std::filesystem::path& path, int attempt)
{
    // Short, so that a target near the path length limit still works.
    return path.parent_path() / ("~kvc" + std::to_string(attempt) + ".tmp");
}

int saveConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, const void* block)
{
    unsigned char image[configImageCapacity];
    const std::size_t size = configFileSize(format);
    if (size > sizeof image || !path.has_filename())
        return textFileError;
    buildConfigImage(format, block, image);

    // A few names, in case an earlier save left its temporary file behind.
    std::filesystem::path temp;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < configTempAttempts && !file; ++attempt) {
        temp = configTempPath(path, attempt);
        file = createExclusive(temp);
        std::error_code error;
        if (!file && !std::filesystem::exists(temp, error))
            break;
    }
    if (!file)
        return textFileError;

    const bool written = std::fwrite(image, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    if (written && closed && replaceFile(temp, path))
        return 0;

    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return textFileError;
}

int loadConfigFile(const std::filesystem::path& path, const ConfigFileFormat& format, void* block)
{
    unsigned char image[configImageCapacity];
    const std::size_t size = configFileSize(format);
    if (size > sizeof image)
        return textFileError;

    // A folder opens for reading on some systems; it is no file either.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return textFileNotFound;
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
