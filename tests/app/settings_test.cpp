#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/crc16.h"
#include "temp_dir.h"

namespace {

AppState zeroState(std::int32_t language = 0)
{
    AppState state;
    std::memset(&state, 0, sizeof state);
    state.language = language;
    return state;
}

} // namespace

TEST(Settings, FirstStartCreatesTheFileFromTheZeroBlockInTheCurrentDirectory)
{
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const auto path = settingsPath();
    AppState state = zeroState();
    EXPECT_FALSE(loadSettings(state));
    std::filesystem::current_path(before);

    EXPECT_TRUE(std::filesystem::equivalent(path, dir / "kavix.ini"));
    std::vector<unsigned char> expected(186, 0);
    expected[184] = 0x9A;
    expected[185] = 0xDD;
    EXPECT_EQ(readBytes(dir / "kavix.ini"), expected);
}

// Written over the start of an existing file without truncating it.
TEST(Settings, SaveThenLoadRestoresTheBlockButClearsLinkAndProtocolFlags)
{
    TempDir dir;
    writeBytes(dir / "kavix.ini", std::vector<unsigned char>(200, 0x77));
    AppState saved = zeroState(1);
    saved.linkOpen = saved.protocolAvailable = 1;
    saved.textCharWidth = 0x01020304;  // an odd-offset field
    saved.runTicks[5] = -7;
    ASSERT_TRUE(saveSettings(saved, dir / "kavix.ini"));
    const auto bytes = readBytes(dir / "kavix.ini");
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(crc16(bytes.data(), 186), 0);
    EXPECT_EQ(bytes[186], 0x77);
    EXPECT_EQ(bytes[108], 1);  // little-endian on disk
    EXPECT_EQ(bytes[97] * 0x100 + bytes[100], 0x0401);

    AppState loaded = zeroState();
    ASSERT_TRUE(loadSettings(loaded, dir / "kavix.ini"));
    EXPECT_EQ(loaded.language, 1);
    EXPECT_EQ(loaded.linkOpen + loaded.protocolAvailable, 0);
    EXPECT_EQ(std::int32_t{loaded.textCharWidth}, 0x01020304);
    EXPECT_EQ(loaded.runTicks[5], -7);
}

// Corrupt or short files are ignored and left as they are; bytes past the
// 186 that count do not matter.
TEST(Settings, OnlyAnIntactFileLoads)
{
    TempDir dir;
    ASSERT_TRUE(saveSettings(zeroState(1), dir / "intact"));
    const auto image = readBytes(dir / "intact");
    std::vector<std::vector<unsigned char>> corrupt = {{}, {image.begin(), image.end() - 1}};
    for (std::size_t flip : {0u, 108u, 183u, 185u}) {
        corrupt.push_back(image);
        corrupt.back()[flip] ^= 0x01;
    }
    for (const auto& bytes : corrupt) {
        writeBytes(dir / "kavix.ini", bytes);
        AppState state = zeroState();
        EXPECT_FALSE(loadSettings(state, dir / "kavix.ini")) << bytes.size();
        EXPECT_EQ(state.language, 0);
        EXPECT_EQ(readBytes(dir / "kavix.ini"), bytes);
    }
    auto longImage = image;
    longImage.resize(400, 0x55);
    writeBytes(dir / "kavix.ini", longImage);
    AppState state = zeroState();
    EXPECT_TRUE(loadSettings(state, dir / "kavix.ini"));
    EXPECT_EQ(state.language, 1);
}

// Any length of path works; a folder that does not exist fails quietly.
TEST(Settings, LongPathsWorkMissingFoldersFail)
{
    TempDir dir;
    std::filesystem::path deep = dir.path();
    for (char c : {'a', 'b', 'c', 'd'})
        deep /= std::string(40, c);
    std::filesystem::create_directories(deep);
    ASSERT_TRUE(saveSettings(zeroState(1), deep / "kavix.ini"));
    AppState loaded = zeroState();
    EXPECT_TRUE(loadSettings(loaded, deep / "kavix.ini"));
    EXPECT_EQ(loaded.language, 1);

    const auto missing = dir / "no-such-folder" / "kavix.ini";
    EXPECT_FALSE(saveSettings(loaded, missing));
    EXPECT_FALSE(loadSettings(loaded, missing));
    EXPECT_FALSE(std::filesystem::exists(missing));
}
