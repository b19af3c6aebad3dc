#pragma once
#include <cstddef>
#include <cstdio>
#include <filesystem>

// A file written piece by piece into a fresh temporary file in the target's
// folder and renamed over the target only when everything has been written.
// A failed save therefore never destroys the previous file and leaves no
// partial file behind. Configuration files and protocol files are saved
// this way.
//
// A target that is a symbolic link is followed: the file it names is
// replaced and the link stays. The new file takes over the permissions (and
// where the system allows, the owner) of the file it replaces. Temporary
// names are short ("~kvx" and eight hex digits, so a target path near the
// length limit still works) and new for every attempt, so files that earlier
// saves left behind are never taken and never use the names up.
struct ReplacingFile {
    std::FILE* file;
    std::filesystem::path target;      // the file replaced, links followed
    std::filesystem::path temporary;
};

// Creates the temporary file (not shared while open). False when the folder
// cannot take a new file or the links loop; nothing is then created.
bool beginReplacingFile(ReplacingFile& out, const std::filesystem::path& target);

// One write per line (or per image). False when the file did not take all of it.
bool writeLine(ReplacingFile& out, const char* line, std::size_t length);

// Completes the file and moves it over the target. False (and the target
// untouched) when the data could not be flushed or the move failed.
bool finishReplacingFile(ReplacingFile& out);

// Closes and deletes the temporary file; the target stays as it was.
void abandonReplacingFile(ReplacingFile& out);

// A path as a dialog of the ANSI code page returns it.
std::filesystem::path pathFromAnsi(const char* path);
