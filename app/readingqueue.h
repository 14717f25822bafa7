#pragma once

#include <QString>
#include <QtGlobal>

// One article as a reading sees it.
struct ReadingArticle {
    quintptr key = 0;  // the list's own handle for the article
    QString text;      // what is spoken; empty for a large text file
    QString filePath;  // a large text file, read chunk by chunk
    QString voice;     // empty: the default voice
    QString title;     // names the output file
    QString source;    // the document the text was taken from, for messages; may be empty
    QString album;     // the book the article is a chapter of; may be empty
};

// The list of articles a reading session walks: the main window's article list, or the files
// handed to the command-line converter. The list may change while it is read (articles added
// at its end, read articles removed), so the session asks again at every step.
class ReadingQueue {
  public:
    virtual ~ReadingQueue() = default;

    virtual int count() const = 0;
    // The article at index, 0 ≤ index < count().
    virtual ReadingArticle at(int index) const = 0;
    // Where the article is now; -1 once it has left the list.
    virtual int indexOf(quintptr key) const = 0;
    // An article being read cannot be edited or deleted.
    virtual void setLocked(quintptr key, bool locked) = 0;
    virtual void unlockAll() = 0;
    // A read article leaves the list at once (the user asked for read articles to go); it is
    // destroyed at purgeRemoved, once the output it went into is complete.
    virtual void remove(quintptr key) = 0;
    virtual void purgeRemoved() = 0;
};
