#pragma once

#include <QString>
#include <atomic>

#include "documents/document.h"

class EpubReader {
  public:
    // The document's title and text. On failure error holds the reason alone, in words a user
    // understands ("it is encrypted"); the caller names the file. cancel, when given and set,
    // ends the reading early.
    static Document read(const QString& fileName, const std::atomic<bool>* cancel = nullptr);
};
