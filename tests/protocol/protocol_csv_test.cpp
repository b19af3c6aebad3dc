#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/texts.h"
#include "protocol/protocol_csv.h"
#include "protocol_samples.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <cstdio>
#include <share.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const std::vector<unsigned char> previous = {'o', 'l', 'd', '\r', '\n'};
const std::vector<unsigned char> zeros(2 * 24, 0);

struct ProtocolCsv : ::testing::Test {
    TempDir dir;
    long filesInDir() const { return long(std::distance(std::filesystem::directory_iterator(dir.path()), {})); }
};

} // namespace


// A file is the family's title line, the column line of the language, then a
// line per counted entry wholly inside the buffer: K-Series fields separated
// by tabs, M-Series fields each followed by one. It replaces the previous
// file whole and leaves no temporary file. The German M-Series column line is
// the longest line of any file.
TEST_F(ProtocolCsv, FilesAreByteExactInEitherLanguage)
{
    const struct { Family family; const char* const* texts; std::int32_t count; std::size_t size, lines, columnLine;
                   const char *first, *last; } cases[] = {
        {Family::k, germanTexts, 3, 72, 3, 138, "<Ereignis-Z\xE4hler>\t<F", "\t<Kompr.-Startz\xE4hler>\r\n"},
        {Family::k, englishTexts, 0, 72, 0, 123, "<Event-Counter>\t<Error-Code>\t", "\t<Comp. Start-Counter>\r\n"},
        {Family::k, englishTexts, -3, 72, 0, 123, "<Event-Counter>\t<Error-Code>\t", "\t<Comp. Start-Counter>\r\n"},
        {Family::m, englishTexts, 2, 136, 2, 342, "<Event-Counter>\t<Error-Code>\t", "\t<Comp.6 Runtime>\t\r\n"},
        {Family::m, englishTexts, 30840, 68 + 67, 1, 342, "<Event-Counter>\t", "\t<Comp.6 Runtime>\t\r\n"},
        {Family::m, germanTexts, 0, 136, 0, 364, "<Ereignis Z\xE4hler>\t<F", "\t<Kompr.6 Laufzeit>\t\r\n"}};
    for (const auto& c : cases) {
        const auto bytes = sampleBytes(c.family);
        writeBytes(dir / "p.csv", previous);
        ASSERT_TRUE(writeProtocolCsv(c.family, dir / "p.csv", {bytes.data(), c.size, c.count}, c.texts));
        const auto written = readBytes(dir / "p.csv");
        const std::string file(written.begin(), written.end());
        std::string expected = c.family == Family::k ? "CUK1 Failure-Protocol V1.0\r\n"
                                                     : "CUM1 'Chiller' Failure-Protocol V1.0\r\n";
        const std::string columns = file.substr(expected.size(), c.columnLine);
        expected += columns;
        for (std::size_t e = 0; e < c.lines; ++e)
            expected += samples(c.family)[e].columns + (c.family == Family::m ? "\t\r\n" : "\r\n");
        EXPECT_EQ(file, expected);
        EXPECT_TRUE(columns.starts_with(c.first) && columns.ends_with(c.last)) << columns;
        EXPECT_EQ(filesInDir(), 1) << c.count;
    }
}

TEST_F(ProtocolCsv, UnwritableTargetsFailAndKeepWhatWasThere)
{
    const ProtocolData protocol{zeros.data(), zeros.size(), 2};
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(writeProtocolCsvK(dir / "missing" / "p.csv", protocol, germanTexts) ||
                 std::filesystem::exists(dir / "missing"));
    // A target that is a folder cannot be replaced.
    std::filesystem::create_directory(dir / "p.csv");
    writeBytes(dir / "p.csv" / "inside", previous);
    EXPECT_FALSE(writeProtocolCsvK(dir / "p.csv", protocol, germanTexts));
    EXPECT_EQ(readBytes(dir / "p.csv" / "inside"), previous);
    EXPECT_EQ(filesInDir(), 1) << "the temporary file is removed";
}

#ifdef _WIN32
TEST_F(ProtocolCsv, ALockedTargetFailsAndKeepsThePreviousFile)
{
    writeBytes(dir / "p.csv", previous);
    std::FILE* lock = _wfsopen((dir / "p.csv").c_str(), L"rb", _SH_DENYRW);
    ASSERT_NE(lock, nullptr);
    const bool written = writeProtocolCsvK(dir / "p.csv", {zeros.data(), zeros.size(), 2}, germanTexts);
    std::fclose(lock);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(dir / "p.csv"), previous);
    EXPECT_EQ(filesInDir(), 1);
}
#else
// The disk refuses bytes beyond 16 KiB while it lives; the process's own
// limit and signal handling come back whatever the test does.
struct FileSizeLimit {
    rlimit saved{};
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    FileSizeLimit() { getrlimit(RLIMIT_FSIZE, &saved); }
    bool apply() const
    {
        rlimit small = saved;
        small.rlim_cur = 16 * 1024;
        return setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    void lift() const { setrlimit(RLIMIT_FSIZE, &saved); }
    ~FileSizeLimit() { lift(); std::signal(SIGXFSZ, oldHandler); }
};

TEST_F(ProtocolCsv, AWriteFailingPartWayKeepsThePreviousFile)
{
    writeBytes(dir / "p.csv", previous);
    const std::vector<unsigned char> buffer(5000 * 24, 0);
    // For 600 entries (30 bytes a line, under 4 KiB over the limit) the disk
    // refuses only when the file is completed, for 5,000 while its lines are
    // written.
    for (std::int32_t count : {600, 5000}) {
        FileSizeLimit limit;
        ASSERT_TRUE(limit.apply());
        const bool written = writeProtocolCsvK(dir / "p.csv", {buffer.data(), buffer.size(), count}, germanTexts);
        limit.lift();
        EXPECT_FALSE(written) << count;
        EXPECT_EQ(readBytes(dir / "p.csv"), previous) << count;
        EXPECT_EQ(filesInDir(), 1) << count;
    }
}
#endif
