#include "base/replacing_file.h"
#include "config/config_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <tuple>
#include <vector>

#include "base/crc16.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using Bytes = std::vector<unsigned char>;

// A block as the unit holds it.
template <class Block>
Bytes bytesOf(const Block& block)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(&block);
    return Bytes(bytes, bytes + sizeof block);
}

// Version, kind and magic (24 bytes), the block, then the CRC low byte first.
Bytes fileImage(const char* header, const Bytes& block)
{
    Bytes image(header, header + 24);
    std::copy(block.begin(), block.end(), std::back_inserter(image));
    const std::uint16_t crc = crc16(image.data(), image.size());
    image.insert(image.end(), {static_cast<unsigned char>(crc & 0xFF), static_cast<unsigned char>(crc >> 8)});
    return image;
}
Bytes kSeriesFile(const Bytes& block = bytesOf(kSeriesDefaultParameters)) { return fileImage("\3\1CUK1-Configurationfile", block); }
Bytes mSeriesFile() { return fileImage("\1\2CUM1-Configurationfile", bytesOf(mSeriesDefaultParameters)); }

Bytes withByte(Bytes bytes, std::size_t at, int value) { bytes[at] = static_cast<unsigned char>(value); return bytes; }
auto entriesIn(const std::filesystem::path& dir) { return std::distance(std::filesystem::directory_iterator(dir), {}); }

class ConfigFileTest : public ::testing::Test {
protected:
    TempDir dir;
    Bytes target;   // a K block failed loads must leave alone

    int loadK(const Bytes& content)
    {
        writeBytes(dir / "k.cbf", content);
        target.assign(62, 0xA5);
        return loadConfigFile(dir / "k.cbf", kSeriesConfigFile, target.data());
    }
    int saveK() { return saveConfigFile(dir / "k.cbf", kSeriesConfigFile, &kSeriesDefaultParameters); }
};

} // namespace

TEST_F(ConfigFileTest, SavedDefaultFilesAreTheDocumentedImagesAndLoadBack)
{
    ASSERT_EQ(saveK(), 0);
    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mSeriesConfigFile, &mSeriesDefaultParameters), 0);
    const Bytes k = readBytes(dir / "k.cbf"), m = readBytes(dir / "m.cbf");
    EXPECT_EQ(k, kSeriesFile());
    EXPECT_EQ(m, mSeriesFile());
    // Bytes as laid down for the unit: the first field, a temperature (K) or
    // the compressors (M), the last two fields, the CRC over everything.
    EXPECT_EQ(std::vector<int>(k.begin() + 84, k.end()), (std::vector<int>{83, 1, 0x7B, 0x7F}));
    EXPECT_EQ(std::tuple(k.size(), k[24], k[25], k[58], k[59]), std::tuple(88u, 1, 0, 0xFE, 0xFF));
    EXPECT_EQ(std::vector<int>(m.begin() + 96, m.end()), (std::vector<int>{83, 1, 0x78, 0x01}));
    EXPECT_EQ(std::tuple(m.size(), m[24], m[78]), std::tuple(100u, 1, 0x3F));

    ASSERT_EQ(loadK(k), 0);
    EXPECT_EQ(target, bytesOf(kSeriesDefaultParameters));
    Bytes mSeriesBack(74);
    ASSERT_EQ(loadConfigFile(dir / "m.cbf", mSeriesConfigFile, mSeriesBack.data()), 0);
    EXPECT_EQ(mSeriesBack, bytesOf(mSeriesDefaultParameters));
}

TEST_F(ConfigFileTest, LoadChecksFailInTheirOrderAndLeaveTheBlock)
{
    target.assign(62, 0xA5);
    EXPECT_EQ(loadConfigFile(dir / "missing.cbf", kSeriesConfigFile, target.data()), textFileNotFound);
    EXPECT_EQ(loadConfigFile(dir.path(), kSeriesConfigFile, target.data()), textFileNotFound);
    EXPECT_EQ(target, Bytes(62, 0xA5));

    const Bytes k = kSeriesFile();
    const struct { const char* name; Bytes file; int expected; } cases[] = {
        {"M file", mSeriesFile(), textFileWrongUnit},
        {"version", withByte(k, 0, 2), textFileWrongVersion},
        {"kind and version", withByte(withByte(k, 0, 2), 1, 2), textFileWrongUnit},
        {"magic", withByte(k, 2, 'c'), textFileInvalid},   // compared exactly, case included
        {"87 bytes", Bytes(k.begin(), k.begin() + 87), textFileError},
        {"one byte", {3}, textFileWrongUnit},   // missing bytes never match
        {"magic cut short", {3, 1, 'C', 'U', 'K', '1'}, textFileInvalid},
        {"block bit", withByte(k, 24 + 60, 83 ^ 0x04), textFileCrcError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(loadK(c.file), c.expected) << c.name;
        EXPECT_EQ(target, Bytes(62, 0xA5)) << c.name;
    }

    // The same flipped bit with a recomputed CRC loads; bytes after the image
    // are not read.
    const Bytes changed = withByte(bytesOf(kSeriesDefaultParameters), 60, 83 ^ 0x04);
    Bytes file = kSeriesFile(changed);
    file.insert(file.end(), {0xDE, 0xAD});
    EXPECT_EQ(loadK(file), 0);
    EXPECT_EQ(target, changed);
}

TEST_F(ConfigFileTest, SaveGoesThroughATemporaryFileAndReplacesTheTarget)
{
    writeBytes(dir / "k.cbf", Bytes(500, 0x55));
    // Temporary files earlier saves left behind are neither taken over nor
    // in the way, however many there are (once, 16 of them made every save
    // in the folder fail).
    const Bytes stale(10, 0x11);
    for (int i = 0; i < 40; ++i)
        writeBytes(dir / ("~kvx" + std::to_string(i) + ".tmp"), stale);
    ASSERT_EQ(saveK(), 0);
    EXPECT_EQ(readBytes(dir / "k.cbf"), kSeriesFile());
    EXPECT_EQ(readBytes(dir / "~kvx0.tmp"), stale);
    EXPECT_EQ(entriesIn(dir.path()), 41);
}

TEST_F(ConfigFileTest, FailedSaveReportsFileErrorAndKeepsThePreviousFile)
{
    EXPECT_EQ(saveConfigFile(dir / "no-folder" / "k.cbf", kSeriesConfigFile, &kSeriesDefaultParameters), textFileError);

    // The target is a folder: the rename fails and the temporary file goes.
    TempDir other;
    std::filesystem::create_directory(other / "folder.cbf");
    EXPECT_EQ(saveConfigFile(other / "folder.cbf", kSeriesConfigFile, &kSeriesDefaultParameters), textFileError);
    EXPECT_TRUE(std::filesystem::is_directory(other / "folder.cbf"));
    EXPECT_EQ(entriesIn(other.path()), 1);
}

#ifndef _WIN32
// A saved file takes the place of the file a link names; the link stays, and
// the file keeps its permissions (a file kept private for its access code
// stays private). Links that loop are refused.
TEST_F(ConfigFileTest, SaveReplacesTheFileALinkNamesWithItsPermissions)
{
    std::filesystem::create_directory(dir / "real");
    writeBytes(dir / "real" / "unit.cbf", Bytes(5, 0));
    std::filesystem::permissions(dir / "real" / "unit.cbf", std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("real/unit.cbf", dir / "link.cbf");
    std::filesystem::create_symlink("link.cbf", dir / "link-to-link.cbf");
    ASSERT_EQ(saveConfigFile(dir / "link-to-link.cbf", kSeriesConfigFile, &kSeriesDefaultParameters), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.cbf"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link-to-link.cbf"));
    EXPECT_EQ(readBytes(dir / "real" / "unit.cbf"), kSeriesFile());
    EXPECT_EQ(std::filesystem::status(dir / "real" / "unit.cbf").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(entriesIn(dir / "real"), 1);

    // A link to a file not there yet makes that file.
    std::filesystem::create_symlink("real/new.cbf", dir / "dangling.cbf");
    ASSERT_EQ(saveConfigFile(dir / "dangling.cbf", kSeriesConfigFile, &kSeriesDefaultParameters), 0);
    EXPECT_EQ(readBytes(dir / "real" / "new.cbf"), kSeriesFile());

    std::filesystem::create_symlink("loop-b.cbf", dir / "loop-a.cbf");
    std::filesystem::create_symlink("loop-a.cbf", dir / "loop-b.cbf");
    EXPECT_EQ(saveConfigFile(dir / "loop-a.cbf", kSeriesConfigFile, &kSeriesDefaultParameters), textFileError);
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(dir / "loop-a.cbf")));
}

// Only regular files load: a FIFO would block the load until a writer came,
// a device has no end.
TEST_F(ConfigFileTest, LoadRefusesFifosDevicesAndFolders)
{
    ASSERT_EQ(mkfifo((dir / "fifo.cbf").c_str(), 0600), 0);
    unsigned char block[62];
    for (const std::filesystem::path& path : {dir / "fifo.cbf", std::filesystem::path("/dev/zero"), dir.path()})
        EXPECT_EQ(loadConfigFile(path, kSeriesConfigFile, block), textFileNotFound) << path;
}
#endif
