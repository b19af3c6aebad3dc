#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/crc16.h"
#include "config/k_parameters.h"
#include "config/m_parameters.h"
#include "temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The default records byte for byte, as laid down for the unit.
const Bytes kDefaultBytes = {
    0x01, 0x00, 20, 68, 0x00, 0x00, 2, 0, 6,
    35, 41, 49, 58, 100, 45, 53, 60, 69, 100, 30, 40, 50, 60, 100, 30, 40, 60, 80, 100,
    1, 1, 1, 0, 0,
    0xFE, 0xFF, 28, 0, 0, 0, 32, 0, 4, 0, 39, 0, 52, 0, 126, 0, 48, 0, 118, 0,
    0x2C, 0x01, 8, 14, 97, 195, 83, 1,
};

const Bytes mDefaultBytes = {
    0x01, 0x00, 20, 68, 0x00, 0x00, 2, 0, 6,
    35, 41, 49, 58, 100, 45, 53, 60, 69, 100, 30, 40, 50, 60, 100, 30, 40, 60, 80, 100,
    1, 1, 1, 0, 0,
    4, 0, 39, 0, 7, 0, 45, 0, 45, 0, 113, 0, 50, 0, 122, 0,
    15, 27, 9, 10, 0x3F,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 3, 4, 97, 195, 83, 1,
};

// Version, kind, magic and block, then the CRC low byte first.
Bytes fileImage(unsigned char version, unsigned char kind, const char* magic, const Bytes& block)
{
    Bytes image{version, kind};
    image.insert(image.end(), magic, magic + 22);
    image.insert(image.end(), block.begin(), block.end());
    const std::uint16_t crc = crc16(image.data(), image.size());
    image.push_back(static_cast<unsigned char>(crc & 0xFF));
    image.push_back(static_cast<unsigned char>(crc >> 8));
    return image;
}

Bytes validKFile() { return fileImage(3, 1, "CUK1-Configurationfile", kDefaultBytes); }

int entriesIn(const std::filesystem::path& dir)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

class ConfigFileTest : public ::testing::Test {
protected:
    TempDir dir;
    KParameterBlock target{};   // failed loads must leave it alone

    int loadK(const Bytes& content)
    {
        writeBytes(dir / "k.cbf", content);
        std::memset(&target, 0xA5, sizeof target);
        return loadConfigFile(dir / "k.cbf", kConfigFile, &target);
    }

    bool targetUntouched() const
    {
        KParameterBlock pattern;
        std::memset(&pattern, 0xA5, sizeof pattern);
        return std::memcmp(&pattern, &target, sizeof target) == 0;
    }
};

} // namespace

TEST_F(ConfigFileTest, SavedDefaultFilesAreTheDocumentedImagesAndLoadBack)
{
    ASSERT_EQ(saveConfigFile(dir / "k.cbf", kConfigFile, &kDefaultParameters), 0);
    const Bytes k = readBytes(dir / "k.cbf");
    ASSERT_EQ(k.size(), 88u);
    EXPECT_EQ(k, validKFile());
    KParameterBlock kBack{};
    ASSERT_EQ(loadConfigFile(dir / "k.cbf", kConfigFile, &kBack), 0);
    EXPECT_EQ(std::memcmp(&kBack, kDefaultBytes.data(), sizeof kBack), 0);

    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mConfigFile, &mDefaultParameters), 0);
    const Bytes m = readBytes(dir / "m.cbf");
    ASSERT_EQ(m.size(), 100u);
    EXPECT_EQ(m, fileImage(1, 2, "CUM1-Configurationfile", mDefaultBytes));
    MParameterBlock mBack{};
    ASSERT_EQ(loadConfigFile(dir / "m.cbf", mConfigFile, &mBack), 0);
    EXPECT_EQ(std::memcmp(&mBack, mDefaultBytes.data(), sizeof mBack), 0);
}

TEST_F(ConfigFileTest, LoadChecksFailInTheirOrderAndLeaveTheBlock)
{
    EXPECT_EQ(loadConfigFile(dir / "missing.cbf", kConfigFile, &target), textFileNotFound);
    EXPECT_EQ(loadConfigFile(dir.path(), kConfigFile, &target), textFileNotFound);

    Bytes version = validKFile();
    version[0] = 2;
    Bytes bothWrong = version;
    bothWrong[1] = 2;          // the kind is looked at before the version
    Bytes magic = validKFile();
    magic[2] = 'c';            // compared exactly, case included
    Bytes cut = validKFile();
    cut.pop_back();
    Bytes header = validKFile();
    header.resize(24);
    Bytes flipped = validKFile();
    flipped[24 + 60] ^= 0x04;
    Bytes crcFlipped = validKFile();
    crcFlipped.back() ^= 0x80;
    const struct {
        const char* name;
        Bytes file;
        int expected;
    } cases[] = {
        {"M file", fileImage(1, 2, "CUM1-Configurationfile", mDefaultBytes), textFileWrongUnit},
        {"version", version, textFileWrongVersion},
        {"kind and version", bothWrong, textFileWrongUnit},
        {"magic", magic, textFileInvalid},
        {"87 bytes", cut, textFileError},
        {"header only", header, textFileError},
        {"empty", {}, textFileWrongUnit},   // missing bytes never match
        {"one byte", {3}, textFileWrongUnit},
        {"magic cut short", {3, 1, 'C', 'U', 'K', '1'}, textFileInvalid},
        {"block bit", flipped, textFileCrcError},
        {"CRC bit", crcFlipped, textFileCrcError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(loadK(c.file), c.expected) << c.name;
        EXPECT_TRUE(targetUntouched()) << c.name;
    }

    // The same flipped bit with a recomputed CRC loads; bytes after the image
    // are not read.
    Bytes changed = kDefaultBytes;
    changed[60] ^= 0x04;
    Bytes file = fileImage(3, 1, "CUK1-Configurationfile", changed);
    file.insert(file.end(), {0xDE, 0xAD});
    EXPECT_EQ(loadK(file), 0);
    EXPECT_EQ(target.AccessCode, 87);
}

TEST_F(ConfigFileTest, SaveGoesThroughATemporaryFileAndReplacesTheTarget)
{
    writeBytes(dir / "k.cbf", Bytes(500, 0x55));
    // A temporary file an earlier save left behind is not taken over.
    const Bytes stale(10, 0x11);
    writeBytes(configTempPath(dir / "k.cbf", 0), stale);

    ASSERT_EQ(saveConfigFile(dir / "k.cbf", kConfigFile, &kDefaultParameters), 0);
    EXPECT_EQ(readBytes(dir / "k.cbf"), validKFile());
    EXPECT_EQ(readBytes(configTempPath(dir / "k.cbf", 0)), stale);
    EXPECT_EQ(entriesIn(dir.path()), 2);
}

TEST_F(ConfigFileTest, FailedSaveReportsFileErrorAndKeepsThePreviousFile)
{
    EXPECT_EQ(saveConfigFile(dir / "no-folder" / "k.cbf", kConfigFile, &kDefaultParameters), textFileError);

    // No temporary file can be created: the old file stays as it was.
    const Bytes previous = fileImage(3, 1, "CUK1-Configurationfile", Bytes(62, 40));
    writeBytes(dir / "k.cbf", previous);
    for (int attempt = 0; attempt < configTempAttempts; ++attempt)
        std::filesystem::create_directory(configTempPath(dir / "k.cbf", attempt));
    EXPECT_EQ(saveConfigFile(dir / "k.cbf", kConfigFile, &kDefaultParameters), textFileError);
    EXPECT_EQ(readBytes(dir / "k.cbf"), previous);

    // The target is a folder: the rename fails and the temporary file goes.
    TempDir other;
    std::filesystem::create_directory(other / "folder.cbf");
    EXPECT_EQ(saveConfigFile(other / "folder.cbf", kConfigFile, &kDefaultParameters), textFileError);
    EXPECT_TRUE(std::filesystem::is_directory(other / "folder.cbf"));
    EXPECT_EQ(entriesIn(other.path()), 1);
}
