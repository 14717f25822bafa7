// The main window's article commands: the list, its menu, the store file and the two modes.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>
#include <utility>

#include "app/form1.h"
#include "app/statustext.h"
#include "articles/articlestore.h"
#include "articles/articletext.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/usermessage.h"

namespace {

const QString kLockedMessage =
    QStringLiteral("This item is currently being read and cannot be deleted");

}  // namespace

QString TForm1::StoreFileName() {
    return ProgramFolders::userFolder() + QStringLiteral("/QSExport.txt");
}
QString TForm1::IntroFileName() {
    return ProgramFolders::programFolder() + QStringLiteral("/QSIntro.chl");
}

void TForm1::CreateArticleList() {
    auto* layout = new QVBoxLayout(MainTextPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new TMemoListBox(MainTextPanel);
    layout->addWidget(m_list);
    m_list->Prefs = m_prefs.get();
    m_list->ListMode = m_prefs->ML_ListMode;
    m_list->SetVisibleEntries(m_prefs->VisibleEntries());
    m_importing = [this] { return m_list->Importing; };
    connect(m_list, &TMemoListBox::pasteRefused, this, &TForm1::PasteRefused);
    CreateArticleMenu();
}

void TForm1::CreateArticleMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("&Add New"), this, &TForm1::AddNewArticle);
    PopupMenu1->addAction(QStringLiteral("&Delete Selected"), this, &TForm1::DelSelPopupClick);
    m_pasteItem = PopupMenu1->addAction(QStringLiteral("&Paste"), this, &TForm1::PasteClick);
    m_pasteItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_readFromCursorItem = PopupMenu1->addAction(QStringLiteral("Read from Cursor Aloud"), this,
                                                 &TForm1::ReadfromCursor1Click);
    m_readSelectedItem = PopupMenu1->addAction(QStringLiteral("Read Selected Text Aloud"), this,
                                               &TForm1::ReadHighlighted1Click);
    PopupMenu1->addAction(QStringLiteral("Edit Selected Voice"), this,
                          &TForm1::EditVoiceforSelectedArticle1Click);
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);
}

void TForm1::PopupMenu1Popup() {
    TMemoEntry* entry = m_list->CurrentEntry();
    const bool text = entry && !entry->FileEntry();
    m_pasteItem->setEnabled(text && !entry->Editor()->isReadOnly());
    m_readFromCursorItem->setEnabled(text);
    m_readSelectedItem->setEnabled(text && entry->Editor()->SelLength() > 0);
}

// The user's store file is read whenever it exists, whatever the settings say (they may be lost
// or damaged); the introduction is only for a user folder without one.
void TForm1::ImportArticles() {
    const bool firstTime = m_prefs->FirstTimeUser;
    m_prefs->FirstTimeUser = false;
    QString source = StoreFileName();
    const uint8_t mode = m_list->ListMode;
    // An export killed just before its rename leaves its temporary beside the store: never the
    // store itself, which is the previous one, whole.
    QStringList failures;
    for (const QString& leftover : ArticleStore::RemoveLeftovers(source, &failures)) {
        debugLog(QStringLiteral("Removed the unfinished store ") + leftover);
    }
    for (const QString& failure : std::as_const(failures)) {
        debugLog(QStringLiteral("Cannot remove the unfinished store ") + failure);
    }
    if (QFileInfo::exists(source) || QFileInfo(source).isSymLink()) {
        const ArticleStore::ReadResult stored = ArticleStore::Read(source);
        if (!stored.Opened) {
            m_storeUnreadable = true;
            const QString text = QStringLiteral("The saved articles in ") + source +
                                 QStringLiteral(" cannot be read: ") + stored.Error +
                                 QStringLiteral(
                                     "\n\nArticles will not be saved over that file "
                                     "until Quillsong is started again.");
            debugLog(text);
            UserMessage::showError(text);
            return;
        }
        // Every stored article was in the user's list: in single-article mode none replaces
        // another either (the mode may come from lost settings), so none is lost at the next
        // export.
        if (stored.Articles.size() > 1) {
            m_list->ListMode = 1;
        }
    } else if (firstTime) {
        source = IntroFileName();
    }
    const TMemoListBox::ImportMessages told = m_list->ImportList(
        source, PopupMenu1, [this](TMemoEntry* e) { DeleteArticle(e); },
        [this](TMemoEntry* e) { ReadArticleToFile(e); },
        [this](TMemoEntry* e) { ReadArticleAloud(e); });
    m_list->ListMode = mode;
    if (told.cancelled) {
        return;  // the program is ending: nothing more to tell
    }
    if (!told.notice.isEmpty()) {
        UserMessage::show(told.notice);
    }
    if (!told.error.isEmpty()) {
        UserMessage::showError(told.error);
    }
}

bool TForm1::ExportArticles() {
    if (m_exportHeld && m_readingState != rsExiting) {
        return true;
    }
    if (m_storeUnreadable) {
        debugLog(QStringLiteral("Articles not saved: ") + StoreFileName() +
                 QStringLiteral(" could not be read at start"));
        return true;
    }
    if (m_list && m_list->ImportCancelled()) {
        // The list holds only the articles read before the program was asked to end.
        debugLog(QStringLiteral("Articles not saved: ") + StoreFileName() +
                 QStringLiteral(" was not read to its end"));
        return true;
    }
    if (!m_list) {
        return true;
    }
    QString error;
    if (m_list->ExportList(StoreFileName(), &error)) {
        if (m_storeUnwritable) {
            debugLog(QStringLiteral("Articles saved again to ") + StoreFileName());
        }
        m_storeUnwritable = false;
        return true;
    }
    if (!error.isEmpty() && !m_storeUnwritable && m_readingState != rsExiting) {
        // Told once: every change of the list exports, and a message for each would be a flood.
        // The articles stay in the list; each later change tries again. The export at the
        // program's end holds no dialog up: the log has it.
        m_storeUnwritable = true;
        UserMessage::showError(
            QStringLiteral("Your articles cannot be saved to %1: %2\n\nThey stay in the list, "
                           "and are saved at the next change once the file can be written.")
                .arg(StoreFileName(), error));
    }
    return false;
}

void TForm1::KeepUnsavedArticles(bool tellUser) {
    // The program is ending and its store cannot be written: rather than lose the articles,
    // they go to a store file in the home folder (else the temporary folder), named so that
    // it is seen.
    const QString name =
        QStringLiteral("Quillsong articles not saved %1.txt")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
    for (const QString& folder : {QDir::homePath(), QDir::tempPath()}) {
        const QString copy = QDir(folder).filePath(name);
        QString error;
        if (m_list->ExportList(copy, &error)) {
            debugLog(QStringLiteral("Articles kept in ") + copy);
            m_prefs->ML_KeptArticles = copy;  // offered at the next start
            if (tellUser) {
                UserMessage::showError(
                    QStringLiteral("Your articles could not be saved to %1.\n\nThey are kept in "
                                   "%2. Once that folder takes files again, put this file in "
                                   "the place of %1 while Quillsong is not running.")
                        .arg(StoreFileName(), copy));
            }
            return;
        }
        debugLog(QStringLiteral("Articles not kept in %1: %2").arg(copy, error));
    }
    if (tellUser) {
        UserMessage::showError(QStringLiteral("Your articles could not be saved to %1, nor to "
                                              "your home folder or the temporary folder.")
                                   .arg(StoreFileName()));
    }
}

void TForm1::OfferKeptArticles() {
    const QString copy = std::exchange(m_prefs->ML_KeptArticles, QString());  // offered once
    if (copy.isEmpty() || !QFileInfo(copy).isFile()) {
        return;
    }
    auto* box = new QMessageBox(
        QMessageBox::Question, StatusText::kProgramTitle,
        QStringLiteral("When Quillsong last ended, your articles could not be saved to %1 and "
                       "were kept in %2.\n\nOpen them in place of the articles in the list?")
            .arg(StoreFileName(), copy),
        QMessageBox::NoButton, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* open = box->addButton(QStringLiteral("&Open"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("&Not Now"), QMessageBox::RejectRole);
    box->setDefaultButton(open);
    connect(box, &QMessageBox::finished, this, [this, box, open, copy] {
        if (box->clickedButton() == open) {
            RestoreKeptArticles(copy);
        } else {
            debugLog(QStringLiteral("Kept articles left in ") + copy);
        }
    });
    box->open();
}

void TForm1::RestoreKeptArticles(const QString& copy) {
    const ArticleStore::ReadResult kept = ArticleStore::Read(copy);
    if (!kept.Opened) {
        UserMessage::showError(
            QStringLiteral("The articles kept in %1 cannot be read: %2").arg(copy, kept.Error));
        return;
    }
    try {
        m_list->DeleteAll();
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
        return;
    }
    // Every kept article comes back, also in single-article mode.
    const uint8_t mode = m_list->ListMode;
    m_list->ListMode = 1;
    const TMemoListBox::ImportMessages told = m_list->ImportList(
        copy, PopupMenu1, [this](TMemoEntry* e) { DeleteArticle(e); },
        [this](TMemoEntry* e) { ReadArticleToFile(e); },
        [this](TMemoEntry* e) { ReadArticleAloud(e); });
    m_list->ListMode = mode;
    if (m_list->VisibleCount() == 0) {
        AddNewArticle();
    } else {
        m_list->ScrollToTop(1);
        m_list->MarkEntry(1);
    }
    if (!told.error.isEmpty()) {
        UserMessage::showError(told.error);
    }
    // Once the store holds them, the copy has done its work.
    if (told.error.isEmpty() && !m_storeUnreadable && ExportArticles() && QFile::remove(copy)) {
        debugLog(QStringLiteral("Kept articles restored from ") + copy);
    }
    UpdateStatus(ArticleCountText());
}

void TForm1::ShowLockedMessage() {
    debugLog(kLockedMessage);
    UserMessage::showError(kLockedMessage);
}

QString TForm1::ChooseVoiceForNewArticle() {
    return m_voicePolicy.choose(VoicePolicy::Kind(m_prefs->VoiceSelection()),
                                m_prefs->TTS_DefaultVoiceName);
}

TMemoEntry* TForm1::AddArticle(const QString& text, const QString& voice) {
    TMemoEntry* entry = nullptr;
    try {
        entry = m_list->Add(text, voice);
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("AddMemo Exception: ") + QString::fromUtf8(error.what()));
        UserMessage::showError(QString::fromUtf8(error.what()));
    }
    ExportArticles();
    UpdateStatus(ArticleCountText());
    return entry;
}

TMemoEntry* TForm1::AddNewArticle() {
    if (!MayAddArticle([this] { AddNewArticle(); })) {
        return nullptr;
    }
    TMemoEntry* entry = AddArticle(QString(), ChooseVoiceForNewArticle());
    if (entry) {
        WireArticle(entry);
    }
    return entry;
}

void TForm1::WireArticle(TMemoEntry* entry) {
    entry->OnDelete = [this](TMemoEntry* e) { DeleteArticle(e); };
    entry->OnRead = [this](TMemoEntry* e) { ReadArticleAloud(e); };
    entry->OnReadToFile = [this](TMemoEntry* e) { ReadArticleToFile(e); };
    entry->SetContextMenu(PopupMenu1);
}

void TForm1::DelSelPopupClick() {
    try {
        const Outcome deleted = m_list->DeleteSelected();
        if (!deleted) {
            UserMessage::show(deleted.message());
        }
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
    }
    if (m_list->VisibleCount() == 0) {
        AddNewArticle();
    }
    ExportArticles();
    UpdateStatus(ArticleCountText());
}

void TForm1::DeleteArticle(TMemoEntry* entry) {
    try {
        m_list->HideEntry(entry);
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
    }
    if (m_list->VisibleCount() == 0) {
        AddNewArticle();
    }
    ExportArticles();
    if (m_readingState != rsReading) {
        UpdateStatus(ArticleCountText());
    }
}

void TForm1::SwitchMode(uint8_t mode) {
    if (m_openingDocuments > 0 && m_prefs->ML_ListMode != mode) {
        // The document being opened becomes articles in the mode it was opened in.
        QApplication::beep();
        UpdateStatus(QStringLiteral("The list mode can be changed once the document is open"));
        ApplyMode();
        return;
    }
    if (m_prefs->ML_ListMode == mode || (mode == 0 && !MaySwitchToSingle())) {
        ApplyMode();  // keeps the buttons and menu items in step with the mode
        return;
    }
    debugLog(mode == 0 ? QStringLiteral("Entering Single-Article Mode")
                       : QStringLiteral("Entering Multi-Article Mode"));
    m_prefs->ML_ListMode = mode;
    ApplyMode();
    m_list->ListMode = mode;
    if (mode == 1) {
        // Articles made in single-article mode get the buttons of a list's articles.
        for (TMemoEntry* entry : std::as_const(m_list->Entries)) {
            entry->ApplyMultiArticleLayout();
        }
    }
    m_list->SetVisibleEntries(m_prefs->VisibleEntries());
    m_list->DeleteBlankEntries();
    if (mode == 0) {
        // The user has agreed: a list being read ends after the article being read.
        KeepOneArticle();
        ExportArticles();
    }
    if (m_list->VisibleCount() == 0) {
        debugLog(QStringLiteral("Calling AddNew"));
        AddNewArticle();
    } else {
        m_list->ScrollToTop(1);
    }
    if (m_readingState == rsReading || m_readingState == rsPaused) {
        SetReadingState(m_readingState);  // Skip follows the mode
        UpdateStatus(QString());
    } else {
        UpdateStatus(ArticleCountText());
    }
}

void TForm1::PasteClick() {
    TMemoEntry* entry = m_list->CurrentEntry();
    if (entry && (entry->FileEntry() || entry->Editor()->isReadOnly())) {
        PasteRefused(entry);
    } else if (entry) {
        entry->Editor()->InsertText(QApplication::clipboard()->text());
    }
}

void TForm1::PasteRefused(TMemoEntry* entry) {
    const QString title = entry->Title().trimmed();
    const QString article = title.isEmpty() ? QStringLiteral("this article")
                                            : QStringLiteral("the article \"%1\"").arg(title);
    const QString text = entry->GetArticleText();
    const QString reason =
        ArticleText::IsFileArticle(text)
            ? QStringLiteral("%1 is read from the file %2, which Quillsong does not change")
                  .arg(article, ArticleText::FileArticlePath(text))
            : QStringLiteral("%1 has lines too long to be edited").arg(article);
    const QString message = QStringLiteral("Nothing was pasted: ") + reason +
                            QStringLiteral(".\r\rAdd New makes an article to paste into.");
    UserMessage::show(message);
}
