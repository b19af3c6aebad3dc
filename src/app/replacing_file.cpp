#include "app/replacing_file.h"

#include <string>

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

namespace {

// Exclusive creation, so an existing file of the same name is never taken.
std::FILE* createExclusive(const std::filesystem::path& path)
{
#ifdef _WIN32
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
    return file;
#else
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file)
        ::close(fd);
    return file;
#endif
}

bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
#ifdef _WIN32
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
#endif
}

} // namespace

std::filesystem::path replacingTempPath(const std::filesystem::path& target, int attempt)
{
    return target.parent_path() / ("~kvx" + std::to_string(attempt) + ".tmp");
}

bool beginReplacingFile(ReplacingFile& out, const std::filesystem::path& target)
{
    out.file = nullptr;
    out.target = target;
    out.temporary.clear();
    if (!target.has_filename())
        return false;
    for (int attempt = 0; attempt < replacingTempAttempts; ++attempt) {
        const std::filesystem::path name = replacingTempPath(target, attempt);
        std::FILE* file = createExclusive(name);
        if (file) {
            // Lines are handed over one write each; the stream gathers them
            // into large writes to the disk.
            std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
            out.file = file;
            out.temporary = name;
            return true;
        }
        std::error_code error;
        if (!std::filesystem::exists(name, error))
            return false;
    }
    return false;
}

bool writeLine(ReplacingFile& out, const char* line, std::size_t length)
{
    return out.file && std::fwrite(line, 1, length, out.file) == length;
}

bool finishReplacingFile(ReplacingFile& out)
{
    if (!out.file)
        return false;
    const bool flushed = std::fflush(out.file) == 0 && !std::ferror(out.file);
    const bool closed = std::fclose(out.file) == 0;
    out.file = nullptr;
    if (!flushed || !closed || !moveOver(out.temporary, out.target)) {
        std::error_code ignored;
        std::filesystem::remove(out.temporary, ignored);
        return false;
    }
    return true;
}

void abandonReplacingFile(ReplacingFile& out)
{
    if (out.file)
        std::fclose(out.file);
    out.file = nullptr;
    std::error_code ignored;
    if (!out.temporary.empty())
        std::filesystem::remove(out.temporary, ignored);
}

std::filesystem::path pathFromAnsi(const char* path)
{
#ifdef _WIN32
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0)
        return std::filesystem::path();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return std::filesystem::path(wide);
#else
    return std::filesystem::path(path);
#endif
}
