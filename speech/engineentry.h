#pragma once

#include <QString>
#include <cstdint>

// One engine of the catalogue: a maker's product for one language.
struct TEngineEntry {
    QString Name;  // display name and settings key
    QString Code;  // short code in voice keys
    bool Enabled = true;
    QString Maker;
    QString MfgName;
    QString ProductName;
    uint16_t LanguageID = 0;
    QString Language;
    uint32_t FilterFlags = 0;
};
