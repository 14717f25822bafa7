#pragma once

#include <QObject>

#include "app/readingqueue.h"

class TMemoEntry;
class TMemoListBox;

// The main window's article list as a reading session walks it: the visible articles in list
// order, each known by its entry.
class ArticleListQueue : public QObject, public ReadingQueue {
    Q_OBJECT
  public:
    explicit ArticleListQueue(TMemoListBox& list, QObject* parent = nullptr);

    static quintptr keyOf(const TMemoEntry* entry) { return reinterpret_cast<quintptr>(entry); }
    // The entry of a key, while it is still in the list; null otherwise.
    TMemoEntry* entryOf(quintptr key) const;
    static ReadingArticle articleOf(const TMemoEntry& entry);

    int count() const override;
    ReadingArticle at(int index) const override;
    int indexOf(quintptr key) const override;
    void setLocked(quintptr key, bool locked) override;
    void unlockAll() override;
    void remove(quintptr key) override;
    void purgeRemoved() override;

  Q_SIGNALS:
    // A read article has left the list; what is stored must follow.
    void articleRemoved();

  private:
    TMemoListBox& m_list;
    mutable int m_lastIndex = 0;  // where indexOf found an article last
};
