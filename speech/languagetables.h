#pragma once

#include <QString>
#include <cstdint>

// Display names and three-letter codes of languages by Windows language identifier. An
// identifier that is not listed is tried again as its primary language with the first
// sublanguage ((id AND 0xFF) OR 0x400); empty when neither is listed.
QString LanguageName(uint16_t languageId);
QString LanguageCode(uint16_t languageId);
