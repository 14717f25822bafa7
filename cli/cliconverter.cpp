#include "cli/cliconverter.h"

#include <unistd.h>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

#include "app/readtofilejob.h"
#include "articles/articletext.h"
#include "articles/getfilesize.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "text/textfile.h"

namespace {

constexpr int kTitleLength = 64;

void Error(const QString& text) {
    std::fprintf(stderr, "quillsong-cli: %s\n", qPrintable(text));
}

}  // namespace

TCliConverter::TCliConverter(TPreferences& prefs, TTTSForm& driver, const CliOptions& options)
    : prefs_(prefs), driver_(driver), options_(options), terminal_(isatty(STDERR_FILENO) != 0) {}

int TCliConverter::ListVoices() const {
    for (const auto& voice : driver_.Catalogue.VoiceList) {
        std::printf("%s%s\n", qPrintable(voice->Name),
                    voice->Name == prefs_.TTS_DefaultVoiceName ? "  (default)" : "");
    }
    return Success;
}

bool TCliConverter::CollectInputs(QList<Input>& inputs) {
    const QStringList names =
        options_.inputs.isEmpty() ? QStringList{QStringLiteral("-")} : options_.inputs;
    for (const QString& name : names) {
        Input input;
        if (name == QStringLiteral("-")) {
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly)) {
                Error(QStringLiteral("standard input cannot be read"));
                return false;
            }
            input.text = TextFile::Decode(in.readAll());
            input.title = options_.title.isEmpty() ? QStringLiteral("Quillsong") : options_.title;
        } else {
            const int64_t size = GetFileSize(name);
            if (size < 0) {
                return false;  // the reason has been printed
            }
            if (size == 0) {
                Error(QFileInfo(name).absoluteFilePath() + QStringLiteral(" is empty"));
                return false;
            }
            input.path = QFileInfo(name).absoluteFilePath();
            input.title = QFileInfo(name).baseName();
        }
        input.title = ArticleText::MakeTitle(input.title, kTitleLength);
        if (input.title.isEmpty()) {
            Error(QStringLiteral("No file name can be made from the title of ") + name);
            return false;
        }
        inputs << input;
    }
    return true;
}

int TCliConverter::Run() {
    if (!QFileInfo(options_.outDir).isDir()) {
        Error(QStringLiteral("Output directory ") + options_.outDir +
              QStringLiteral(" is not valid"));
        return Failure;
    }
    voice_ = options_.voice.isEmpty() ? prefs_.TTS_DefaultVoiceName : options_.voice;
    if (!driver_.FindVoice(voice_)) {
        Error(QStringLiteral("Voice ") + voice_ +
              QStringLiteral(" does not exist (see --list-voices)"));
        return BadUsage;
    }
    QList<Input> inputs;
    if (!CollectInputs(inputs)) {
        return Failure;
    }
    prefs_.OUT_FileFormat =
        options_.format == QStringLiteral("mp3") ? TReadToFileJob::Mp3 : TReadToFileJob::Wav;
    prefs_.TTS_WaveConvRate = options_.speed * 256;
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const bool first = i == 0 || !options_.singleFile;
        const bool last = i + 1 == inputs.size() || !options_.singleFile;
        if (first && !Begin(inputs[i].title)) {
            return Failure;
        }
        const bool spoken = Speak(inputs[i]);
        if ((last || !spoken) && !Finish(spoken)) {
            return Failure;
        }
        if (!spoken) {
            return Failure;
        }
    }
    return Success;
}

bool TCliConverter::Begin(const QString& title) {
    title_ = title;
    const OutputPaths paths =
        TReadToFileJob::Paths(QDir(options_.outDir).absolutePath(), title, prefs_.OUT_FileFormat);
    wave_ = paths.Wave;
    resampled_ = paths.Resampled;
    mp3_ = paths.Mp3;
    return driver_.PlayToFileInit(voice_, wave_);
}

bool TCliConverter::Speak(const Input& input) {
    QEventLoop loop;
    const int64_t textSize = input.text.size();
    driver_.OnWordPosition = [this, textSize](TTTSForm*, int64_t position, int64_t fileSize) {
        ShowProgress(position, fileSize > 0 ? fileSize : textSize);
    };
    driver_.OnComplete = [&loop](TTTSForm*) { loop.quit(); };
    phase_ = QStringLiteral("Speaking");
    const bool started = input.path.isEmpty() ? driver_.PlayTextToFile(voice_, input.text)
                                              : driver_.PlayFileToFile(voice_, input.path);
    if (started) {
        loop.exec();
    }
    driver_.OnComplete = nullptr;
    driver_.OnWordPosition = nullptr;
    ShowProgress(1, 1);
    if (terminal_) {
        std::fputc('\n', stderr);
        shown_.clear();
    }
    return started;
}

bool TCliConverter::Finish(bool keepWave) {
    driver_.TTS1.SetActive(false);  // completes the wave file
    if (!keepWave) {
        TReadToFileJob::Delete(wave_);
        return false;
    }
    if (prefs_.OUT_FileFormat != TReadToFileJob::Mp3) {
        std::printf("%s\n", qPrintable(wave_));
        return true;
    }
    phase_ = QStringLiteral("Encoding");
    TReadToFileJob::Hooks hooks;
    hooks.SetProgress = [this](int percent) { ShowProgress(percent, 100); };
    if (!TReadToFileJob::MakeMp3({wave_, resampled_, mp3_}, options_.bitRate, title_, hooks)) {
        return false;
    }
    if (terminal_) {
        std::fputc('\n', stderr);
        shown_.clear();
    }
    std::printf("%s\n", qPrintable(mp3_));
    return true;
}

void TCliConverter::ShowProgress(int64_t position, int64_t total) {
    if (!terminal_ || total <= 0) {
        return;
    }
    const int percent = int(std::clamp<int64_t>(position * 100 / total, 0, 100));
    const int filled = percent * 30 / 100;
    const QString line =
        QStringLiteral("\r%5 [%1%2] %3% %4")
            .arg(QString(filled, QLatin1Char('#')), QString(30 - filled, QLatin1Char(' ')))
            .arg(percent, 3)
            .arg(title_, phase_.leftJustified(8));  // one pass: nothing in them is replaced
    if (line != shown_) {
        shown_ = line;
        std::fputs(qPrintable(line), stderr);
    }
}
