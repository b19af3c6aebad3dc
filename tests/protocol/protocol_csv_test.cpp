#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/texts.h"
#include "entry_bytes.h"
#include "protocol/protocol_csv.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <cstdio>
#include <share.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

const std::string titleK = "CUK1 Failure-Protocol V1.0\r\n";
const std::vector<unsigned char> previous = {'o', 'l', 'd', '\r', '\n'};
const std::vector<unsigned char> zeros(2 * 24, 0);

class ProtocolCsv : public ::testing::Test {
protected:
    TempDir dir;
    long filesInDir() const
    {
        return static_cast<long>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
    }
    std::string fileText(const char* name) const { return asString(readBytes(dir / name)); }
};

} // namespace

TEST_F(ProtocolCsv, KSeriesFileIsByteExactAndAnEmptyOneHasTwoLines)
{
    const auto buffer = entryBytes(24, {{0x0001, 3, 5400, 3599, 0, 42, 1},
                                        {0x0003, 65535, 0xFFFFFFFF, 36000, 35999, 0xFFFFFFFF, 2}});
    writeBytes(dir / "k.csv", previous);
    ASSERT_TRUE(writeProtocolCsvK(dir / "k.csv", {buffer.data(), buffer.size(), 2}, germanTexts));
    EXPECT_EQ(fileText("k.csv"), titleK +
                                     "<Ereignis-Z\xE4hler>\t<Fehler-Code>\t<Fehler-Z\xE4hler>\t<Ger\xE4t eingeschaltet>\t"
                                     "<Ger\xE4t im K\xFChlbetrieb>\t<Ger\xE4t im Heizbetrieb>\t<Kompr.-Startz\xE4hler>\r\n"
                                     "1\t_AAA\t3\t1,5 h\t0,9 h\t0,0 h\t42\r\n"
                                     "2\t0003\t65535\t1193046,4 h\t10,0 h\t9,9 h\t-1\r\n");
    for (std::int32_t count : {0, -3}) {
        ASSERT_TRUE(writeProtocolCsv(Family::k, dir / "k.csv", {buffer.data(), buffer.size(), count}, englishTexts));
        EXPECT_EQ(fileText("k.csv"), titleK + "<Event-Counter>\t<Error-Code>\t<Error-Counter>\t<Device On Time>\t"
                                              "<Device Cool Time>\t<Device Heat Time>\t<Comp. Start-Counter>\r\n");
    }
    EXPECT_EQ(filesInDir(), 1) << "no temporary file is left";
}

TEST_F(ProtocolCsv, MSeriesFileIsByteExactWithATabAfterEveryField)
{
    const auto buffer = entryBytes(68, {{16, 7, 3600, 0, 360, 1, 2, 3, 4, 5, 6, 0, 359, 360, 3600, 5400, 0xFFFFFFFF, 100},
                                        {17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 101}});
    ASSERT_TRUE(writeProtocolCsvM(dir / "m.csv", {buffer.data(), buffer.size(), 2}, englishTexts));
    const std::string head =
        "CUM1 'Chiller' Failure-Protocol V1.0\r\n"
        "<Event-Counter>\t<Error-Code>\t<Error-Counter>\t<Device On Time>\t<Device Cool Time>\t"
        "<Device Heat Time>\t<Comp.1 Start Counter>\t<Comp.2 Start Counter>\t"
        "<Comp.3 Start Counter>\t<Comp.4 Start Counter>\t<Comp.5 Start Counter>\t"
        "<Comp.6 Start Counter>\t<Comp.1 Runtime>\t<Comp.2 Runtime>\t<Comp.3 Runtime>\t"
        "<Comp.4 Runtime>\t<Comp.5 Runtime>\t<Comp.6 Runtime>\t\r\n"
        "100\t_Init\t7\t1,0 h\t0,0 h\t0,1 h\t1\t2\t3\t4\t5\t6\t"
        "0,0 h\t0,0 h\t0,1 h\t1,0 h\t1,5 h\t1193046,4 h\t\r\n";
    EXPECT_EQ(fileText("m.csv"), head + "101\t???\t0\t0,0 h\t0,0 h\t0,0 h\t0\t0\t0\t0\t0\t0\t"
                                        "0,0 h\t0,0 h\t0,0 h\t0,0 h\t0,0 h\t0,0 h\t\r\n");

    // A count beyond the buffer writes only the entries wholly inside it.
    ASSERT_TRUE(writeProtocolCsv(Family::m, dir / "m.csv", {buffer.data(), 68 + 67, 30840}, englishTexts));
    EXPECT_EQ(fileText("m.csv"), head);

    // The German column line is the longest line of any file.
    ASSERT_TRUE(writeProtocolCsvM(dir / "m.csv", {buffer.data(), buffer.size(), 0}, germanTexts));
    const std::string german = fileText("m.csv");
    EXPECT_EQ(german.size(), 38u + 364u);
    EXPECT_EQ(german.compare(38, 20, "<Ereignis Z\xE4hler>\t<F"), 0);
    EXPECT_EQ(german.substr(german.size() - 21), "<Kompr.6 Laufzeit>\t\r\n");
}

TEST_F(ProtocolCsv, UnwritableTargetsFailAndKeepWhatWasThere)
{
    const ProtocolData protocol{zeros.data(), zeros.size(), 2};
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(writeProtocolCsvK(dir / "missing" / "p.csv", protocol, germanTexts));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

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
    ~FileSizeLimit()
    {
        lift();
        std::signal(SIGXFSZ, oldHandler);
    }
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
