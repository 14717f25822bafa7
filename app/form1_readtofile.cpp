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
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"
#include "speech/ttsform.h"

namespace {

void Log(const QString& text) {
    UtilsClass::WriteDebugLine(text);
}

const QString kInvalidDirectory = QStringLiteral("File Output Directory is invalid");

}  // namespace

bool TForm1::OutputDirectoryValid() {
    if (QFileInfo(prefs_->OUT_Directory).isDir()) {
        return true;
    }
    RestoreFromTray();
    UserMessage::show(kInvalidDirectory);
    return false;
}

void TForm1::PlayFileBtnClick() {
    if (!shown_ || !OutputDirectoryValid() || readingState_ != rsIdle) {
        return;
    }
    outputTarget_ = prefs_->FileDest() == 1 ? otMultipleFiles : otSingleFile;
    ReadAllArticles();
}

void TForm1::ReadArticleToFile(TMemoEntry* entry) {
    if (OutputDirectoryValid()) {
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
        Log(QStringLiteral("Play to file initialization failed"));
        AbortArticle(entry);
        return false;
    }
    return true;
}

void TForm1::FinishOutput(bool deleteWave) {
    if (TTSForm_->TTS1.Active()) {
        TTSForm_->TTS1.SetActive(false);  // the wave file is complete now
    }
    const OutputTarget target = OutputTarget(TTSForm_->ReadingTarget);
    if (deleteWave) {
        if (target != otSpeakers) {
            TReadToFileJob::Delete(wavePath_);
        }
    } else if (target != otSpeakers && prefs_->OUT_FileFormat == TReadToFileJob::Mp3) {
        SetReadingState(rsConverting);
        UpdateStatus(QString());
        ShowGauges(100);
        TReadToFileJob::Hooks hooks;
        hooks.SetProgress = [this](int percent) { statusGauge_->setValue(percent); };
        hooks.ProcessEvents = [] { QCoreApplication::processEvents(); };
        hooks.Exiting = [this] { return readingState_ == rsExiting; };
        TReadToFileJob::MakeMp3({wavePath_, resampledPath_, mp3Path_}, prefs_->BitRate,
                                outputTitle_, hooks);
        if (readingState_ == rsExiting) {
            return;
        }
        HideGauges();
        SetReadingState(rsReading);
    }
    if (readingState_ != rsExiting) {
        statusPanel1_->setText(QStringLiteral(" "));
        List_->DeleteHiddenEntries();
    }
}
