// The main window's reading commands: the walk over the article list, single articles,
// pause, skip, stop, and the word highlighting while an article is spoken.
#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QRandomGenerator>

#include "app/enginewarningform.h"
#include "app/form1.h"
#include "app/soundcarderrorform.h"
#include "app/splashform.h"
#include "articles/articletext.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "speech/espeecherror.h"
#include "speech/ttsform.h"

namespace {

bool IsWordEnd(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

}  // namespace

void TForm1::CreateDriver() {
    TTSForm_ = std::make_unique<TTTSForm>(*prefs_, this);
    TTSForm_->SoundCardErrorDialog = [this] {
        TSoundCardErrorForm dialog(*prefs_, this);
        return dialog.exec() == QDialog::Accepted;
    };
    TTSForm_->OnError = [this](TTTSForm*, const QString& message) { ReadingFailed(message); };
}

// Builds the voice catalogue; false (after the no-engine dialog) when there is no voice.
bool TForm1::StartSpeech() {
    TTSForm_->Initialize();
    TTSForm_->OnWordPosition = [this](TTTSForm*, int64_t position, int64_t total) {
        WordPosition(position, total);
    };
    if (TTSForm_->Catalogue.VoiceList.empty()) {
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
    for (const auto& voice : TTSForm_->Catalogue.VoiceList) {
        if (voice->Favourite && voice->Engine->Enabled) {
            FavoriteVoices << voice->Name;
        }
    }
}

void TForm1::SetReadingState(ReadingState state) {
    if (state == rsExiting) {
        readingState_ = state;
        return;
    }
    readingState_ = state;
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

void TForm1::PlayAllBtnClick() {
    if (!shown_ || readingState_ != rsIdle) {
        return;
    }
    outputTarget_ = otSpeakers;
    ReadAllArticles();
}

void TForm1::ReadAllArticles() {
    if (outputTarget_ == otMultipleFiles) {
        for (int i = 0; i < List_->VisibleCount(); ++i) {
            if (List_->Entries[i]->Title().trimmed().isEmpty()) {
                RestoreFromTray();
                List_->MarkEntry(i + 1);
                List_->Entries[i]->FocusProperties();
                UserMessage::show(QStringLiteral(
                    "A title is required for each item entry when\routputting to multiple files"));
                return;
            }
        }
    }
    if (List_->VisibleCount() == 0) {
        return;
    }
    List_->MarkEntry(1);
    TTSForm_->OnComplete = [this](TTTSForm*) { ArticleFinished(); };
    TMemoEntry* first = List_->Entries.first();
    if (PrepareOutput(first, outputTarget_)) {
        SpeakArticle(first, -1, -1, outputTarget_);
    }
}

void TForm1::ArticleFinished() {
    if (outputTarget_ == otMultipleFiles && !FinishOutput(false)) {
        return;  // the file could not be made: the reading has ended
    }
    if (readingState_ == rsExiting) {
        return;
    }
    TMemoEntry* finished = readingEntry_;
    int next = 1;
    if (finished) {
        finished->Locked = false;
        next = List_->FindEntry(finished);
        if (prefs_->AutoDelete()) {
            List_->HideEntry(finished);  // the next article moves up into its place
            ExportArticles();
        } else {
            ++next;
        }
    }
    if (next >= 1 && List_->VisibleCount() >= next) {
        List_->MarkEntry(next);
        TMemoEntry* entry = List_->Entries[next - 1];
        if (outputTarget_ == otMultipleFiles && !PrepareOutput(entry, otMultipleFiles)) {
            return;
        }
        SpeakArticle(entry, -1, -1, outputTarget_);
        return;
    }
    if (outputTarget_ != otMultipleFiles) {
        FinishOutput(false);
    }
    if (readingState_ != rsExiting) {
        if (List_->VisibleCount() == 0) {
            AddNewArticle();
        }
        SetReadingState(rsIdle);
        ResetStatus();
    }
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
    List_->UnlockAllEntries();
    if (!entry) {
        entry = List_->CurrentEntry();
    }
    if (!entry) {
        return;
    }
    outputTarget_ = target;
    TTSForm_->OnComplete = [this](TTTSForm*) { SingleReadFinished(); };
    if (PrepareOutput(entry, target)) {
        SpeakArticle(entry, length, start, target);
    }
}

void TForm1::SingleReadFinished() {
    List_->UnlockAllEntries();
    ResetStatus();
    FinishOutput(false);
    SetReadingState(rsIdle);
    ResetStatus();
}

void TForm1::SpeakArticle(TMemoEntry* entry, int length, int start, OutputTarget target) {
    if (isVisible()) {
        entry->Editor()->setFocus();
    }
    fileArticlePath_.clear();
    const QString text = entry->GetArticleText();
    const bool fileArticle = ArticleText::IsFileArticle(text);
    if (fileArticle) {
        fileArticlePath_ = ArticleText::FileArticlePath(text);
        if (!QFileInfo(fileArticlePath_).isFile()) {
            const QString message =
                QStringLiteral("File ") + fileArticlePath_ + QStringLiteral(" not found");
            debugLog(message);
            UserMessage::show(message);
            AbortArticle(entry);
            return;
        }
    }
    readingEntry_ = entry;
    TTSForm_->ReadingTarget = target;
    // An article without a voice of its own (stored before any voice existed, or whose voice
    // is gone) is read with the default voice.
    const QString voice = entry->Voice().isEmpty() ? prefs_->TTS_DefaultVoiceName : entry->Voice();
    statusPanel1_->setText(QStringLiteral(" "));
    const int from = fileArticle ? 0 : qMax(0, start);
    const int end = fileArticle ? 10000 : (length >= 0 ? from + length : int(text.size()));
    entry->Locked = true;
    ShowGauges(end - from);
    if (readingState_ != rsReading) {
        SetReadingState(rsReading);
    }
    bool started = false;
    try {
        if (target != otSpeakers) {
            if (!QFileInfo(prefs_->OUT_Directory).isDir()) {
                UserMessage::show(QStringLiteral("Output directory ") + prefs_->OUT_Directory +
                                  QStringLiteral(" is not valid"));
                AbortArticle(entry);
                return;
            }
            if (fileArticle) {
                readingOffset_ = 0;
                started = TTSForm_->PlayFileToFile(voice, fileArticlePath_);
            } else {
                readingOffset_ = qMax(0, start);
                started = TTSForm_->PlayTextToFile(
                    voice, start <= 0 && length < 0 ? text : text.mid(from, end - from));
            }
        } else {
            if (fileArticle) {
                readingOffset_ = 0;
                started = TTSForm_->PlayFile(fileArticlePath_, voice);
            } else if (start <= 0 && length < 0) {
                readingOffset_ = 0;
                started = TTSForm_->PlayText(text, voice);
            } else {
                readingOffset_ = from;
                started = TTSForm_->PlayText(text.mid(from, end - from), voice);
            }
        }
    } catch (const std::exception& error) {
        debugLog(QString::fromUtf8(error.what()));
        UserMessage::showError(QString::fromUtf8(error.what()));
        started = false;
    }
    if (!started) {
        AbortArticle(entry);
        return;
    }
    UpdateStatus(QString());
}

// The driver has ended the reading as an error (the sound device went away, the engine went
// quiet): the walk over the list ends there, a partial file is removed, and the user is told.
void TForm1::ReadingFailed(const QString& message) {
    if (readingState_ == rsExiting) {
        return;
    }
    debugLog(message);
    SetPauseCaptions(false);
    List_->UnlockAllEntries();
    FinishOutput(true);
    SetReadingState(rsIdle);
    ResetStatus();
    UserMessage::showError(message);
}

void TForm1::AbortArticle(TMemoEntry* entry) {
    SetReadingState(rsIdle);
    if (entry) {
        entry->Locked = false;
    }
    HideGauges();
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
    if (!fileArticlePath_.isEmpty() || !readingEntry_) {
        return;
    }
    TMyPlusMemo* editor = readingEntry_->Editor();
    const int length = editor->TextLength();
    const int caret = int(TTSForm_->Filter.MapPosition(position)) + readingOffset_;
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
        debugLog(QStringLiteral("Pause"));
        TTSForm_->Pause();
        SetReadingState(rsPaused);
    } else {
        SetPauseCaptions(false);
        statusPanel1_->clear();
        debugLog(QStringLiteral("Resume"));
        if (readingEntry_ && readingEntry_->isVisible()) {
            readingEntry_->Editor()->setFocus();
        }
        TTSForm_->Resume();
        SetReadingState(rsReading);
    }
}

void TForm1::SkipBtnClick() {
    if (!TTSForm_->TTS1.Active() || (readingState_ != rsReading && readingState_ != rsPaused)) {
        return;
    }
    debugLog(QStringLiteral("Skip"));
    SetPauseCaptions(false);
    TTSForm_->StopAudio();
}

void TForm1::StopBtnClick() {
    if (!TTSForm_->TTS1.Active() || (readingState_ != rsReading && readingState_ != rsPaused)) {
        return;
    }
    SetPauseCaptions(false);
    List_->UnlockAllEntries();
    debugLog(QStringLiteral("Abort"));
    // The stopped reading reports no completion.
    TTSForm_->OnComplete = nullptr;
    TTSForm_->StopAudio();
    FinishOutput(true);
    SetReadingState(rsIdle);
    ResetStatus();
}
