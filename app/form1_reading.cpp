// The main window's reading commands: thin calls into the reading session, and what the window
// shows of a reading (the commands' states, the gauge, the highlighted word, the messages).
#include <QAction>
#include <QLabel>
#include <QProgressBar>

#include "app/articlelistqueue.h"
#include "app/enginewarningform.h"
#include "app/form1.h"
#include "app/readingsession.h"
#include "app/soundcarderrorform.h"
#include "app/splashform.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "speech/ttsform.h"

namespace {

bool IsWordEnd(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// After a failed check of the sound device, the user decides whether to go on.
class DialogSoundCardGate : public SoundCardGate {
  public:
    DialogSoundCardGate(TPreferences& prefs, QWidget* window) : m_prefs(prefs), m_window(window) {}
    bool proceedAfterFailedCheck() const override {
        TSoundCardErrorForm dialog(m_prefs, m_window);
        return dialog.exec() == QDialog::Accepted;
    }

  private:
    TPreferences& m_prefs;
    QWidget* m_window;
};

}  // namespace

void TForm1::CreateDriver() {
    TTSForm_ = std::make_unique<TTTSForm>(*prefs_, this);
    TTSForm_->SetSoundCardGate(std::make_unique<DialogSoundCardGate>(*prefs_, this));
    session_ = new ReadingSession(*prefs_, *TTSForm_, this);
}

// The session walks the article list once the list exists.
void TForm1::ConnectSession() {
    queue_ = new ArticleListQueue(*List_, this);
    session_->setQueue(queue_);
    connect(queue_, &ArticleListQueue::articleRemoved, this, &TForm1::ExportArticles);
    connect(session_, &ReadingSession::stateChanged, this, &TForm1::SessionStateChanged);
    connect(session_, &ReadingSession::articleReached, this,
            [this](quintptr key) { List_->MarkEntry(queue_->indexOf(key) + 1); });
    connect(session_, &ReadingSession::articleStarted, this, &TForm1::ArticleStarted);
    connect(session_, &ReadingSession::progress, this, &TForm1::WordPosition);
    connect(session_, &ReadingSession::wordReached, this, &TForm1::HighlightWord);
    connect(session_, &ReadingSession::conversionStarted, this, [this] {
        UpdateStatus(QString());
        ShowGauges(100);
    });
    connect(session_, &ReadingSession::conversionProgress, statusGauge_, &QProgressBar::setValue);
    connect(session_, &ReadingSession::conversionFinished, this, &TForm1::HideGauges);
    connect(session_, &ReadingSession::fileSaved, this,
            [this](const QString& path) { savedFiles_ << path; });
    connect(session_, &ReadingSession::titleMissing, this, &TForm1::TitleMissing);
    connect(session_, &ReadingSession::finished, this, &TForm1::ReadingFinished);
    connect(session_, &ReadingSession::messageRaised, this,
            [](UserMessage::Kind kind, const QString& text) {
                kind == UserMessage::Kind::Error ? UserMessage::showError(text)
                                                 : UserMessage::show(text);
            });
}

// Builds the voice catalogue; false (after the no-engine dialog) when there is no voice.
bool TForm1::StartSpeech() {
    TTSForm_->Initialize();
    if (TTSForm_->Catalogue.voiceList.empty()) {
        if (splash_) {
            splash_->close();
        }
        TEngineWarningForm warning(this);
        warning.exec();
        return false;
    }
    prefs_->ReadAll();
    TTSForm_->LoadVoiceSettings();
    LoadFavoriteVoices();
    List_->Voices = &TTSForm_->Catalogue;
    return true;
}

void TForm1::LoadFavoriteVoices() {
    debugLog(QStringLiteral("Entering LoadFavoriteVoices"));
    roundRobinIndex_ = -1;
    FavoriteVoices.clear();
    for (const auto& voice : TTSForm_->Catalogue.voiceList) {
        if (voice->Favourite && voice->Engine->Enabled) {
            FavoriteVoices << voice->Name;
        }
    }
}

void TForm1::SetReadingState(ReadingState state) {
    readingState_ = state;
    if (state == rsExiting) {
        return;
    }
    const bool idle = state == rsIdle;
    const bool active = state == rsReading || state == rsPaused;
    const bool enabled[kCommandCount] = {idle, idle, active,
                                         state == rsReading && prefs_->ML_ListMode == 1, active};
    for (int command = 0; command < kCommandCount; ++command) {
        for (QAction* action : commands_[command]) {
            action->setEnabled(enabled[command]);
        }
    }
    for (QAction* item : deviceItems_) {
        item->setEnabled(idle);
    }
}

void TForm1::SessionStateChanged(ReadingState state) {
    SetReadingState(state);
    if (state == rsIdle) {
        HideGauges();
    }
}

bool TForm1::CommandEnabled(Command command) const {
    return !commands_[command].isEmpty() && commands_[command].first()->isEnabled();
}

QStringList TForm1::PauseCaptions() const {
    return {PauseBtn->text(), pauseMenuItem_->text(), pauseTrayItem_->text()};
}

void TForm1::SetPauseCaptions(bool paused) {
    PauseBtn->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    pauseMenuItem_->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    pauseTrayItem_->setText(paused ? QStringLiteral("Resume") : QStringLiteral("&Pause"));
}

void TForm1::ShowGauges(int maximum) {
    statusGauge_->setRange(0, qMax(1, maximum));
    statusGauge_->setValue(0);
    statusPanel1_->hide();
    statusGauge_->show();
}

void TForm1::HideGauges() {
    statusGauge_->hide();
    statusGauge_->setValue(0);
    statusPanel1_->show();
}

TMemoEntry* TForm1::ReadingEntry() const {
    return queue_ && session_->currentKey() ? queue_->entryOf(session_->currentKey()) : nullptr;
}

void TForm1::PlayAllBtnClick() {
    if (!shown_ || readingState_ != rsIdle) {
        return;
    }
    session_->readAll(otSpeakers);
}

void TForm1::ReadArticleAloud(TMemoEntry* entry) {
    ReadSingleArticle(entry, otSpeakers, -1, -1);
}

void TForm1::ReadfromCursor1Click() {
    TMemoEntry* entry = List_->CurrentEntry();
    if (entry) {
        ReadSingleArticle(entry, otSpeakers, -1, entry->Editor()->CaretPos());
    }
}

void TForm1::ReadHighlighted1Click() {
    TMemoEntry* entry = List_->CurrentEntry();
    if (!entry) {
        return;
    }
    const QTextCursor cursor = entry->Editor()->textCursor();
    // The same range whichever way the selection was made.
    ReadSingleArticle(entry, otSpeakers, cursor.selectionEnd() - cursor.selectionStart(),
                      cursor.selectionStart());
}

void TForm1::ReadSingleArticle(TMemoEntry* entry, OutputTarget target, int length, int start) {
    if (!shown_ || readingState_ != rsIdle) {
        return;
    }
    if (!entry) {
        entry = List_->CurrentEntry();
    }
    if (entry) {
        session_->readOne(ArticleListQueue::articleOf(*entry), target, start, length);
    }
}

void TForm1::ArticleStarted(quintptr key, int64_t progressMaximum) {
    TMemoEntry* entry = queue_->entryOf(key);
    if (entry && isVisible()) {
        entry->Editor()->setFocus();
    }
    statusPanel1_->setText(QStringLiteral(" "));
    ShowGauges(int(qMin<int64_t>(progressMaximum, INT_MAX)));
    UpdateStatus(QString());
}

void TForm1::TitleMissing(quintptr key, const QString& message) {
    RestoreFromTray();
    if (TMemoEntry* entry = queue_->entryOf(key)) {
        List_->MarkEntry(queue_->indexOf(key) + 1);
        entry->FocusProperties();
    }
    UserMessage::show(message);
}

void TForm1::ReadingFinished(bool completed) {
    SetPauseCaptions(false);
    statusPanel1_->setText(QStringLiteral(" "));
    if (completed && List_->VisibleCount() == 0) {
        AddNewArticle();
    }
    ResetStatus();
}

void TForm1::WordPosition(int64_t position, int64_t total) {
    if (total > 0) {
        statusGauge_->setMaximum(int(qMin<int64_t>(total, INT_MAX)));
    }
    const int before = statusGauge_->value();
    statusGauge_->setValue(int(qMin<int64_t>(position, statusGauge_->maximum())));
    if (statusGauge_->value() != before) {
        // The bar repaints by itself only after a step of several pixels, which a large file
        // takes minutes to make; it follows every word instead.
        statusGauge_->update();
    }
}

void TForm1::HighlightWord(quintptr key, int caret) {
    TMemoEntry* entry = queue_->entryOf(key);
    if (!entry) {
        return;
    }
    TMyPlusMemo* editor = entry->Editor();
    const int length = editor->TextLength();
    editor->SetCaretPos(caret);
    // The word runs to the next blank or line break; the editor's paragraph separator ends it too.
    int end = qBound(0, caret, length);
    while (end < length && !IsWordEnd(editor->CharAt(end)) &&
           editor->CharAt(end) != QChar::ParagraphSeparator) {
        ++end;
    }
    if (prefs_->TTS_HighlightPosition) {
        editor->SetSelLength(end - editor->CaretPos());
        editor->ScrollInView();
    }
}

void TForm1::PauseBtnClick() {
    if (!TTSForm_->TTS1.Active() || (readingState_ != rsReading && readingState_ != rsPaused)) {
        return;
    }
    if (PauseBtn->text() == QStringLiteral("Pause")) {
        SetPauseCaptions(true);
        statusPanel1_->setText(QStringLiteral("Pause"));
        session_->pause();
    } else {
        SetPauseCaptions(false);
        statusPanel1_->clear();
        TMemoEntry* entry = ReadingEntry();
        if (entry && entry->isVisible()) {
            entry->Editor()->setFocus();
        }
        session_->resume();
    }
}

void TForm1::SkipBtnClick() {
    if (!TTSForm_->TTS1.Active() || (readingState_ != rsReading && readingState_ != rsPaused)) {
        return;
    }
    SetPauseCaptions(false);
    session_->skip();
}

void TForm1::StopBtnClick() {
    if (!TTSForm_->TTS1.Active() || (readingState_ != rsReading && readingState_ != rsPaused)) {
        return;
    }
    session_->stop();
}
