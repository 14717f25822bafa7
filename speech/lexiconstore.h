#pragma once

#include <QObject>

#include "speech/lexiconfile.h"

// The program's pronunciation lexicon: read from its file at start, put in force for every
// engine, and written back whole after every change, so that a change holds from the next
// sentence spoken and nothing is lost when the program ends.
class LexiconStore : public QObject {
    Q_OBJECT
  public:
    explicit LexiconStore(const QString& path = LexiconFile::defaultPath(),
                          QObject* parent = nullptr);

    QString path() const { return m_path; }
    // Reads the file and puts its entries in force. Lines it cannot read are in problems().
    // False, with error saying why, when the file itself cannot be read: the lexicon is then
    // empty and the file is never written over.
    bool load(QString* error);
    // Reads the file again when it has changed since it was last read or written here (edited
    // by hand, say); a change that could not be written stays otherwise.
    bool reloadIfChanged(QString* error);
    const LexiconEntries& entries() const { return m_contents.entries; }
    const QList<LexiconProblem>& problems() const { return m_contents.problems; }
    // Replaces the entries, puts them in force and writes the file; false, with error, when the
    // file cannot be written (the entries hold all the same until the program ends).
    bool setEntries(const LexiconEntries& entries, QString* error);
    // Adds the entries of another lexicon file, each replacing an entry for the same words;
    // problems gets that file's unreadable lines. False, with error, when nothing could be
    // read or the result cannot be written.
    bool import(const QString& path, int* added, int* replaced, QList<LexiconProblem>* problems,
                QString* error);
    // Why the file could not be read at the last load; empty when it could.
    QString loadError() const { return m_loadError; }
    // Writes the entries (and the lines kept unread) to another file.
    bool exportTo(const QString& path, QString* error) const;
    // Whether two entries are for the same words: one replaces the other.
    static bool sameWords(const LexiconEntry& a, const LexiconEntry& b);

  Q_SIGNALS:
    void changed();

  private:
    void publish();
    // The file's time and size, to tell whether someone else has written it.
    QString stamp() const;

    QString m_path;
    LexiconContents m_contents;
    bool m_readFailed = false;
    QString m_loadError;
    QString m_stamp;
};
