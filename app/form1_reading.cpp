// The main window's reading commands: thin calls into the reading session, and what the window
// shows of a reading (the commands' states, the gauge, the highlighted word, the messages).
#include <QAction>
#include <QLabel>
#include <QProgressBar>

#include "app/articlelistqueue.h"
#include "app/enginewarningform.h"
#include "app/form1.h"
#include "app/miscsheet.h"
#include "app/readingsession.h"
#include "app/soundcarderrorform.h"
#include "app/splashform.h"
#include "app/toolbarform.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "speech/ttsform.h"

namespace {

// The conversion's progress is counted in percent.
constexpr int kPercentMaximum = 100;

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
    m_ttsForm = std::make_unique<TTTSForm>(*m_prefs, this);
    m_ttsForm->SetSoundCardGate(std::make_unique<DialogSoundCardGate>(*m_prefs, this));
    m_session = new ReadingSession(*m_prefs, *m_ttsForm, this);
}

// The session walks the article list once the list exists.
void TForm1::ConnectSession() {
    m_queue = new ArticleListQueue(*m_list, this);
    m_session->setQueue(m_queue);
    connect(m_queue, &ArticleListQueue::articleRemoved, this, &TForm1::ExportArticles);
    connect(m_session, &ReadingSession::stateChanged, this, &TForm1::SessionStateChanged);
    connect(m_session, &ReadingSession::articleReached, this,
            [this](quintptr key) { m_list->MarkEntry(m_queue->indexOf(key) + 1); });
    connect(m_session, &ReadingSession::articleStarted, this, &TForm1::ArticleStarted);
    connect(m_session, &ReadingSession::progress, this, &TForm1::WordPosition);
    connect(m_session, &ReadingSession::wordReached, this, &TForm1::HighlightWord);
    connect(m_session, &ReadingSession::conversionStarted, this, [this] {
        UpdateStatus(QString());
        ShowGauges(kPercentMaximum);
    });
    connect(m_session, &ReadingSession::conversionProgress, m_statusGauge, &QProgressBar::setValue);
    connect(m_session, &ReadingSession::conversionFinished, this, &TForm1::HideGauges);
    connect(m_session, &ReadingSession::fileSaved, this,
            [this](const QString& path) { m_savedFiles << path; });
    connect(m_session, &ReadingSession::titleMissing, this, &TForm1::TitleMissing);
    connect(m_session, &ReadingSession::finished, this, &TForm1::ReadingFinished);
    connect(m_session, &ReadingSession::textFinished, this, &TForm1::SpeakTextFinished);
    connect(m_session, &ReadingSession::messageRaised, this,
            [](UserMessage::Kind kind, const QString& text) {
                kind == UserMessage::Kind::Error ? UserMessage::showError(text)
                                                 : UserMessage::show(text);
            });
}

// Builds the voice catalogue; false (after the no-engine dialog) when there is no voice.
bool TForm1::StartSpeech() {
    m_ttsForm->Initialize();
    if (m_ttsForm->Catalogue.voiceList.empty()) {
        if (m_splash) {
            m_splash->close();
        }
        TEngineWarningForm warning(this);
        warning.exec();
        return false;
    }
    m_prefs->ReadAll();
    m_ttsForm->LoadVoiceSettings();
    LoadFavoriteVoices();
    m_list->Voices = &m_ttsForm->Catalogue;
    return true;
}

void TForm1::LoadFavoriteVoices() {
    debugLog(QStringLiteral("Entering LoadFavoriteVoices"));
    m_voicePolicy.load(m_ttsForm->Catalogue);
    m_miscSheet->FillDefaultVoiceList(m_voicePolicy.favourites());
}

void TForm1::SetReadingState(ReadingState state) {
    const ReadingState previous = m_readingState;
    m_readingState = state;
    if (state == rsExiting) {
        return;
    }
    // A reading started from the tray brings up the floating toolbar when it is set to.
    if (state == rsReading && previous != rsReading &&
        TToolBarForm::Showing(m_prefs->ToolbarOnMinOption) ==
            TToolBarForm::Showing::WhenMinimizedAndReading &&
        !isVisible() && !m_toolBarForm->isVisible()) {
        ShowToolbar1Click();
    }
    const bool idle = state == rsIdle;
    const bool active = state == rsReading || state == rsPaused;
    // A text outside the list (a voice test, a help topic) has nothing to skip to.
    const bool skippable = state == rsReading && m_prefs->ML_ListMode == 1 &&
                           !(m_session && m_session->speakingText());
    const bool enabled[kCommandCount] = {idle, idle, active, skippable, active};
    for (int command = 0; command < kCommandCount; ++command) {
        for (QAction* action : m_commands[command]) {
            action->setEnabled(enabled[command]);
        }
    }
    for (QAction* item : m_deviceItems) {
        item->setEnabled(idle);
    }
}

void TForm1::SessionStateChanged(ReadingState state) {
    SetReadingState(state);
    if (state == rsIdle) {
        ClearHighlight();
    }
    if (state == rsIdle) {
        HideGauges();
    }
}

bool TForm1::CommandEnabled(Command command) const {
    return !m_commands[command].isEmpty() && m_commands[command].first()->isEnabled();
}

QStringList TForm1::PauseCaptions() const {
    return {PauseBtn->text(), m_pauseMenuItem->text(), m_pauseTrayItem->text()};
}

void TForm1::SetPauseCaptions(bool paused) {
    PauseBtn->setText(paused ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    m_pauseMenuItem->setText(paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    m_pauseTrayItem->setText(paused ? QStringLiteral("Resume") : QStringLiteral("&Pause"));
    m_toolBarForm->SetPaused(paused);
}

void TForm1::ShowGauges(int maximum) {
    m_statusGauge->setRange(0, qMax(1, maximum));
    m_statusGauge->setValue(0);
    m_statusPanel1->hide();
    m_statusGauge->show();
    m_toolBarForm->ShowGauge(m_statusGauge->maximum());
}

void TForm1::HideGauges() {
    m_statusGauge->hide();
    m_statusGauge->setValue(0);
    m_statusPanel1->show();
    m_toolBarForm->HideGauge();
}

TMemoEntry* TForm1::ReadingEntry() const {
    return m_queue && m_session->currentKey() ? m_queue->entryOf(m_session->currentKey()) : nullptr;
}

void TForm1::PlayAllBtnClick() {
    if (!m_shown || m_readingState != rsIdle) {
        return;
    }
    m_session->ReadAllArticles(otSpeakers);
}

void TForm1::ReadArticleAloud(TMemoEntry* entry) {
    ReadSingleArticle(entry, otSpeakers, -1, -1);
}

void TForm1::ReadfromCursor1Click() {
    TMemoEntry* entry = m_list->CurrentEntry();
    if (entry) {
        ReadSingleArticle(entry, otSpeakers, -1, entry->Editor()->CaretPos());
    }
}

void TForm1::ReadHighlighted1Click() {
    TMemoEntry* entry = m_list->CurrentEntry();
    if (!entry) {
        return;
    }
    // The same range whichever way the selection was made.
    const TMyPlusMemo* editor = entry->Editor();
    ReadSingleArticle(entry, otSpeakers, editor->SelLength(), editor->SelStart());
}

void TForm1::ReadSingleArticle(TMemoEntry* entry, OutputTarget target, int length, int start) {
    if (!m_shown || m_readingState != rsIdle) {
        return;
    }
    if (!entry) {
        entry = m_list->CurrentEntry();
    }
    if (entry) {
        m_session->ReadSingleArticle(ArticleListQueue::articleOf(*entry), target, length, start);
    }
}

void TForm1::ArticleStarted(quintptr key, int64_t progressMaximum) {
    TMemoEntry* entry = m_queue->entryOf(key);
    if (entry && isVisible()) {
        entry->Editor()->setFocus();
    }
    m_statusPanel1->setText(QStringLiteral(" "));
    ShowGauges(int(qMin<int64_t>(progressMaximum, INT_MAX)));
    UpdateStatus(QString());
}

void TForm1::TitleMissing(quintptr key, const QString& message) {
    RestoreFromTray();
    if (TMemoEntry* entry = m_queue->entryOf(key)) {
        m_list->MarkEntry(m_queue->indexOf(key) + 1);
        entry->FocusProperties();
    }
    UserMessage::show(message);
}

void TForm1::ReadingFinished(bool completed) {
    SetPauseCaptions(false);
    ClearHighlight();
    m_statusPanel1->setText(QStringLiteral(" "));
    if (completed && m_list->VisibleCount() == 0) {
        AddNewArticle();
    }
    ResetStatus();
}

void TForm1::WordPosition(int64_t position, int64_t total) {
    // The gauge counts in int: a file over 2 GB is counted in steps of several bytes, so that
    // its second half moves the gauge too.
    const int64_t step = total > INT_MAX ? total / INT_MAX + 1 : 1;
    if (total > 0) {
        m_statusGauge->setMaximum(int(total / step));
    }
    const int before = m_statusGauge->value();
    m_statusGauge->setValue(int(qMin<int64_t>(position / step, m_statusGauge->maximum())));
    if (m_statusGauge->value() != before) {
        // The bar repaints by itself only after a step of several pixels, which a large file
        // takes minutes to make; it follows every word instead.
        m_statusGauge->update();
    }
}

void TForm1::ClearHighlight() {
    // The last spoken word stays marked by the caret only, where Read from Cursor goes on.
    if (TMemoEntry* entry = m_queue->entryOf(m_highlightedKey)) {
        entry->Editor()->SetSelLength(0);
    }
    m_highlightedKey = 0;
}

void TForm1::HighlightWord(quintptr key, int caret) {
    TMemoEntry* entry = m_queue->entryOf(key);
    if (!entry) {
        return;
    }
    if (key != m_highlightedKey) {
        ClearHighlight();  // the article read before, skipped or done
    }
    m_highlightedKey = key;
    TMyPlusMemo* editor = entry->Editor();
    const int length = editor->TextLength();
    editor->SetCaretPos(caret);
    // The word runs to the next blank or line break; the editor's paragraph separator ends it too.
    int end = qBound(0, caret, length);
    while (end < length && !IsWordEnd(editor->CharAt(end)) &&
           editor->CharAt(end) != QChar::ParagraphSeparator) {
        ++end;
    }
    if (m_prefs->TTS_HighlightPosition) {
        editor->SetSelLength(end - editor->CaretPos());
        editor->ScrollInView();
    }
}

void TForm1::PauseBtnClick() {
    if (!m_ttsForm->TTS1.Active() || (m_readingState != rsReading && m_readingState != rsPaused)) {
        return;
    }
    if (PauseBtn->text() == QStringLiteral("Pause")) {
        SetPauseCaptions(true);
        m_statusPanel1->setText(QStringLiteral("Pause"));
        m_session->pause();
    } else {
        SetPauseCaptions(false);
        m_statusPanel1->clear();
        TMemoEntry* entry = ReadingEntry();
        if (entry && entry->isVisible()) {
            entry->Editor()->setFocus();
        }
        m_session->resume();
    }
}

void TForm1::SkipBtnClick() {
    if (!m_ttsForm->TTS1.Active() || (m_readingState != rsReading && m_readingState != rsPaused)) {
        return;
    }
    SetPauseCaptions(false);
    m_session->skip();
}

void TForm1::StopBtnClick() {
    if (!m_ttsForm->TTS1.Active() || (m_readingState != rsReading && m_readingState != rsPaused)) {
        return;
    }
    m_session->stop();
}
