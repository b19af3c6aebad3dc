#pragma once
// The program's texts are Windows-1252 bytes; a terminal, a JSON document
// and a script expect UTF-8.
#include <string>
#include <string_view>

std::string utf8FromCp1252(std::string_view text);
