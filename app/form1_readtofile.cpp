// The main window's reading into files: the command, each article's button, and the output
// files around a reading.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>

#include "app/form1.h"
#include "app/readtofilejob.h"
#include "articles/memolistbox.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "speech/ttsform.h"

namespace {

const QString kInvalidDirectory = QStringLiteral("File Output Directory is invalid");

}  // namespace

bool TForm1::OutputDirectoryValid() {
    if (!QFileInfo(prefs_->OUT_Directory).isDir()) {
        RestoreFromTray();
        UserMessage::show(kInvalidDirectory);
        return false;
    }
    // A folder that takes no files is found before anything is spoken.
    const QString problem = TReadToFileJob::FolderProblem(prefs_->OUT_Directory);
    if (!problem.isEmpty()) {
        RestoreFromTray();
        debugLog(problem);
        UserMessage::show(problem);
        return false;
    }
    return true;
}

void TForm1::PlayFileBtnClick() {
    if (!shown_ || !OutputDirectoryValid() || readingState_ != rsIdle) {
        return;
    }
    savedFiles_.clear();
    outputTarget_ = prefs_->FileDest() == 1 ? otMultipleFiles : otSingleFile;
    ReadAllArticles();
}

void TForm1::ReadArticleToFile(TMemoEntry* entry) {
    if (OutputDirectoryValid()) {
        if (readingState_ == rsIdle) {
            savedFiles_.clear();
        }
        ReadSingleArticle(entry, otSingleFile, -1, -1);
    }
}

bool TForm1::PrepareOutput(TMemoEntry* entry, OutputTarget target) {
    if (target == otSpeakers) {
        return true;
    }
    const QString title = entry->Title();
    if (title.trimmed().isEmpty()) {
        RestoreFromTray();
        entry->FocusProperties();
        UserMessage::show(QStringLiteral(
            "A title is required to output speech to a file\r\rIn Single Article mode, you can use "
            "the "
            "Generate\rDefault Article Titles option to generate titles\rautomatically"));
        return false;
    }
    outputTitle_ = title;
    const OutputPaths paths =
        TReadToFileJob::Paths(prefs_->OUT_Directory, title, prefs_->OUT_FileFormat);
    wavePath_ = paths.Wave;
    resampledPath_ = paths.Resampled;
    mp3Path_ = paths.Mp3;
    const QString voice = entry->Voice().isEmpty() ? prefs_->TTS_DefaultVoiceName : entry->Voice();
    if (!TTSForm_->PlayToFileInit(voice, wavePath_)) {
        debugLog(QStringLiteral("Play to file initialization failed"));
        AbortArticle(entry);
        return false;
    }
    return true;
}

bool TForm1::FinishOutput(bool deleteWave) {
    // The wave file is complete now, or it is known why not.
    const QString incomplete =
        TTSForm_->TTS1.Active() ? TReadToFileJob::CompleteWave(TTSForm_->TTS1) : QString();
    const OutputTarget target = OutputTarget(TTSForm_->ReadingTarget);
    QString failure;  // shown once the reading has ended
    bool made = true;
    if (target != otSpeakers && (deleteWave || !incomplete.isEmpty())) {
        TReadToFileJob::Delete(wavePath_);  // no partial file is left
        if (!deleteWave) {
            failure = incomplete;
            made = false;
        }
    } else if (target != otSpeakers && prefs_->OUT_FileFormat == TReadToFileJob::Mp3) {
        SetReadingState(rsConverting);
        UpdateStatus(QString());
        ShowGauges(100);
        TReadToFileJob::Hooks hooks;
        hooks.SetProgress = [this](int percent) { statusGauge_->setValue(percent); };
        hooks.ProcessEvents = [] { QCoreApplication::processEvents(); };
        hooks.Exiting = [this] { return readingState_ == rsExiting; };
        // A failed encoding has said why, and where the speech is kept.
        made = TReadToFileJob::MakeMp3({wavePath_, resampledPath_, mp3Path_}, prefs_->BitRate,
                                       outputTitle_, hooks);
        if (readingState_ == rsExiting) {
            return true;
        }
        HideGauges();
        SetReadingState(rsReading);
        if (made) {
            savedFiles_ << mp3Path_;
        }
    } else if (target != otSpeakers) {
        savedFiles_ << wavePath_;
    }
    if (readingState_ != rsExiting) {
        statusPanel1_->setText(QStringLiteral(" "));
        List_->DeleteHiddenEntries();
    }
    if (made || readingState_ == rsExiting) {
        return true;
    }
    // The walk ends here: with the disk full, the next article would fail as well.
    List_->UnlockAllEntries();
    SetReadingState(rsIdle);
    ResetStatus();
    if (!failure.isEmpty()) {
        debugLog(failure);
        UserMessage::showError(failure);
    }
    return false;
}
