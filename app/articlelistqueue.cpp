#include "app/articlelistqueue.h"

#include "articles/articletext.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"

ArticleListQueue::ArticleListQueue(TMemoListBox& list, QObject* parent)
    : QObject(parent), m_list(list) {}

TMemoEntry* ArticleListQueue::entryOf(quintptr key) const {
    const int index = indexOf(key);
    return index < 0 ? nullptr : m_list.Entries[index];
}

ReadingArticle ArticleListQueue::articleOf(const TMemoEntry& entry) {
    ReadingArticle article;
    article.key = keyOf(&entry);
    const QString text = entry.GetArticleText();
    if (ArticleText::IsFileArticle(text)) {
        article.filePath = ArticleText::FileArticlePath(text);
    } else {
        article.text = text;
    }
    article.voice = entry.OwnVoice();  // none: the default voice at the time of reading
    article.title = entry.Title();
    article.album = entry.Album();
    return article;
}

int ArticleListQueue::count() const {
    return m_list.VisibleCount();
}

ReadingArticle ArticleListQueue::at(int index) const {
    return articleOf(*m_list.Entries[index]);
}

int ArticleListQueue::indexOf(quintptr key) const {
    // Every spoken word asks for the article being read: where it was found last comes first.
    const int count = m_list.VisibleCount();
    if (m_lastIndex < count && keyOf(m_list.Entries[m_lastIndex]) == key) {
        return m_lastIndex;
    }
    for (int i = 0; i < count; ++i) {
        if (keyOf(m_list.Entries[i]) == key) {
            m_lastIndex = i;
            return i;
        }
    }
    return -1;
}

void ArticleListQueue::setLocked(quintptr key, bool locked) {
    if (TMemoEntry* entry = entryOf(key)) {
        entry->Locked = locked;
    }
}

void ArticleListQueue::unlockAll() {
    m_list.UnlockAllEntries();
}

void ArticleListQueue::remove(quintptr key) {
    if (TMemoEntry* entry = entryOf(key)) {
        m_list.HideEntry(entry);
        Q_EMIT articleRemoved();
    }
}

void ArticleListQueue::purgeRemoved() {
    m_list.DeleteHiddenEntries();
}
