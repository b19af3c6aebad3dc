#include "protocol/protocol_csv.h"

#include <cstring>

#include "protocol/field_format.h"
#include "protocol/protocol_columns.h"
#include "base/replacing_file.h"

namespace {

// Every line fits: the longest is the German M-Series column line with 364
// bytes, an entry line has at most 206.
constexpr std::size_t lineBufferK = 500;
constexpr std::size_t lineBufferM = 496;

static_assert(columnCountK * (fieldTextMax + 1) + 2 <= lineBufferK);
static_assert(columnCountM * (fieldTextMax + 1) + 2 <= lineBufferM);

const char titleK[] = "CUK1 Failure-Protocol V1.0\r\n";
const char titleM[] = "CUM1 'Chiller' Failure-Protocol V1.0\r\n";

// Column line of texts first .. first + count - 1. False if a text table
// entry would not fit the line buffer.
bool buildColumnLine(char* line, std::size_t capacity, const char* const* texts, int first,
                     int count, bool tabAfterLast, std::size_t& length)
{
    std::size_t used = 0;
    for (int c = 0; c < count; ++c) {
        const char* name = texts[first + c] ? texts[first + c] : "";
        const std::size_t n = std::strlen(name);
        if (used + n + 3 > capacity)
            return false;
        std::memcpy(line + used, name, n);
        used += n;
        if (tabAfterLast || c + 1 < count)
            line[used++] = '\t';
    }
    line[used++] = '\r';
    line[used++] = '\n';
    length = used;
    return true;
}

bool writeTitleAndColumns(ReplacingFile& file, const char* title, const char* const* texts,
                          int firstText, int columns, bool tabAfterLast, char* line,
                          std::size_t capacity)
{
    std::size_t length = 0;
    return writeLine(file, title, std::strlen(title))
        && buildColumnLine(line, capacity, texts, firstText, columns, tabAfterLast, length)
        && writeLine(file, line, length);
}

} // namespace

bool writeProtocolCsvK(const std::filesystem::path& path, const ProtocolData& protocol,
                       const char* const* texts)
{
    ReplacingFile file;
    if (!beginReplacingFile(file, path))
        return false;
    char line[lineBufferK];
    if (!writeTitleAndColumns(file, titleK, texts, firstHeaderTextK, columnCountK, false, line,
                              sizeof line)) {
        abandonReplacingFile(file);
        return false;
    }
    const std::int32_t count = readableEntries(protocol, Family::k);
    for (std::int32_t i = 0; i < count; ++i) {
        ProtocolEntryK entry;
        readProtocolEntryK(protocol.bytes, protocol.size, i, entry);
        char* end = line;
        for (int c = 0; c < columnCountK; ++c) {
            if (c > 0)
                *end++ = '\t';
            end = appendColumnK(end, entry, c);
        }
        *end++ = '\r';
        *end++ = '\n';
        if (!writeLine(file, line, static_cast<std::size_t>(end - line))) {
            abandonReplacingFile(file);
            return false;
        }
    }
    return finishReplacingFile(file);
}

bool writeProtocolCsvM(const std::filesystem::path& path, const ProtocolData& protocol,
                       const char* const* texts)
{
    ReplacingFile file;
    if (!beginReplacingFile(file, path))
        return false;
    char line[lineBufferM];
    if (!writeTitleAndColumns(file, titleM, texts, firstHeaderTextM, columnCountM, true, line,
                              sizeof line)) {
        abandonReplacingFile(file);
        return false;
    }
    const std::int32_t count = readableEntries(protocol, Family::m);
    for (std::int32_t i = 0; i < count; ++i) {
        ProtocolEntryM entry;
        readProtocolEntryM(protocol.bytes, protocol.size, i, entry);
        char* end = line;
        for (int b = 0; b < columnCountM; ++b) {
            end = appendColumnM(end, entry, b);
            *end++ = '\t';
        }
        *end++ = '\r';
        *end++ = '\n';
        if (!writeLine(file, line, static_cast<std::size_t>(end - line))) {
            abandonReplacingFile(file);
            return false;
        }
    }
    return finishReplacingFile(file);
}

bool writeProtocolCsv(Family family, const std::filesystem::path& path,
                      const ProtocolData& protocol, const char* const* texts)
{
    return family == Family::k ? writeProtocolCsvK(path, protocol, texts)
                             : writeProtocolCsvM(path, protocol, texts);
}
