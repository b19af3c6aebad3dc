#include "app/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/crc16.h"
#include "base/le_bytes.h"

#ifdef _WIN32
#include <share.h>
#endif

AppState appState;

namespace {

// Opens without sharing on Windows, so no other program can change the file
// while it is read or written.
std::FILE* openUnshared(const std::filesystem::path& path, bool write, bool create)
{
#ifdef _WIN32
    const wchar_t* mode = write ? (create ? L"w+b" : L"r+b") : L"rb";
    return _wfsopen(path.c_str(), mode, _SH_DENYRW);
#else
    const char* mode = write ? (create ? "w+b" : "r+b") : "rb";
    return std::fopen(path.c_str(), mode);
#endif
}

// Whether the file is there, or a file of that name can be made: tried by
// making it and taking it away again, as folder rights say nothing certain.
bool canKeepFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return true;
    std::FILE* probe = openUnshared(path, true, true);
    if (!probe)
        return false;
    std::fclose(probe);
    std::filesystem::remove(path, error);
    return true;
}

// The user's own folder for the program's files, or empty when the system
// names none.
std::filesystem::path userSettingsFolder()
{
#ifdef _WIN32
    const wchar_t* base = _wgetenv(L"LOCALAPPDATA");
    return base && *base ? std::filesystem::path(base) / "Kavix" : std::filesystem::path();
#else
    const char* base = std::getenv("XDG_CONFIG_HOME");
    return base && *base ? std::filesystem::path(base) / "kavix" : std::filesystem::path();
#endif
}

} // namespace

// The working directory, as always. Where no file can be made there (a
// per-machine install in Program Files, started from the Start menu, runs in
// a folder ordinary users may not write to) the user's own folder takes the
// file, so that the choice of language is not lost at every start.
std::filesystem::path settingsPath()
{
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::current_path(error);
    const std::filesystem::path here = error ? std::filesystem::path("kavix.ini") : dir / "kavix.ini";
    if (canKeepFile(here))
        return here;
    const std::filesystem::path own = userSettingsFolder();
    if (own.empty())
        return here;
    std::filesystem::create_directories(own, error);
    return own / "kavix.ini";
}

bool loadSettings(AppState& state, const std::filesystem::path& path)
{
    std::FILE* file = openUnshared(path, false, false);
    if (!file) {
        saveSettings(state, path);
        return false;
    }
    // Up to 256 bytes are read; only the first 186 count.
    unsigned char buffer[256];
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);

    if (got < settingsFileSize || crc16(buffer, settingsFileSize) != 0)
        return false;

    std::memcpy(&state, buffer, sizeof(AppState));
    // Run-time fields: what the file says of them belongs to an earlier run.
    // An autoDisplay left set would open an empty protocol display by itself.
    state.protocolAvailable = 0;
    state.linkOpen = 0;
    state.autoDisplay = 0;
    return true;
}

bool loadSettings(AppState& state)
{
    return loadSettings(state, settingsPath());
}

bool saveSettings(const AppState& state, const std::filesystem::path& path)
{
    // An existing file is overwritten in place, without truncation.
    std::FILE* file = openUnshared(path, true, false);
    if (!file)
        file = openUnshared(path, true, true);
    if (!file)
        return false;

    unsigned char image[settingsFileSize];
    std::memcpy(image, &state, sizeof(AppState));
    writeLe16(image + sizeof(AppState), crc16(&state, sizeof(AppState)));

    const bool written = std::fwrite(image, 1, sizeof image, file) == sizeof image;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

bool saveSettings(const AppState& state)
{
    return saveSettings(state, settingsPath());
}
