#pragma once

#include <QString>
#include <cstdint>

// Windows language identifiers of the languages the engines offer, by language tag
// ("en-us", "de", "pt-br"); 0 for a language that has none.
uint16_t languageIdForTag(const QString& tag);

// The language of the user's locale; US English when the locale names none (C, POSIX).
uint16_t userLanguageId();
