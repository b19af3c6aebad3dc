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
    const std::string names[] = {"Nordel", "K-Series", "M-Series", "Trelix", "Solvane", "Ventora"};
    for (std::uint8_t kind = 0; kind <= 5; ++kind) {
        // A K-Series window names kind 1 only as firmware; an M-Series one kind 2.
        const Family own = kind == 1 ? Family::m : Family::k;
        EXPECT_EQ(wrongUnit(own, kind, 1, 0, englishTexts), "False ControlUnit (" + names[kind] + ") connected !");
        EXPECT_EQ(wrongUnit(own, kind, 1, 0, germanTexts), "Falsche Steuerung (" + names[kind] + ") angeschlossen !");
    }
    for (std::uint8_t kind : {6, 255}) {
        EXPECT_EQ(wrongUnit(Family::k, kind, 1, 0, englishTexts), "Unknown Device connected !");
        EXPECT_EQ(wrongUnit(Family::m, kind, 1, 0, germanTexts), "Unbekannte Steuerung angeschlossen !");
    }
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

    // K and M per window: configuration, counters, protocol read, monitor.
    const char* captions[][2] = {{"CUK1 Konfiguration", "CUM1 Configuration"}, {"Betriebsz\xE4hler", "CUM1 Configuration"},
                                 {"Protokoll lesen", "Protokoll lesen"}, {"Polarund K Configuration", "CUQ1 Configuration"}};
    const Feature windows[] = {Feature::configuration, Feature::counters, Feature::protocolRead, Feature::monitor};
    for (int w = 0; w < 4; ++w)
        for (Family family : {Family::k, Family::m})
            EXPECT_STREQ(commonControlsCaption(windows[w], family, germanTexts), captions[w][family == Family::m]) << w;
}

} // namespace
