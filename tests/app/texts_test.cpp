#include "app/texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Texts, TablesAreCompleteAndWindows1252)
{
    for (int i = 0; i < textCount; ++i) {
        ASSERT_NE(germanTexts[i], nullptr) << i;
        ASSERT_NE(englishTexts[i], nullptr) << i;
    }
    for (int i = 0; i < warningLineCount; ++i)
        ASSERT_NE(warningLines[i], nullptr) << i;

    // Umlauts and sharp s are single bytes, not UTF-8 sequences.
    EXPECT_STREQ(germanTexts[7], "Ger\xE4t");
    EXPECT_EQ(static_cast<unsigned char>(germanTexts[7][3]), 0xE4);
    EXPECT_EQ(std::strlen(germanTexts[7]), 5u);
    EXPECT_STREQ(germanTexts[42], "Schlie\xDF" "en");
    EXPECT_STREQ(germanTexts[41], "\xC4nderungen sichern");
    EXPECT_STREQ(germanTexts[224], "Umkehrventil K\xFChlmittel");
}

TEST(Texts, SpotChecksByIndex)
{
    EXPECT_STREQ(germanTexts[0], "Quarnel Polarund Expert Tool");
    EXPECT_STREQ(englishTexts[0], "Quarnel Polarund Expert Tool");
    EXPECT_STREQ(germanTexts[1], "K-Serie");
    EXPECT_STREQ(englishTexts[2], "M-Series");
    EXPECT_STREQ(germanTexts[16], "Aus");
    EXPECT_STREQ(germanTexts[27], "Aus");
    EXPECT_STREQ(englishTexts[65], "K-Series Configuration / Connect to: ");
    EXPECT_STREQ(germanTexts[98], " Protokolleintr\xE4ge gelesen !");
    EXPECT_STREQ(englishTexts[143], " seconds !");
    EXPECT_STREQ(englishTexts[290], "standard mode showing room temperature when saving changes.");
    EXPECT_STREQ(germanTexts[290], "Vorgenommene Einstellungen k\xF6nnen sonst nicht \xFC" "bernommen werden.");
}

TEST(Texts, TyposTabsAndLineBreaksAreKept)
{
    EXPECT_STREQ(englishTexts[44], "Failure 'Low voltage cut out 115V' !");
    EXPECT_STREQ(englishTexts[45], "Failure 'Low volatge cut out 230V' !");
    EXPECT_STREQ(englishTexts[53], "Failure 'Switch on temperature heating ' !");
    EXPECT_STREQ(germanTexts[55],
                 "Fehler 'Relation Abschalttemperatur Heizen >= Einschalttemperatur Heizent' !");
    EXPECT_STREQ(englishTexts[200], "Fehler 'Blower Level\t' !");
    EXPECT_STREQ(germanTexts[200], "Fehler 'Gebl\xE4sestufe' !");
    for (int i = 187; i <= 200; ++i)
        EXPECT_EQ(std::string(englishTexts[i]).rfind("Fehler '", 0), 0u) << i;

    const std::string de289 = germanTexts[289];
    const std::string en289 = englishTexts[289];
    EXPECT_EQ(de289.back(), '\n');
    EXPECT_EQ(en289, "Make sure that display of the AC-unit is set to \n");
    EXPECT_STREQ(englishTexts[288], "IMPORTANT !\n\nUnit must be\nswitched off for\nmanual control !");
}

TEST(Texts, WarningLines)
{
    EXPECT_STREQ(warningLines[0], "WARNUNG !");
    EXPECT_STREQ(warningLines[1], " ");
    EXPECT_STREQ(warningLines[4],
                 "Versuchen Sie NIEMALS, die Parameter der Quarnel K\xFChl- und Heizsysteme mit "
                 "dieser Software zu ver\xE4ndern, ");
    EXPECT_STREQ(warningLines[11], "WARNING !");
    EXPECT_STREQ(warningLines[21], "untrained personnel.");
}

TEST(Texts, LanguageSelectionCopiesTheWholeTable)
{
    selectLanguageTexts(1);
    for (int i = 0; i < textCount; ++i)
        ASSERT_EQ(uiText[i], englishTexts[i]) << i;
    EXPECT_STREQ(text(45), "Failure 'Low volatge cut out 230V' !");

    selectLanguageTexts(0);
    for (int i = 0; i < textCount; ++i)
        ASSERT_EQ(uiText[i], germanTexts[i]) << i;
    EXPECT_STREQ(text(6), "Konfiguration:");

    // Any value but 0 means English.
    for (std::int32_t language : {2, -1, 0x7FFFFFFF}) {
        selectLanguageTexts(language);
        EXPECT_EQ(uiText[290], englishTexts[290]) << language;
    }
}
