#pragma once

#include <QString>

// The text of an opened document too large to load into an article, kept in a file of the
// program's own in the user folder so that it is read from disk piece by piece, as a large text
// file is. The file belongs to its article: it goes when the article is deleted.
class DocumentTextFile {
  public:
    // The folder that holds these files.
    static QString folder();
    // Writes text (lines ending in '\n') as UTF-8 with CR LF line ends into a new file named
    // after the document (and chapter, from 1; 0 for the whole document) and a hash of the
    // document's path and the time. Returns the file's path, or an empty string with error set.
    static QString write(const QString& documentPath, int chapter, const QString& text,
                         QString* error);
    // Whether path is one of these files (a user's own text file never is).
    static bool isOurs(const QString& path);
    // Removes the file an article's text stands for when it is one of these; logs a failure.
    static void removeForArticle(const QString& articleText);
};
