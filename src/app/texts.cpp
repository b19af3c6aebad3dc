#include "app/texts.h"

#include <algorithm>

const char* uiText[textCount] = {};

const char* const* textsForLanguage(std::int32_t language)
{
    return language == 0 ? germanTexts : englishTexts;
}

void selectLanguageTexts(std::int32_t language)
{
    const char* const* table = textsForLanguage(language);
    std::copy(table, table + textCount, uiText);
}
