#pragma once
// The program's texts are Windows-1252 bytes; a terminal, a JSON document
// and a script expect UTF-8.
#include <string>
#include <string_view>

std::string utf8FromCp1252(std::string_view text);

// A text that comes from the unit (its product string), for a terminal: as
// utf8FromCp1252, but control characters (CR, LF, BEL, ESC, ...) are shown
// as \xNN, so that a unit cannot fake lines or drive the terminal.
std::string terminalTextFromCp1252(std::string_view text);
