#include "app/texts.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Texts, TablesAreCompleteWindows1252AndKeepTheirTyposTabsAndBreaks)
{
    for (int i = 0; i < textCount; ++i)
        ASSERT_TRUE(germanTexts[i] && englishTexts[i]) << i;
    for (int i = 0; i < warningLineCount; ++i)
        ASSERT_NE(warningLines[i], nullptr) << i;
    // Umlauts and sharp s are single bytes, not UTF-8 sequences.
    EXPECT_EQ(std::strlen(germanTexts[7]), 5u);
    EXPECT_EQ(static_cast<unsigned char>(germanTexts[7][3]), 0xE4);
    EXPECT_STREQ(germanTexts[42], "Schlie\xDF" "en");
    // The unit's own wording goes out as it is, flaws included.
    EXPECT_STREQ(englishTexts[45], "Failure 'Low volatge cut out 230V' !");
    EXPECT_STREQ(englishTexts[200], "Fehler 'Blower Level\t' !");
    EXPECT_STREQ(englishTexts[288], "IMPORTANT !\n\nUnit must be\nswitched off for\nmanual control !");
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
