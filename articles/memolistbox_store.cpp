// The article list's store file: export and import.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include "articles/articlestore.h"
#include "articles/articletext.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/utilsclass.h"

namespace {

// Older copies of damaged store files kept beside it, at most.
constexpr int kDamagedCopies = 99;
// How often an import lets pending events through.
constexpr qint64 kBreathIntervalMs = 20;

// Keeps a copy of a store file that could not be read whole, before the next export replaces
// it; an older copy is never overwritten. Returns what the user is told: where the copy is, or
// nothing when none could be kept.
QString KeepDamagedStore(const QString& fileName) {
    QString copy = fileName + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(copy) && n <= kDamagedCopies; ++n) {
        copy = fileName + QStringLiteral(".bad") + QString::number(n);
    }
    const bool kept = !QFileInfo::exists(copy) && QFile::copy(fileName, copy);
    UtilsClass::WriteDebugLine(QStringLiteral("Import stopped at malformed content in ") +
                               fileName +
                               (kept ? QStringLiteral("; a copy was kept as ") + copy
                                     : QStringLiteral("; no copy could be kept")));
    if (!kept) {
        return {};
    }
    return QStringLiteral("Some saved articles in ") + fileName +
           QStringLiteral(" could not be read. The file was kept as ") + copy;
}

}  // namespace

bool TMemoListBox::ExportList(const QString& fileName, QString* error) {
    Log(QStringLiteral("MemoListBox - ExportList"));
    if (Exporting) {
        UtilsClass::WriteDebugLine(QStringLiteral("Bypass Export - already in progress"));
        return false;
    }
    Exporting = true;
    QList<StoredArticle> articles;
    for (int i = 0; i < VisibleCount(); ++i) {
        articles.append(
            {Entries[i]->Title(), Entries[i]->OwnVoice(), Entries[i]->GetArticleText()});
    }
    QString failure;
    const bool written = ArticleStore::Write(fileName, articles, &failure);
    if (!written) {
        UtilsClass::WriteDebugLine(QStringLiteral("Articles not saved to ") + fileName +
                                   QStringLiteral(": ") + failure);
        if (error) {
            *error = failure;
        }
    }
    Exporting = false;
    Log(QStringLiteral("MemoListBox - Export Complete"));
    return written;
}

TMemoListBox::ImportMessages TMemoListBox::ImportList(const QString& fileName, QMenu* menu,
                                                      const TMemoEntry::Handler& onDelete,
                                                      const TMemoEntry::Handler& onReadToFile,
                                                      const TMemoEntry::Handler& onRead) {
    Log(QStringLiteral("MemoListBox - ImportList"));
    ImportMessages told;
    Importing = true;
    importCancelled_ = false;
    blankSearchStart_ = 0;
    const ArticleStore::ReadResult stored = ArticleStore::Read(fileName);
    if (!stored.Opened) {
        if (!stored.Error.isEmpty()) {
            UtilsClass::WriteDebugLine(QStringLiteral("Cannot read ") + fileName +
                                       QStringLiteral(": ") + stored.Error);
        }
        Importing = false;
        return told;
    }
    if (stored.Malformed) {
        told.notice = KeepDamagedStore(fileName);
    }
    QElapsedTimer sinceBreath;
    sinceBreath.start();
    for (const StoredArticle& article : stored.Articles) {
        if (importCancelled_) {
            UtilsClass::WriteDebugLine(QStringLiteral("Import cancelled"));
            break;
        }
        TMemoEntry* entry = nullptr;
        try {
            entry = Add(QString(), article.Voice);
        } catch (const EMemoEntryLocked&) {
            UtilsClass::WriteDebugLine(QStringLiteral("Import error - an article is being read"));
            told.error = QStringLiteral("Error restoring saved articles");
            break;
        }
        entry->SetTitle(article.Title);
        entry->OnDelete = onDelete;
        entry->OnReadToFile = onReadToFile;
        entry->OnRead = onRead;
        entry->SetContextMenu(menu);
        entry->SetArticleText(article.Text);
        // Events (a termination request among them) are let through every few milliseconds;
        // letting them through after every article would cost more than the articles.
        if (sinceBreath.elapsed() >= kBreathIntervalMs) {
            Breathe();
            sinceBreath.restart();
        }
    }
    told.cancelled = importCancelled_;  // also when asked during the last article's events
    for (TMemoEntry* entry : Entries) {
        if (entry->HasWidgets()) {
            entry->Editor()->ScrollToLine(0);
        }
        entry->SetFileEntry(ArticleText::IsFileArticle(entry->GetArticleText()));
    }
    Importing = false;
    if (!stored.Articles.isEmpty()) {
        ShowLastPage();
    }
    Log(QStringLiteral("MemoListBox - Import Complete"));
    return told;
}
