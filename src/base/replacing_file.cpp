#include "base/replacing_file.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Symbolic links followed before giving up (a loop never ends otherwise).
constexpr int maxLinkDepth = 40;
// Temporary names tried before a save gives up; each is new, so stale files
// of earlier saves cannot use them up.
constexpr int tempAttempts = 1000;

// A number for the next temporary name: different in every process and for
// every attempt, without a source of randomness that may be missing.
std::uint32_t nextTempNumber()
{
    static std::atomic<std::uint32_t> counter{0};
#ifdef _WIN32
    const std::uint64_t process = static_cast<std::uint64_t>(_getpid());
#else
    const std::uint64_t process = static_cast<std::uint64_t>(getpid());
#endif
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    x ^= process << 32;
    x += 0x9E3779B97F4A7C15ull * (counter.fetch_add(1) + 1);
    // splitmix64's finaliser spreads every input bit over the result.
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>(x ^ (x >> 31));
}

std::filesystem::path tempPathBeside(const std::filesystem::path& target)
{
    char name[32];
    std::snprintf(name, sizeof name, "~kvx%08X.tmp", static_cast<unsigned>(nextTempNumber()));
    return target.parent_path() / name;
}

// Where a save really goes: a symbolic link is followed to the file it
// names (through further links, and to a file that does not exist yet), so
// the link stays a link. Empty for a loop of links.
std::filesystem::path followLinks(const std::filesystem::path& target)
{
    std::filesystem::path path = target;
    for (int depth = 0; depth < maxLinkDepth; ++depth) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)) || error)
            return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error)
            return std::filesystem::path();
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::filesystem::path();
}

// Exclusive creation, so an existing file of the same name is never taken.
// An existing target passes on its permissions (a configuration file kept
// 0600 for its access code stays 0600) and, where allowed, its owner.
std::FILE* createExclusive(const std::filesystem::path& path, const std::filesystem::path& target)
{
#ifdef _WIN32
    (void)target;
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _SH_DENYRW,
                  _S_IREAD | _S_IWRITE) != 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "wb");
    if (!file)
        _close(fd);
    return file;
#else
    struct stat existing;
    const bool replaces = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    // Never more open than the target while it is written.
    const mode_t mode = replaces ? (existing.st_mode & 0777) : 0666;
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, mode);
    if (fd < 0)
        return nullptr;
    if (replaces) {
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner's group may be given away; the file stays ours.
        }
        if (::fchmod(fd, existing.st_mode & 07777) != 0) {
            // It keeps the mode it was created with, which is no more open.
        }
    }
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

bool beginReplacingFile(ReplacingFile& out, const std::filesystem::path& target)
{
    out.file = nullptr;
    out.target = followLinks(target);
    out.temporary.clear();
    if (!out.target.has_filename())
        return false;
    for (int attempt = 0; attempt < tempAttempts; ++attempt) {
        const std::filesystem::path name = tempPathBeside(out.target);
        std::FILE* file = createExclusive(name, out.target);
        if (file) {
            // Lines are handed over one write each; the stream gathers them
            // into large writes to the disk.
            std::setvbuf(file, nullptr, _IOFBF, 64 * 1024);
            out.file = file;
            out.temporary = name;
            return true;
        }
        // Only a name that is taken is worth another try.
        std::error_code error;
        if (!std::filesystem::exists(std::filesystem::symlink_status(name, error)))
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
