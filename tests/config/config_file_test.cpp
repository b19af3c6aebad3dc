#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
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

Bytes header(unsigned char version, unsigned char kind, const char* magic)
{
    Bytes b(24);
    b[0] = version;
    b[1] = kind;
    std::memcpy(b.data() + 2, magic, 22);
    return b;
}

Bytes withCrc(Bytes image)
{
    const std::uint16_t crc = crc16(image.data(), image.size());
    image.push_back(static_cast<unsigned char>(crc & 0xFF));
    image.push_back(static_cast<unsigned char>(crc >> 8));
    return image;
}

Bytes validKFile(const Bytes& block = kDefaultBytes)
{
    Bytes image = header(3, 1, "CUK1-Configurationfile");
    image.insert(image.end(), block.begin(), block.end());
    return withCrc(image);
}

class ConfigFileTest : public ::testing::Test {
protected:
    TempDir dir;
    // A block the failed loads must leave alone.
    KParameterBlock target{};

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

TEST_F(ConfigFileTest, DefaultRecordsAreTheDocumentedBytes)
{
    ASSERT_EQ(kDefaultBytes.size(), sizeof(KParameterBlock));
    ASSERT_EQ(mDefaultBytes.size(), sizeof(MParameterBlock));
    EXPECT_EQ(std::memcmp(&kDefaultParameters, kDefaultBytes.data(), kDefaultBytes.size()), 0);
    EXPECT_EQ(std::memcmp(&mDefaultParameters, mDefaultBytes.data(), mDefaultBytes.size()), 0);
}

TEST_F(ConfigFileTest, SavedDefaultFilesAreTheExpectedImages)
{
    ASSERT_EQ(saveConfigFile(dir / "k.cbf", kConfigFile, &kDefaultParameters), 0);
    const Bytes k = readBytes(dir / "k.cbf");
    ASSERT_EQ(k.size(), 88u);
    EXPECT_EQ(k, validKFile());
    EXPECT_EQ(crc16(k.data(), k.size()), 0);

    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mConfigFile, &mDefaultParameters), 0);
    const Bytes m = readBytes(dir / "m.cbf");
    ASSERT_EQ(m.size(), 100u);
    Bytes expected = header(1, 2, "CUM1-Configurationfile");
    expected.insert(expected.end(), mDefaultBytes.begin(), mDefaultBytes.end());
    EXPECT_EQ(m, withCrc(expected));
}

TEST_F(ConfigFileTest, SaveThenLoadGivesTheBlockBackForBothFamilies)
{
    KParameterBlock k = kDefaultParameters;
    k.Flags_Options = 0xF0F1;
    k.CoolOffMin_C = -4;
    k.Time_BelowOff = 999;
    ASSERT_EQ(saveConfigFile(dir / "k.cbf", kConfigFile, &k), 0);
    KParameterBlock kBack{};
    ASSERT_EQ(loadConfigFile(dir / "k.cbf", kConfigFile, &kBack), 0);
    EXPECT_EQ(std::memcmp(&k, &kBack, sizeof k), 0);

    MParameterBlock m = mDefaultParameters;
    m.Relay[2] = 5;
    m.CompOffset[5][1] = 99;
    ASSERT_EQ(saveConfigFile(dir / "m.cbf", mConfigFile, &m), 0);
    MParameterBlock mBack{};
    ASSERT_EQ(loadConfigFile(dir / "m.cbf", mConfigFile, &mBack), 0);
    EXPECT_EQ(std::memcmp(&m, &mBack, sizeof m), 0);
}

TEST_F(ConfigFileTest, LoadChecksFailInTheirOrder)
{
    EXPECT_EQ(loadConfigFile(dir / "missing.cbf", kConfigFile, &target), textFileNotFound);
    EXPECT_EQ(loadConfigFile(dir.path(), kConfigFile, &target), textFileNotFound);

    // The unit kind is looked at before the version: an M file in the K window.
    Bytes mFile = header(1, 2, "CUM1-Configurationfile");
    mFile.insert(mFile.end(), mDefaultBytes.begin(), mDefaultBytes.end());
    EXPECT_EQ(loadK(withCrc(mFile)), textFileWrongUnit);
    EXPECT_TRUE(targetUntouched());

    Bytes file = validKFile();
    file[0] = 2;
    EXPECT_EQ(loadK(file), textFileWrongVersion);
    file[1] = 2;
    EXPECT_EQ(loadK(file), textFileWrongUnit);

    file = validKFile();
    file[2 + 21] = 'F';   // "...Configurationfile" ends in 'e'
    EXPECT_EQ(loadK(file), textFileInvalid);
    file = validKFile();
    file[2] = 'c';        // compared exactly, case included
    EXPECT_EQ(loadK(file), textFileInvalid);
    EXPECT_TRUE(targetUntouched());

    file = validKFile();
    file.pop_back();      // 87 bytes
    EXPECT_EQ(loadK(file), textFileError);
    EXPECT_TRUE(targetUntouched());
    file.resize(24);      // header and magic only
    EXPECT_EQ(loadK(file), textFileError);

    // Files too short for the header or the magic fail on what is missing.
    EXPECT_EQ(loadK({}), textFileWrongUnit);
    EXPECT_EQ(loadK({3}), textFileWrongUnit);
    EXPECT_EQ(loadK({3, 1, 'C', 'U', 'K', '1'}), textFileInvalid);
    EXPECT_TRUE(targetUntouched());
}

TEST_F(ConfigFileTest, FlippedBitFailsTheCrcUntilTheCrcIsRecomputed)
{
    Bytes file = validKFile();
    file[24 + 60] ^= 0x04;   // AccessCode 83 -> 87
    EXPECT_EQ(loadK(file), textFileCrcError);
    EXPECT_TRUE(targetUntouched());

    file.resize(file.size() - 2);
    EXPECT_EQ(loadK(withCrc(file)), 0);
    EXPECT_EQ(target.AccessCode, 87);

    // A flipped CRC byte is caught as well.
    Bytes crcFlipped = validKFile();
    crcFlipped.back() ^= 0x80;
    EXPECT_EQ(loadK(crcFlipped), textFileCrcError);
}

TEST_F(ConfigFileTest, BytesAfterTheImageAreIgnored)
{
    Bytes file = validKFile();
    file.insert(file.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    ASSERT_EQ(loadK(file), 0);
    EXPECT_EQ(std::memcmp(&target, &kDefaultParameters, sizeof target), 0);
}

namespace {

int entriesIn(const std::filesystem::path& dir)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++count;
    return count;
}

} // namespace

TEST_F(ConfigFileTest, SaveReplacesAnExistingFileAndLeavesNoTemporaryFile)
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
    // No such folder: nothing can be created.
    EXPECT_EQ(saveConfigFile(dir / "no-folder" / "k.cbf", kConfigFile, &kDefaultParameters), textFileError);

    // No temporary file can be created: the old file stays as it was.
    const Bytes previous = validKFile(Bytes(62, 40));
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
