// The main window's article commands: the list, its menu, the store file and the two modes.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFrame>
#include <QMenu>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include "app/form1.h"
#include "articles/articlestore.h"
#include "articles/articletext.h"
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
    List_ = new TMemoListBox(MainTextPanel);
    layout->addWidget(List_);
    List_->Prefs = prefs_.get();
    List_->ListMode = prefs_->ML_ListMode;
    List_->SetVisibleEntries(prefs_->VisibleEntries());
    importing_ = [this] { return List_->Importing; };
    CreateArticleMenu();
}

void TForm1::CreateArticleMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(QStringLiteral("&Add New"), this, &TForm1::AddNewArticle);
    PopupMenu1->addAction(QStringLiteral("&Delete Selected"), this, &TForm1::DelSelPopupClick);
    pasteItem_ = PopupMenu1->addAction(QStringLiteral("&Paste"), this, &TForm1::PasteClick);
    pasteItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    readFromCursorItem_ = PopupMenu1->addAction(QStringLiteral("Read from Cursor Aloud"), this,
                                                &TForm1::ReadfromCursor1Click);
    readSelectedItem_ = PopupMenu1->addAction(QStringLiteral("Read Selected Text Aloud"), this,
                                              &TForm1::ReadHighlighted1Click);
    PopupMenu1->addAction(
        MakeAction(QStringLiteral("Edit Selected Voice"), {}, &TForm1::NotYetAvailable));
    connect(PopupMenu1, &QMenu::aboutToShow, this, &TForm1::PopupMenu1Popup);
}

void TForm1::PopupMenu1Popup() {
    TMemoEntry* entry = List_->CurrentEntry();
    const bool text = entry && !entry->FileEntry();
    pasteItem_->setEnabled(text);
    readFromCursorItem_->setEnabled(text);
    readSelectedItem_->setEnabled(text && entry->Editor()->SelLength() > 0);
}

// The user's store file is read whenever it exists, whatever the settings say (they may be lost
// or damaged); the introduction is only for a user folder without one.
void TForm1::ImportArticles() {
    const bool firstTime = prefs_->FirstTimeUser;
    prefs_->FirstTimeUser = false;
    QString source = StoreFileName();
    const uint8_t mode = List_->ListMode;
    if (QFileInfo::exists(source) || QFileInfo(source).isSymLink()) {
        const ArticleStore::ReadResult stored = ArticleStore::Read(source);
        if (!stored.Opened) {
            storeUnreadable_ = true;
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
            List_->ListMode = 1;
        }
    } else if (firstTime) {
        source = IntroFileName();
    }
    const TMemoListBox::ImportMessages told = List_->ImportList(
        source, PopupMenu1, [this](TMemoEntry* e) { DeleteArticle(e); },
        [this](TMemoEntry* e) { ReadArticleToFile(e); },
        [this](TMemoEntry* e) { ReadArticleAloud(e); });
    List_->ListMode = mode;
    if (!told.notice.isEmpty()) {
        UserMessage::show(told.notice);
    }
    if (!told.error.isEmpty()) {
        UserMessage::showError(told.error);
    }
}

void TForm1::ExportArticles() {
    if (storeUnreadable_) {
        debugLog(QStringLiteral("Articles not saved: ") + StoreFileName() +
                 QStringLiteral(" could not be read at start"));
        return;
    }
    if (List_) {
        List_->ExportList(StoreFileName());
    }
}

void TForm1::ShowLockedMessage() {
    debugLog(kLockedMessage);
    UserMessage::showError(kLockedMessage);
}

QString TForm1::ChooseVoiceForNewArticle() {
    const uint8_t policy = prefs_->VoiceSelection();
    if (FavoriteVoices.isEmpty() || policy == 0) {
        return prefs_->TTS_DefaultVoiceName;  // also when no favourite voice is left
    }
    if (policy == 1) {
        return FavoriteVoices[int(QRandomGenerator::global()->bounded(FavoriteVoices.size()))];
    }
    roundRobinIndex_ = (roundRobinIndex_ + 1) % int(FavoriteVoices.size());
    return FavoriteVoices[roundRobinIndex_];
}

TMemoEntry* TForm1::AddArticle(const QString& text, const QString& voice) {
    TMemoEntry* entry = nullptr;
    try {
        entry = List_->Add(text, voice);
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
    TMemoEntry* entry = AddArticle(QString(), ChooseVoiceForNewArticle());
    if (entry) {
        entry->OnDelete = [this](TMemoEntry* e) { DeleteArticle(e); };
        entry->OnRead = [this](TMemoEntry* e) { ReadArticleAloud(e); };
        entry->OnReadToFile = [this](TMemoEntry* e) { ReadArticleToFile(e); };
        entry->SetContextMenu(PopupMenu1);
    }
    return entry;
}

void TForm1::DelSelPopupClick() {
    try {
        const Outcome deleted = List_->DeleteSelected();
        if (!deleted) {
            UserMessage::show(deleted.message());
        }
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
    }
    if (List_->VisibleCount() == 0) {
        AddNewArticle();
    }
    ExportArticles();
    UpdateStatus(ArticleCountText());
}

void TForm1::DeleteArticle(TMemoEntry* entry) {
    try {
        List_->HideEntry(entry);
    } catch (const EMemoEntryLocked&) {
        ShowLockedMessage();
    }
    if (List_->VisibleCount() == 0) {
        AddNewArticle();
    }
    ExportArticles();
    if (readingState_ != rsReading) {
        UpdateStatus(ArticleCountText());
    }
}

void TForm1::SwitchMode(uint8_t mode) {
    if (prefs_->ML_ListMode == mode) {
        ApplyMode();  // keeps the buttons and menu items in step with the mode
        return;
    }
    debugLog(mode == 0 ? QStringLiteral("Entering Single-Article Mode")
                       : QStringLiteral("Entering Multi-Article Mode"));
    prefs_->ML_ListMode = mode;
    ApplyMode();
    List_->ListMode = mode;
    List_->SetVisibleEntries(prefs_->VisibleEntries());
    List_->DeleteBlankEntries();
    if (List_->VisibleCount() == 0) {
        debugLog(QStringLiteral("Calling AddNew"));
        AddNewArticle();
    } else {
        List_->ScrollToTop(1);
    }
    UpdateStatus(ArticleCountText());
}

void TForm1::PasteClick() {
    TMemoEntry* entry = List_->CurrentEntry();
    if (entry && !entry->FileEntry()) {
        entry->Editor()->insertPlainText(QApplication::clipboard()->text());
    }
}
