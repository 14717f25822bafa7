// The main window's clipboard watching: copied texts become articles, after the prompt or
// by the default action, and the Watch Clipboard items.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "app/cbpromptform.h"
#include "app/clipboardsheet.h"
#include "app/form1.h"
#include "app/optionsarea.h"
#include "app/sibusyform.h"
#include "articles/articletext.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"

void TForm1::ConnectClipboard() {
    // One notification per change of the clipboard; a text already there when watching starts
    // is not taken.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TForm1::ClipboardChanged);
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        debugLog(kWaylandClipboard);
    }
}

const QString TForm1::kWaylandClipboard = QStringLiteral(
    "Texts copied in other programs are taken only while this window is active (Wayland)");

void TForm1::ClipboardChanged() {
    debugLog(QStringLiteral("Received WM_DRAWCLIPBOARD"));
    if (!m_shown || !m_prefs->CB_Monitor) {
        return;
    }
    // Plain text only: a copied picture or a copied file is no article.
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    if (!copied || !copied->hasText() || copied->hasUrls() || copied->hasImage()) {
        return;
    }
    // Copied in one of the articles: it is already here.
    if (copied->hasFormat(TMyPlusMemo::kOwnCopyFormat)) {
        debugLog(QStringLiteral("Copied from an article, not taken"));
        return;
    }
    if (m_prompt && m_prompt->isVisible()) {
        QApplication::beep();
        return;
    }
    if (m_prefs->ML_ListMode == 0 && m_list->VisibleCount() > 0 && m_list->Entries[0]->Locked) {
        if (m_prefs->SI_ShowBusyDialog) {
            TSIBusyForm busy(*m_prefs, this);
            busy.exec();
        }
        return;
    }
    m_clipboardText = copied->text();
    debugLog(QStringLiteral("Cleared and pasted from clipboard"));
    if (!ClipboardRules::LongEnough(m_clipboardText, m_prefs->CB_ThreshHold)) {
        return;
    }
    if (m_clipboardText.size() > ArticleText::kLargestText) {
        debugLog(QStringLiteral("Copied text refused: %1 characters").arg(m_clipboardText.size()));
        UserMessage::show(ArticleText::TooLargeText(m_clipboardText.size()));
        m_clipboardText.clear();
        return;
    }
    if (m_prefs->CB_Prompt) {
        if (!m_prompt) {
            m_prompt = new TCB_PromptForm(*m_prefs, this);
            connect(m_prompt, &TCB_PromptForm::actionChosen, this,
                    [this](ClipboardRules::Action action) { CopyClipboardMemo(int(action)); });
        }
        m_prompt->Prompt(m_prefs->ML_ListMode == 1, AppendPossible());
        return;
    }
    CopyClipboardMemo(int(ClipboardRules::ActionWithoutPrompt(m_prefs->CB_DfltPromptAction,
                                                              m_prefs->CB_LastPromptAction)));
}

TCB_PromptForm* TForm1::PromptForm() const {
    return m_prompt;
}

bool TForm1::AppendPossible() const {
    const TMemoEntry* current = m_list->CurrentEntry();
    if (!current) {
        return false;
    }
    return !(m_list->VisibleCount() == 1 && ArticleText::IsBlank(current->GetArticleText()));
}

void TForm1::CopyClipboardMemo(int action) {
    debugLog(QStringLiteral("In CopyClipboardMemo, Action= ") + QString::number(action));
    TMemoEntry* target = nullptr;
    TMemoEntry* current = m_list->CurrentEntry();
    // A large text file's article holds no text to append to: the copy becomes an article.
    const bool append =
        action == int(ClipboardRules::Action::Append) && current && !current->FileEntry();
    if (append) {
        current->SetArticleText(
            ClipboardRules::Appended(current->GetArticleText(), m_clipboardText));
        target = current;
        ExportArticles();
    } else if (action == int(ClipboardRules::Action::New) ||
               action == int(ClipboardRules::Action::Append)) {
        const QString text = m_clipboardText;
        if (!MayAddArticle([this, action, text] {
                m_clipboardText = text;
                CopyClipboardMemo(action);
            })) {
            return;
        }
        target = AddArticle(m_clipboardText, ChooseVoiceForNewArticle());
        if (target) {
            WireArticle(target);
        }
    }
    if (!target) {
        return;
    }
    if (m_prefs->AutoSpeak()) {
        ReadSingleArticle(target, otSpeakers, -1, -1);
    }
    if (m_prefs->CB_ClearOnCopy) {
        QGuiApplication::clipboard()->clear();
    }
}

void TForm1::MonitorCBClick() {
    if (!m_shown) {
        m_watchClipboardItem->setChecked(m_prefs->CB_Monitor);
        m_trayWatchClipboardItem->setChecked(m_prefs->CB_Monitor);
        Panel3->Clipboard()->SetMonitor(m_prefs->CB_Monitor);
        return;
    }
    m_prefs->CB_Monitor = !m_prefs->CB_Monitor;
    debugLog(m_prefs->CB_Monitor ? QStringLiteral("Watching the clipboard")
                                 : QStringLiteral("No longer watching the clipboard"));
    for (QAction* item : {m_watchClipboardItem, m_trayWatchClipboardItem}) {
        const QSignalBlocker quiet(item);
        item->setChecked(m_prefs->CB_Monitor);
    }
    Panel3->Clipboard()->SetMonitor(m_prefs->CB_Monitor);
}
