#pragma once

#include <QString>
#include <atomic>

#include "documents/document.h"

// Opens the documents a user can read besides text files, by the file's extension.
class DocumentReader {
  public:
    enum class Kind { Text, Html, Markdown, Epub, Pdf, Docx, Odt };

    // The kind a file is taken for, by its extension (case ignored); Text for any other.
    static Kind kindOf(const QString& fileName);
    static bool isDocument(const QString& fileName) { return kindOf(fileName) != Kind::Text; }
    // The name filters of the open dialog: all readable documents first, then one per kind,
    // then text files.
    static QStringList dialogFilters();

    // Reads a document of any kind but Text. A failure's error names the file and the reason.
    // cancel, when given and set, ends the reading early with an error.
    static Document read(const QString& fileName, const std::atomic<bool>* cancel = nullptr);
};
