#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "app/texts.h"
#include "app/link_messages.h"

namespace {

// answer is what lParam points at, answer byte 4 on: kind, minor, major follow.
std::string wrongUnit(Family own, std::uint8_t kind, std::uint8_t major, std::uint8_t minor, const char* const* texts)
{
    const std::uint8_t answer[4] = {0, kind, minor, major};
    char message[160];
    wrongUnitMessage(message, sizeof message, own, answer, texts);
    return message;
}

TEST(WrongUnitMessage, ForeignKindsAreNamedOwnKindMeansWrongFirmware)
{
    // The first and last named kinds, the other family, and the first unknown kind.
    EXPECT_EQ(wrongUnit(Family::k, 0, 1, 0, englishTexts), "False ControlUnit (Nordel) connected !");
    EXPECT_EQ(wrongUnit(Family::m, 1, 1, 0, germanTexts), "Falsche Steuerung (K-Series) angeschlossen !");
    EXPECT_EQ(wrongUnit(Family::k, 5, 1, 0, germanTexts), "Falsche Steuerung (Ventora) angeschlossen !");
    EXPECT_EQ(wrongUnit(Family::k, 6, 1, 0, englishTexts), "Unknown Device connected !");
    EXPECT_EQ(wrongUnit(Family::m, 255, 1, 0, germanTexts), "Unbekannte Steuerung angeschlossen !");
    // Each family spaces its firmware text its own way.
    EXPECT_EQ(wrongUnit(Family::k, 1, 1, 5, englishTexts), "Firmware (1.05)of ControlUnitK not match !");
    EXPECT_EQ(wrongUnit(Family::k, 1, 1, 123, germanTexts), "Firmware (1.123)der ControlUnitK unpassend !");
    EXPECT_EQ(wrongUnit(Family::m, 2, 1, 5, englishTexts), "Firmware (1.05) of ControlUnitM not match !");
    EXPECT_EQ(wrongUnit(Family::m, 2, 12, 0, germanTexts), "Firmware (12.00) der ControlUnitM unpassend !");

    // Never past a small buffer.
    const std::uint8_t answer[4] = {0, 2, 123, 255};
    char message[12];
    std::memset(message, 'x', sizeof message);
    wrongUnitMessage(message, 8, Family::m, answer, englishTexts);
    EXPECT_EQ(std::strlen(message), 7u);
    EXPECT_EQ(message[8], 'x');
}

TEST(StandardEndReaction, TextAndIconPerEndCode)
{
    const std::uint8_t unitM[4] = {1, 2, 4, 2};
    // text nullptr: no message box.
    const struct { std::uint32_t code; const std::uint8_t* answer; const char* text; bool errorIcon, ownEnd; } cases[] = {
        {0, nullptr, "Verbindung unterbrochen !", true, false},
        {1, unitM, "Falsche Steuerung (M-Series) angeschlossen !", true, false},
        {1, nullptr, nullptr, false, false},   // a refusal without its answer shows nothing
        {2, nullptr, "Fehler beim Schreiben des EEPROM !", true, false},
        {3, nullptr, "Neue Konfiguration programmiert !", false, false},
        {4, nullptr, "USB-Error !", true, false},
        {5, nullptr, nullptr, false, true}, {6, unitM, nullptr, false, false}, {1000, nullptr, nullptr, false, false}};
    for (const auto& c : cases) {
        char text[160] = "stale";
        const EndReaction reaction = standardEndReaction(c.code, Family::k, c.answer, germanTexts, text, sizeof text);
        EXPECT_EQ(reaction.show, c.text != nullptr) << c.code;
        EXPECT_STREQ(text, c.text ? c.text : "") << c.code;
        EXPECT_EQ(reaction.errorIcon && reaction.show, c.errorIcon) << c.code;
        EXPECT_EQ(reaction.windowCompletion, c.ownEnd) << c.code;
    }
}

TEST(FeatureTitles, PrefixesAndCommonControlsCaptionsPerWindow)
{
    // (Connected titles are checked by the windows' own tests.)
    char title[160];
    connectedTitle(title, sizeof title, Feature::configuration, Family::m, "X", englishTexts);
    EXPECT_STREQ(title, "M-Series Configuration / Connect to: X");
    EXPECT_STREQ(titlePrefix(Feature::counters, Family::m, germanTexts), "K-Series Betriebsz\xE4hler / Verbunden mit: ");
    EXPECT_STREQ(baseTitle(Feature::counters, germanTexts), "Betriebsz\xE4hler");
    EXPECT_EQ(baseTitle(Feature::protocolRead, englishTexts), nullptr);   // that window closes instead

    // Each window and family has its own caption, some of them borrowed.
    EXPECT_STREQ(commonControlsCaption(Feature::configuration, Family::k, germanTexts), "CUK1 Konfiguration");
    EXPECT_STREQ(commonControlsCaption(Feature::counters, Family::m, germanTexts), "CUM1 Configuration");
    EXPECT_STREQ(commonControlsCaption(Feature::monitor, Family::k, germanTexts), "Polarund K Configuration");
    EXPECT_STREQ(commonControlsCaption(Feature::monitor, Family::m, germanTexts), "CUQ1 Configuration");
}

} // namespace
