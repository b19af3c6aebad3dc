#include "app/texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Texts, TablesAreCompleteAndWindows1252)
{
    for (int i = 0; i < textCount; ++i)
        ASSERT_TRUE(germanTexts[i] && englishTexts[i]) << i;
    for (int i = 0; i < warningLineCount; ++i)
        ASSERT_NE(warningLines[i], nullptr) << i;
    // Umlauts and sharp s are single bytes, not UTF-8 sequences.
    EXPECT_EQ(std::strlen(germanTexts[7]), 5u);
    EXPECT_EQ(static_cast<unsigned char>(germanTexts[7][3]), 0xE4);
    EXPECT_STREQ(germanTexts[42], "Schlie\xDF" "en");
    EXPECT_STREQ(germanTexts[290], "Vorgenommene Einstellungen k\xF6nnen sonst nicht \xFC" "bernommen werden.");
    EXPECT_STREQ(warningLines[4], "Versuchen Sie NIEMALS, die Parameter der Quarnel K\xFChl- und Heizsysteme mit "
                                  "dieser Software zu ver\xE4ndern, ");
    EXPECT_STREQ(warningLines[21], "untrained personnel.");
}

TEST(Texts, TyposTabsAndLineBreaksAreKept)
{
    EXPECT_STREQ(englishTexts[45], "Failure 'Low volatge cut out 230V' !");
    EXPECT_STREQ(englishTexts[53], "Failure 'Switch on temperature heating ' !");
    EXPECT_STREQ(germanTexts[55], "Fehler 'Relation Abschalttemperatur Heizen >= Einschalttemperatur Heizent' !");
    EXPECT_STREQ(englishTexts[200], "Fehler 'Blower Level\t' !");
    EXPECT_STREQ(englishTexts[289], "Make sure that display of the AC-unit is set to \n");
    EXPECT_STREQ(englishTexts[288], "IMPORTANT !\n\nUnit must be\nswitched off for\nmanual control !");
    EXPECT_STREQ(englishTexts[65], "K-Series Configuration / Connect to: ");
    EXPECT_STREQ(germanTexts[98], " Protokolleintr\xE4ge gelesen !");
}

TEST(Texts, LanguageSelectionCopiesTheWholeTable)
{
    for (std::int32_t language : {0, 1, 2, -1}) {
        selectLanguageTexts(language);
        const char* const* table = language == 0 ? germanTexts : englishTexts;
        for (int i = 0; i < textCount; ++i)
            ASSERT_EQ(uiText[i], table[i]) << language << " " << i;
    }
    EXPECT_STREQ(text(6), "Configuration:");
}
