#pragma once
#include <cstdint>

#include "app/text_ids.h"

// UI texts: two fixed Windows-1252 tables with the same 291 roles, and the
// working table that the language choice fills. Text n is uiText[n].
inline constexpr int textCount = 291;
inline constexpr int warningLineCount = 22;

extern const char* const germanTexts[textCount];
extern const char* const englishTexts[textCount];

// Start-up warning: lines 0-10 German, 11-21 English, painted together.
extern const char* const warningLines[warningLineCount];

// Empty until the first language choice; nothing reads it before that.
extern const char* uiText[textCount];

// 0 selects German; any other value English (a settings file may hold
// anything).
const char* const* textsForLanguage(std::int32_t language);

// Copies the chosen table's references into uiText, all at once.
void selectLanguageTexts(std::int32_t language);

inline const char* text(int n) { return uiText[n]; }
