#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/crc16.h"
#include "temp_dir.h"

namespace {

AppState withLanguage(std::int32_t language)
{
    AppState state{};
    state.language = language;
    return state;
}

class Settings : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "kavix.ini";
    std::filesystem::path startDir = std::filesystem::current_path();
    void TearDown() override { std::filesystem::current_path(startDir); }

    // Language of the block loaded from path; -1 when nothing loaded and
    // the state was left alone, -2 when a failed load touched it.
    static std::int32_t loadedLanguage(const std::filesystem::path& path)
    {
        AppState state = withLanguage(-1);
        if (!loadSettings(state, path))
            return state.language == -1 ? -1 : -2;
        return state.language;
    }
};

// An empty value removes the variable.
void setVariable(const char* name, const std::string& value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
#endif
}

} // namespace

TEST_F(Settings, FirstStartCreatesTheFileFromTheZeroBlockInTheCurrentDirectory)
{
    std::filesystem::current_path(dir.path());
    AppState state = withLanguage(0);
    EXPECT_FALSE(loadSettings(state));
    EXPECT_TRUE(std::filesystem::equivalent(settingsPath(), file));
    std::vector<unsigned char> expected(186, 0);
    expected[184] = 0x9A;
    expected[185] = 0xDD;
    EXPECT_EQ(readBytes(file), expected);
}

// Where the working directory takes no file (Program Files to an ordinary
// user; /proc even to root) the file lives in the user's own folder, made
// if need be, and the language chosen there is loaded at the next start.
TEST_F(Settings, AWorkingDirectoryThatTakesNoFileLeavesItInTheUsersOwnFolder)
{
#ifdef _WIN32
    const char* variable = "LOCALAPPDATA";
    const std::filesystem::path own = dir / "Kavix" / "kavix.ini";
    std::filesystem::current_path("Z:\\proc");
#else
    const char* variable = "XDG_CONFIG_HOME";
    const std::filesystem::path own = dir / "kavix" / "kavix.ini";
    std::filesystem::current_path("/proc");
#endif
    const char* before = std::getenv(variable);
    const std::string saved = before ? before : "";
    setVariable(variable, dir.path().string());

    AppState state = withLanguage(0);
    EXPECT_FALSE(loadSettings(state));
    EXPECT_EQ(settingsPath(), own);
    EXPECT_EQ(readBytes(own).size(), 186u);
    EXPECT_FALSE(std::filesystem::exists("kavix.ini"));
    ASSERT_TRUE(saveSettings(withLanguage(1)));
    AppState next = withLanguage(0);
    EXPECT_TRUE(loadSettings(next));
    EXPECT_EQ(next.language, 1);

    // Back in a folder that takes it, the working directory's file counts.
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(std::filesystem::equivalent(settingsPath().parent_path(), dir.path()));
    setVariable(variable, saved);
}

// Written over the start of an existing file without truncating it; bytes
// past the 186 that count do not matter when loading.
TEST_F(Settings, SaveThenLoadRestoresTheBlockButClearsTheRunTimeFields)
{
    writeBytes(file, std::vector<unsigned char>(200, 0x77));
    AppState saved = withLanguage(1);
    saved.linkOpen = saved.protocolAvailable = saved.autoDisplay = 1;
    saved.textCharWidth = 0x01020304;  // an odd-offset field
    saved.runTicks[5] = -7;
    ASSERT_TRUE(saveSettings(saved, file));
    const auto bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(crc16(bytes.data(), 186), 0);
    EXPECT_EQ(bytes[186], 0x77);
    EXPECT_EQ(bytes[108], 1);  // little-endian on disk
    EXPECT_EQ(bytes[97] * 0x100 + bytes[100], 0x0401);

    AppState loaded = withLanguage(0);
    ASSERT_TRUE(loadSettings(loaded, file));
    EXPECT_EQ(loaded.language, 1);
    EXPECT_EQ(loaded.linkOpen + loaded.protocolAvailable + loaded.autoDisplay, 0);
    EXPECT_EQ(std::int32_t{loaded.textCharWidth}, 0x01020304);
    EXPECT_EQ(loaded.runTicks[5], -7);
}

// Corrupt or short files are ignored and left as they are; a folder that
// does not exist fails quietly; a long path works.
TEST_F(Settings, OnlyAnIntactFileLoads)
{
    ASSERT_TRUE(saveSettings(withLanguage(1), dir / "intact"));
    const auto image = readBytes(dir / "intact");
    std::vector<std::vector<unsigned char>> corrupt = {{}, {image.begin(), image.end() - 1}};
    for (std::size_t flip : {0u, 108u, 183u, 185u}) {
        corrupt.push_back(image);
        corrupt.back()[flip] ^= 0x01;
    }
    for (const auto& bytes : corrupt) {
        writeBytes(file, bytes);
        EXPECT_EQ(loadedLanguage(file), -1) << bytes.size();
        EXPECT_EQ(readBytes(file), bytes);
    }
    const auto missing = dir / "no-such-folder" / "kavix.ini";
    EXPECT_FALSE(saveSettings(withLanguage(1), missing));
    EXPECT_EQ(loadedLanguage(missing), -1);
    EXPECT_FALSE(std::filesystem::exists(missing));

    const auto deep = dir / std::string(40, 'a') / std::string(40, 'b') / std::string(40, 'c') / std::string(40, 'd');
    std::filesystem::create_directories(deep);
    ASSERT_TRUE(saveSettings(withLanguage(1), deep / "kavix.ini"));
    EXPECT_EQ(loadedLanguage(deep / "kavix.ini"), 1);
}
