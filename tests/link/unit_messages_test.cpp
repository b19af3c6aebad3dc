#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/texts.h"
#include "link/unit_messages.h"

namespace {

std::string wrongUnit(int ownKind, std::uint8_t kind, std::uint8_t major, std::uint8_t minor,
                      const char* const* texts)
{
    // lParam points at answer byte 4: kind, minor, major follow.
    const std::uint8_t answer[4] = {0, kind, minor, major};
    char message[160];
    wrongUnitMessage(message, sizeof message, ownKind, answer, texts);
    return message;
}

TEST(WrongUnitMessage, NamesEveryForeignKindInBothLanguages)
{
    const char* english[] = {
        "False ControlUnit (Nordel) connected !", "False ControlUnit (K-Series) connected !",
        "False ControlUnit (M-Series) connected !", "False ControlUnit (Trelix) connected !",
        "False ControlUnit (Solvane) connected !", "False ControlUnit (Ventora) connected !",
    };
    const char* german[] = {
        "Falsche Steuerung (Nordel) angeschlossen !", "Falsche Steuerung (K-Series) angeschlossen !",
        "Falsche Steuerung (M-Series) angeschlossen !", "Falsche Steuerung (Trelix) angeschlossen !",
        "Falsche Steuerung (Solvane) angeschlossen !", "Falsche Steuerung (Ventora) angeschlossen !",
    };
    for (std::uint8_t kind = 0; kind <= 5; ++kind) {
        // A K-Series window names kind 1 only as firmware; an M-Series one kind 2.
        const int ownKind = kind == 1 ? 2 : 1;
        EXPECT_EQ(wrongUnit(ownKind, kind, 1, 0, englishTexts), english[kind]) << int(kind);
        EXPECT_EQ(wrongUnit(ownKind, kind, 1, 0, germanTexts), german[kind]) << int(kind);
    }
    for (std::uint8_t kind : {6, 7, 200, 255}) {
        EXPECT_EQ(wrongUnit(1, kind, 1, 0, englishTexts), "Unknown Device connected !");
        EXPECT_EQ(wrongUnit(2, kind, 1, 0, germanTexts), "Unbekannte Steuerung angeschlossen !");
    }
}

TEST(WrongUnitMessage, OwnKindMeansWrongFirmwareWithTheFamilysSpacing)
{
    EXPECT_EQ(wrongUnit(1, 1, 1, 5, englishTexts), "Firmware (1.05)of ControlUnitK not match !");
    EXPECT_EQ(wrongUnit(1, 1, 1, 123, germanTexts), "Firmware (1.123)der ControlUnitK unpassend !");
    EXPECT_EQ(wrongUnit(2, 2, 1, 5, englishTexts), "Firmware (1.05) of ControlUnitM not match !");
    EXPECT_EQ(wrongUnit(2, 2, 1, 123, germanTexts), "Firmware (1.123) der ControlUnitM unpassend !");
    EXPECT_EQ(wrongUnit(2, 2, 12, 0, englishTexts), "Firmware (12.00) of ControlUnitM not match !");
}

TEST(WrongUnitMessage, NeverWritesPastASmallBuffer)
{
    const std::uint8_t answer[4] = {0, 2, 123, 255};
    char message[12];
    std::memset(message, 'x', sizeof message);
    wrongUnitMessage(message, 8, 2, answer, englishTexts);
    EXPECT_EQ(std::strlen(message), 7u);
    EXPECT_EQ(message[8], 'x');
}

TEST(StandardEndReaction, TextAndIconPerEndCode)
{
    const std::uint8_t answer[4] = {1, 2, 4, 2};
    char text[160];
    EndReaction reaction = standardEndReaction(0, 1, nullptr, englishTexts, text, sizeof text);
    EXPECT_TRUE(reaction.show && reaction.errorIcon);
    EXPECT_STREQ(text, "Communication lost !");

    reaction = standardEndReaction(1, 1, answer, germanTexts, text, sizeof text);
    EXPECT_TRUE(reaction.show && reaction.errorIcon);
    EXPECT_STREQ(text, "Falsche Steuerung (M-Series) angeschlossen !");

    reaction = standardEndReaction(2, 2, nullptr, englishTexts, text, sizeof text);
    EXPECT_TRUE(reaction.show && reaction.errorIcon);
    EXPECT_STREQ(text, "Write to EEPROM failed !");

    reaction = standardEndReaction(3, 2, nullptr, germanTexts, text, sizeof text);
    EXPECT_TRUE(reaction.show);
    EXPECT_FALSE(reaction.errorIcon);
    EXPECT_STREQ(text, "Neue Konfiguration programmiert !");

    reaction = standardEndReaction(4, 1, nullptr, germanTexts, text, sizeof text);
    EXPECT_TRUE(reaction.show && reaction.errorIcon);
    EXPECT_STREQ(text, "USB-Error !");

    reaction = standardEndReaction(5, 1, nullptr, englishTexts, text, sizeof text);
    EXPECT_FALSE(reaction.show);
    EXPECT_TRUE(reaction.windowCompletion);

    for (std::uint32_t code : {6u, 7u, 1000u}) {
        reaction = standardEndReaction(code, 1, answer, englishTexts, text, sizeof text);
        EXPECT_FALSE(reaction.show || reaction.windowCompletion) << code;
    }
}

TEST(FeatureTitles, PrefixBaseTitleAndCaptionsPerWindow)
{
    char title[160];
    connectedTitle(title, sizeof title, featureConfigK, "Unit 7", englishTexts);
    EXPECT_STREQ(title, "K-Series Configuration / Connect to: Unit 7");
    connectedTitle(title, sizeof title, featureMonitorM, "X", germanTexts);
    EXPECT_STREQ(title, "Monitor: verbunden mit: X");
    EXPECT_STREQ(titlePrefix(featureConfigM, englishTexts), "M-Series Configuration / Connect to: ");
    EXPECT_STREQ(titlePrefix(featureCountersM, germanTexts), "K-Series Betriebsz\xE4hler / Verbunden mit: ");
    EXPECT_STREQ(titlePrefix(featureProtocolReadK, englishTexts), "Read protocol / Connect to: ");

    EXPECT_STREQ(baseTitle(featureConfigM, germanTexts), "Konfiguration:");
    EXPECT_STREQ(baseTitle(featureCountersK, englishTexts), "Running Counter");
    EXPECT_STREQ(baseTitle(featureMonitorK, englishTexts), "Monitor");
    EXPECT_EQ(baseTitle(featureProtocolReadM, englishTexts), nullptr);

    EXPECT_STREQ(familyCaption(featureCountersK), "K-Series");
    EXPECT_STREQ(familyCaption(featureMonitorM), "M-Series");

    EXPECT_STREQ(commonControlsCaption(featureConfigK, englishTexts), "CUK1 Konfiguration");
    EXPECT_STREQ(commonControlsCaption(featureCountersK, germanTexts), "Betriebsz\xE4hler");
    EXPECT_STREQ(commonControlsCaption(featureProtocolReadM, englishTexts), "Read protocol");
    EXPECT_STREQ(commonControlsCaption(featureMonitorK, englishTexts), "Polarund K Configuration");
    EXPECT_STREQ(commonControlsCaption(featureCountersM, englishTexts), "CUM1 Configuration");
    EXPECT_STREQ(commonControlsCaption(featureMonitorM, englishTexts), "CUQ1 Configuration");
}

} // namespace
