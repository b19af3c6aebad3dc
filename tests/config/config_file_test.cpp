#include "app/replacing_file.h"
#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "app/crc16.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The default records byte for byte, as laid down for the unit; both start
// with the same common part.
const Bytes commonDefaults = {0x01, 0x00, 20, 68, 0x00, 0x00, 2, 0, 6, 35, 41, 49, 58, 100, 45, 53, 60, 69, 100,
                              30, 40, 50, 60, 100, 30, 40, 60, 80, 100, 1, 1, 1, 0, 0};
Bytes withCommon(std::initializer_list<unsigned char> rest)
{
    Bytes block = commonDefaults;
    block.insert(block.end(), rest);
    return block;
}
const Bytes kDefaultBytes = withCommon({0xFE, 0xFF, 28, 0, 0, 0, 32, 0, 4, 0, 39, 0, 52, 0, 126, 0, 48, 0, 118, 0,
                                        0x2C, 0x01, 8, 14, 97, 195, 83, 1});
const Bytes mDefaultBytes = withCommon({4, 0, 39, 0, 7, 0, 45, 0, 45, 0, 113, 0, 50, 0, 122, 0, 15, 27, 9, 10, 0x3F,
                                        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 4, 97, 195, 83, 1});

// Version, kind, magic and block, then the CRC low byte first.
Bytes fileImage(unsigned char version, unsigned char kind, const char* magic, const Bytes& block)
{
    Bytes image(24 + block.size() + 2);
    image[0] = version;
    image[1] = kind;
    std::memcpy(image.data() + 2, magic, 22);
    std::memcpy(image.data() + 24, block.data(), block.size());
    const std::uint16_t crc = crc16(image.data(), 24 + block.size());
    image[24 + block.size()] = static_cast<unsigned char>(crc & 0xFF);
    image[25 + block.size()] = static_cast<unsigned char>(crc >> 8);
    return image;
}
Bytes kFile(const Bytes& block = kDefaultBytes) { return fileImage(3, 1, "CUK1-Configurationfile", block); }
Bytes mFile() { return fileImage(1, 2, "CUM1-Configurationfile", mDefaultBytes); }

Bytes withByte(Bytes bytes, std::size_t at, int value)
{
    bytes[at] = static_cast<unsigned char>(value);
    return bytes;
}

int entriesIn(const std::filesystem::path& dir)
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

class ConfigFileTest : public ::testing::Test {
protected:
    TempDir dir;
    Bytes target;   // a K block failed loads must leave alone

    int loadK(const Bytes& content)
    {
        writeBytes(dir / "k.cbf", content);
        target.assign(62, 0xA5);
        return loadConfigFile(dir / "k.cbf", kConfigFile, target.data());
    }
    int saveK() { return saveConfigFile(dir / "k.cbf", kConfigFile, &kDefaultParameters); }
};

} // namespace

TEST_F(ConfigFileTest, SavedDefaultFilesAreTheDocumentedImagesAndLoadBack)
{
    ASSERT_EQ(saveK(), 0);
    const Bytes k = readBytes(dir / "k.cbf");
    EXPECT_EQ(k, kFile());   // 88 bytes
    ASSERT_EQ(loadK(k), 0);
    EXPECT_EQ(target, kDefaultBytes);

    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mConfigFile, &mDefaultParameters), 0);
    EXPECT_EQ(readBytes(dir / "m.cbf"), mFile());   // 100 bytes
    Bytes mBack(74);
    ASSERT_EQ(loadConfigFile(dir / "m.cbf", mConfigFile, mBack.data()), 0);
    EXPECT_EQ(mBack, mDefaultBytes);
}

TEST_F(ConfigFileTest, LoadChecksFailInTheirOrderAndLeaveTheBlock)
{
    target.assign(62, 0xA5);
    EXPECT_EQ(loadConfigFile(dir / "missing.cbf", kConfigFile, target.data()), textFileNotFound);
    EXPECT_EQ(loadConfigFile(dir.path(), kConfigFile, target.data()), textFileNotFound);
    EXPECT_EQ(target, Bytes(62, 0xA5));

    const Bytes k = kFile();
    const struct { const char* name; Bytes file; int expected; } cases[] = {
        {"M file", mFile(), textFileWrongUnit},
        {"version", withByte(k, 0, 2), textFileWrongVersion},
        {"kind and version", withByte(withByte(k, 0, 2), 1, 2), textFileWrongUnit},
        {"magic", withByte(k, 2, 'c'), textFileInvalid},   // compared exactly, case included
        {"87 bytes", Bytes(k.begin(), k.begin() + 87), textFileError},
        {"header only", Bytes(k.begin(), k.begin() + 24), textFileError},
        {"empty", {}, textFileWrongUnit},   // missing bytes never match
        {"one byte", {3}, textFileWrongUnit},
        {"magic cut short", {3, 1, 'C', 'U', 'K', '1'}, textFileInvalid},
        {"block bit", withByte(k, 24 + 60, 83 ^ 0x04), textFileCrcError},
        {"CRC bit", withByte(k, 87, k[87] ^ 0x80), textFileCrcError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(loadK(c.file), c.expected) << c.name;
        EXPECT_EQ(target, Bytes(62, 0xA5)) << c.name;
    }

    // The same flipped bit with a recomputed CRC loads; bytes after the image
    // are not read.
    const Bytes changed = withByte(kDefaultBytes, 60, 83 ^ 0x04);
    Bytes file = kFile(changed);
    file.insert(file.end(), {0xDE, 0xAD});
    EXPECT_EQ(loadK(file), 0);
    EXPECT_EQ(target, changed);
}

TEST_F(ConfigFileTest, SaveGoesThroughATemporaryFileAndReplacesTheTarget)
{
    writeBytes(dir / "k.cbf", Bytes(500, 0x55));
    // A temporary file an earlier save left behind is not taken over.
    const Bytes stale(10, 0x11);
    writeBytes(replacingTempPath(dir / "k.cbf", 0), stale);
    ASSERT_EQ(saveK(), 0);
    EXPECT_EQ(readBytes(dir / "k.cbf"), kFile());
    EXPECT_EQ(readBytes(replacingTempPath(dir / "k.cbf", 0)), stale);
    EXPECT_EQ(entriesIn(dir.path()), 2);
}

TEST_F(ConfigFileTest, FailedSaveReportsFileErrorAndKeepsThePreviousFile)
{
    EXPECT_EQ(saveConfigFile(dir / "no-folder" / "k.cbf", kConfigFile, &kDefaultParameters), textFileError);

    // No temporary file can be created: the old file stays as it was.
    const Bytes previous = kFile(Bytes(62, 40));
    writeBytes(dir / "k.cbf", previous);
    for (int attempt = 0; attempt < replacingTempAttempts; ++attempt)
        std::filesystem::create_directory(replacingTempPath(dir / "k.cbf", attempt));
    EXPECT_EQ(saveK(), textFileError);
    EXPECT_EQ(readBytes(dir / "k.cbf"), previous);

    // The target is a folder: the rename fails and the temporary file goes.
    TempDir other;
    std::filesystem::create_directory(other / "folder.cbf");
    EXPECT_EQ(saveConfigFile(other / "folder.cbf", kConfigFile, &kDefaultParameters), textFileError);
    EXPECT_TRUE(std::filesystem::is_directory(other / "folder.cbf"));
    EXPECT_EQ(entriesIn(other.path()), 1);
}
