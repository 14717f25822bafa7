#include "cli/cliconverter.h"

#include <unistd.h>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <filesystem>

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

// Empty and blank inputs end alike, whether a file or standard input.
void NoText(const QString& source) {
    Error(source + QStringLiteral(" has no text to read"));
}

bool IsBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

// Whether a file holds anything to speak: it is read until the first character that is not a
// blank (at once for most files), or to its end, or to a character 26 that ends it.
bool FileHasText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return true;  // the reading itself reports why it cannot
    }
    constexpr qint64 kBlock = 64 * 1024;
    for (QByteArray block = file.read(kBlock); !block.isEmpty(); block = file.read(kBlock)) {
        if (!IsBlank(TextFile::Decode(block))) {
            return true;
        }
        if (block.contains('\x1A')) {
            return false;
        }
    }
    return false;
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
            const QByteArray bytes = in.readAll();
            if (!TextFile::LooksLikeText(bytes)) {
                Error(QStringLiteral("standard input does not look like a text file"));
                return false;
            }
            input.text = TextFile::Decode(bytes);
            if (IsBlank(input.text)) {
                NoText(QStringLiteral("Standard input"));
                return false;
            }
            input.title = options_.title.isEmpty() ? QStringLiteral("Quillsong") : options_.title;
        } else {
            const int64_t size = GetFileSize(name);
            if (size < 0) {
                return false;  // the reason has been printed
            }
            if (size == 0) {
                NoText(QFileInfo(name).absoluteFilePath());
                return false;
            }
            QString notText;
            if (!TextFile::IsTextFile(name, &notText)) {
                Error(notText);
                return false;
            }
            if (!FileHasText(name)) {
                NoText(QFileInfo(name).absoluteFilePath());
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

bool TCliConverter::OutputNamesDiffer(const QList<Input>& inputs) const {
    // Each input's file is named after its title: two equal titles would write one file twice
    // and lose the first.
    QHash<QString, QString> sources;
    for (const Input& input : inputs) {
        const QString source = input.path.isEmpty() ? QStringLiteral("standard input") : input.path;
        const auto earlier = sources.constFind(input.title);
        if (earlier != sources.constEnd()) {
            Error(QStringLiteral("%1 and %2 would both be written as %3: rename one, or use "
                                 "--single-file")
                      .arg(*earlier, source, input.title));
            return false;
        }
        sources.insert(input.title, source);
    }
    return true;
}

bool TCliConverter::PrepareOutputFolder() {
    const QFileInfo info(options_.outDir);
    outDir_ = QDir::cleanPath(info.absoluteFilePath());
    if (info.exists() && !info.isDir()) {
        Error(outDir_ + QStringLiteral(" is not a folder"));
        return false;
    }
    if (!info.exists()) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(outDir_).toStdString(), error);
        if (error) {
            Error(QStringLiteral("Cannot make the folder %1: %2")
                      .arg(outDir_, QString::fromLocal8Bit(error.message())));
            return false;
        }
    }
    const QString problem = TReadToFileJob::FolderProblem(outDir_);
    if (!problem.isEmpty()) {
        Error(problem);
        return false;
    }
    return true;
}

int TCliConverter::Run() {
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
    if (!options_.singleFile && !OutputNamesDiffer(inputs)) {
        return BadUsage;
    }
    if (!PrepareOutputFolder()) {
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
    failure_.clear();
    errorShown_ = false;
    const OutputPaths paths = TReadToFileJob::Paths(outDir_, title, prefs_.OUT_FileFormat);
    wave_ = paths.Wave;
    resampled_ = paths.Resampled;
    mp3_ = paths.Mp3;
    return driver_.PlayToFileInit(voice_, wave_);
}

bool TCliConverter::Speak(const Input& input) {
    QEventLoop loop;
    loop_ = &loop;
    const int64_t textSize = input.text.size();
    driver_.OnWordPosition = [this, textSize](TTTSForm*, int64_t position, int64_t fileSize) {
        ShowProgress(position, fileSize > 0 ? fileSize : textSize);
    };
    driver_.OnComplete = [&loop](TTTSForm*) { loop.quit(); };
    // A reading that fails (its wave file cannot be written) ends with its reason.
    driver_.OnError = [this, &loop](TTTSForm*, const QString& message) {
        if (failure_.isEmpty()) {
            failure_ = message;
        }
        loop.quit();
    };
    phase_ = QStringLiteral("Speaking");
    const bool started = input.path.isEmpty() ? driver_.PlayTextToFile(voice_, input.text)
                                              : driver_.PlayFileToFile(voice_, input.path);
    if (started && failure_.isEmpty() && !errorShown_) {
        loop.exec();
    }
    loop_ = nullptr;
    driver_.OnComplete = nullptr;
    driver_.OnError = nullptr;
    driver_.OnWordPosition = nullptr;
    const bool spoken = started && failure_.isEmpty() && !errorShown_;
    if (started && !spoken) {
        driver_.StopAudio();  // nothing more is written
    }
    if (spoken) {
        ShowProgress(1, 1);
    }
    EndProgressLine();
    return spoken;
}

bool TCliConverter::Finish(bool keepWave) {
    const QString incomplete = TReadToFileJob::CompleteWave(driver_.TTS1);
    if (!keepWave || !incomplete.isEmpty()) {
        TReadToFileJob::Delete(wave_);  // no partial file is left
        const QString reason = failure_.isEmpty() ? incomplete : failure_;
        if (!reason.isEmpty()) {
            Error(reason);
        }
        return false;
    }
    if (prefs_.OUT_FileFormat != TReadToFileJob::Mp3) {
        std::printf("%s\n", qPrintable(wave_));
        return true;
    }
    phase_ = QStringLiteral("Encoding");
    TReadToFileJob::Hooks hooks;
    hooks.SetProgress = [this](int percent) { ShowProgress(percent, 100); };
    const bool made =
        TReadToFileJob::MakeMp3({wave_, resampled_, mp3_}, options_.bitRate, title_, hooks);
    EndProgressLine();
    if (made) {
        std::printf("%s\n", qPrintable(mp3_));
    }
    return made;
}

void TCliConverter::ErrorShown() {
    if (loop_) {
        errorShown_ = true;
        loop_->quit();
    }
}

void TCliConverter::EndProgressLine() {
    if (terminal_ && !shown_.isEmpty()) {
        std::fputc('\n', stderr);
        shown_.clear();
    }
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
