#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/crc16.h"
#include "temp_dir.h"

namespace {

AppState zeroState()
{
    AppState state;
    std::memset(&state, 0, sizeof state);
    return state;
}

std::vector<unsigned char> intactImage(const AppState& state)
{
    std::vector<unsigned char> image(sizeof state);
    std::memcpy(image.data(), &state, sizeof state);
    const std::uint16_t crc = crc16(image.data(), image.size());
    image.push_back(static_cast<unsigned char>(crc & 0xFF));
    image.push_back(static_cast<unsigned char>(crc >> 8));
    return image;
}

} // namespace

TEST(Settings, FirstStartCreatesTheFileFromTheZeroBlock)
{
    TempDir dir;
    AppState state = zeroState();
    EXPECT_FALSE(loadSettings(state, dir / "kavix.ini"));

    const auto bytes = readBytes(dir / "kavix.ini");
    ASSERT_EQ(bytes.size(), 186u);
    for (std::size_t i = 0; i < 184; ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(bytes[184], 0x9A);
    EXPECT_EQ(bytes[185], 0xDD);
    EXPECT_EQ(crc16(bytes.data(), bytes.size()), 0);
}

TEST(Settings, SaveThenLoadRestoresTheBlockButClearsLinkAndProtocolFlags)
{
    TempDir dir;
    AppState saved = zeroState();
    saved.language = 1;
    saved.family = 1;
    saved.linkOpen = 1;
    saved.protocolAvailable = 1;
    saved.protocolCount = 1234;
    saved.textCharWidth = 0x01020304; // an odd-offset field
    saved.runTicks[5] = -7;
    ASSERT_TRUE(saveSettings(saved, dir / "kavix.ini"));

    AppState loaded = zeroState();
    ASSERT_TRUE(loadSettings(loaded, dir / "kavix.ini"));
    EXPECT_EQ(loaded.language, 1);
    EXPECT_EQ(loaded.family, 1);
    EXPECT_EQ(loaded.linkOpen, 0);
    EXPECT_EQ(loaded.protocolAvailable, 0);
    EXPECT_EQ(loaded.protocolCount, 1234);
    EXPECT_EQ(std::int32_t{loaded.textCharWidth}, 0x01020304); // packed field: copy, no reference
    EXPECT_EQ(loaded.runTicks[5], -7);

    // Little-endian on disk: language is at offset 108.
    const auto bytes = readBytes(dir / "kavix.ini");
    EXPECT_EQ(bytes[108], 1);
    EXPECT_EQ(bytes[97], 0x04);
    EXPECT_EQ(bytes[100], 0x01);
}

TEST(Settings, CorruptFileIsIgnoredAndLeftUntouched)
{
    TempDir dir;
    AppState english = zeroState();
    english.language = 1;
    auto image = intactImage(english);
    for (std::size_t flip : {0u, 108u, 183u, 185u}) {
        auto corrupt = image;
        corrupt[flip] ^= 0x01;
        writeBytes(dir / "kavix.ini", corrupt);

        AppState state = zeroState();
        EXPECT_FALSE(loadSettings(state, dir / "kavix.ini")) << "flipped byte " << flip;
        EXPECT_EQ(state.language, 0);
        EXPECT_EQ(readBytes(dir / "kavix.ini"), corrupt);
    }
}

TEST(Settings, ShortFileIsCorruptAndLongFileLoads)
{
    TempDir dir;
    AppState english = zeroState();
    english.language = 1;
    auto image = intactImage(english);

    auto shortImage = image;
    shortImage.pop_back();
    writeBytes(dir / "kavix.ini", shortImage);
    AppState state = zeroState();
    EXPECT_FALSE(loadSettings(state, dir / "kavix.ini"));
    EXPECT_EQ(readBytes(dir / "kavix.ini"), shortImage);

    auto longImage = image;
    longImage.resize(400, 0x55); // far past the 256 bytes that are read
    writeBytes(dir / "kavix.ini", longImage);
    EXPECT_TRUE(loadSettings(state, dir / "kavix.ini"));
    EXPECT_EQ(state.language, 1);

    writeBytes(dir / "kavix.ini", {});
    state = zeroState();
    EXPECT_FALSE(loadSettings(state, dir / "kavix.ini"));
}

TEST(Settings, SaveOverwritesInPlaceWithoutTruncating)
{
    TempDir dir;
    writeBytes(dir / "kavix.ini", std::vector<unsigned char>(200, 0x77));
    AppState state = zeroState();
    state.language = 1;
    ASSERT_TRUE(saveSettings(state, dir / "kavix.ini"));

    const auto bytes = readBytes(dir / "kavix.ini");
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(crc16(bytes.data(), 186), 0);
    EXPECT_EQ(bytes[186], 0x77);
    AppState loaded = zeroState();
    EXPECT_TRUE(loadSettings(loaded, dir / "kavix.ini"));
    EXPECT_EQ(loaded.language, 1);
}

TEST(Settings, LongDirectoryPathsWork)
{
    TempDir dir;
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 4; ++i)
        deep /= std::string(40, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    ASSERT_GT(deep.string().size(), 150u);

    AppState state = zeroState();
    state.language = 1;
    ASSERT_TRUE(saveSettings(state, deep / "kavix.ini"));
    AppState loaded = zeroState();
    EXPECT_TRUE(loadSettings(loaded, deep / "kavix.ini"));
    EXPECT_EQ(loaded.language, 1);
}

TEST(Settings, UnwritableLocationFailsQuietly)
{
    TempDir dir;
    AppState state = zeroState();
    const auto missing = dir / "no-such-folder" / "kavix.ini";
    EXPECT_FALSE(saveSettings(state, missing));
    EXPECT_FALSE(loadSettings(state, missing));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(Settings, PathIsKavixIniInTheCurrentDirectory)
{
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const auto path = settingsPath();
    AppState state = zeroState();
    loadSettings(state);
    std::filesystem::current_path(before);

    EXPECT_EQ(path.filename(), "kavix.ini");
    EXPECT_TRUE(std::filesystem::equivalent(path.parent_path(), dir.path()));
    EXPECT_EQ(std::filesystem::file_size(dir / "kavix.ini"), 186u);
}
