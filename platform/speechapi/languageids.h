#pragma once

#include <QString>
#include <cstdint>

// US English, and the bits of an identifier that name the language whatever its region.
constexpr uint16_t kUsEnglish = 0x0409;
constexpr uint16_t kPrimaryLanguageMask = 0x03FF;

// Whether two identifiers name the same language, whatever the region.
inline bool sameLanguage(uint16_t a, uint16_t b) {
    return (a & kPrimaryLanguageMask) == (b & kPrimaryLanguageMask);
}

// Windows language identifiers of the languages the engines offer, by language tag
// ("en-us", "de", "pt-br"); 0 for a language that has none.
uint16_t languageIdForTag(const QString& tag);

// The language of the user's locale; US English when the locale names none (C, POSIX).
uint16_t userLanguageId();
