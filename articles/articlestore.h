#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One article as the store file keeps it.
struct StoredArticle {
    QString Title;
    QString Voice;
    QString Text;  // lines separated by line feeds
};

// The store file of the article list: one block per article, a start line, the property line
// "title|voice|line count", the text, an end line; lines end with CR LF, text is UTF-8. The file
// is read by the text file rules, so a character 26 would end it: none is ever written.
class ArticleStore {
  public:
    static const QString kStartLine;
    static const QString kEndLine;

    // The file's bytes for these articles, without any character 26.
    static QByteArray Format(const QList<StoredArticle>& articles);
    // Writes the file through a temporary file in the same folder (QSaveFile: unnamed where the
    // file system allows it, synced to disk) that replaces the old one in one rename only when
    // complete, so a failure or a kill at any moment keeps the previous store whole. Error text
    // in error.
    static bool Write(const QString& fileName, const QList<StoredArticle>& articles,
                      QString* error);
    // Removes the temporaries a write killed between naming its temporary and the rename leaves
    // beside the store ("<store>.XXXXXX"); they are never read as the store. The files removed;
    // those that could not be, with the reason, in failures.
    static QStringList RemoveLeftovers(const QString& fileName, QStringList* failures);

    struct ReadResult {
        bool Opened = false;
        QList<StoredArticle> Articles;
        // The file held something that is not a well-formed block; reading stopped there.
        bool Malformed = false;
        // Why a file that exists could not be read (empty when it was read or does not exist).
        QString Error;
    };
    static ReadResult Read(const QString& fileName);
    static ReadResult Parse(const QStringList& lines);
    // Splits a property line into title, voice and count. A "|" in a title is written as it
    // is and read back as part of the title.
    static void SplitProperties(const QString& line, QString* title, QString* voice,
                                QString* count);
};
