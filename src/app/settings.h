#pragma once
#include <filesystem>

#include "app/app_state.h"

// Settings file: AppState written whole, then its CRC-16 low byte first.
inline constexpr std::size_t settingsFileSize = sizeof(AppState) + 2;

// kavix.ini in the current working directory (any length of path); where no
// file can be made there, in the user's own folder (%LOCALAPPDATA%\Kavix).
std::filesystem::path settingsPath();

// Loads an intact settings file into state and clears the run-time link and
// protocol flags and the protocol display's automatic opening. A corrupt or short file is ignored and left untouched; a
// file that cannot be opened is created from state (which the caller zeroed).
// Returns true when the file was loaded.
bool loadSettings(AppState& state, const std::filesystem::path& path);
bool loadSettings(AppState& state);

// Writes state and its CRC over the start of the file (creating it if
// needed). Failures are silent to the user; the result says whether all 186
// bytes were written.
bool saveSettings(const AppState& state, const std::filesystem::path& path);
bool saveSettings(const AppState& state);
