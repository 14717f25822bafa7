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

#include "app/readingsession.h"
#include "app/readtofilejob.h"
#include "articles/articletext.h"
#include "articles/getfilesize.h"
#include "cli/inputqueue.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "text/textfile.h"

namespace {

constexpr int kTitleLength = 64;
// The write speed is set in 256ths of real time.
constexpr int kRealTimeUnit = 256;

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
        if (!IsBlank(TextFile::decode(block))) {
            return true;
        }
        if (block.contains('\x1A')) {
            return false;
        }
    }
    return false;
}

}  // namespace

CliConverter::CliConverter(TPreferences& prefs, TTTSForm& driver, const CliOptions& options)
    : prefs_(prefs), driver_(driver), options_(options), terminal_(isatty(STDERR_FILENO) != 0) {}

int CliConverter::ListVoices() const {
    for (const auto& voice : driver_.Catalogue.voiceList) {
        std::printf("%s%s\n", qPrintable(voice->Name),
                    voice->Name == prefs_.TTS_DefaultVoiceName ? "  (default)" : "");
    }
    return Success;
}

bool CliConverter::CollectInputs(QList<ReadingArticle>& inputs) {
    const QStringList names =
        options_.inputs.isEmpty() ? QStringList{QStringLiteral("-")} : options_.inputs;
    for (const QString& name : names) {
        ReadingArticle input;
        input.key = quintptr(inputs.size() + 1);
        input.voice = voice_;
        if (name == QStringLiteral("-")) {
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly)) {
                Error(QStringLiteral("standard input cannot be read"));
                return false;
            }
            const QByteArray bytes = in.readAll();
            if (!TextFile::looksLikeText(bytes)) {
                Error(QStringLiteral("standard input does not look like a text file"));
                return false;
            }
            input.text = TextFile::decode(bytes);
            if (IsBlank(input.text)) {
                NoText(QStringLiteral("Standard input"));
                return false;
            }
            input.title = options_.title.isEmpty() ? QStringLiteral("Quillsong") : options_.title;
        } else {
            QString error;
            const int64_t size = GetFileSize(name, error);
            if (size < 0) {
                Error(error);
                return false;
            }
            if (size == 0) {
                NoText(QFileInfo(name).absoluteFilePath());
                return false;
            }
            QString notText;
            if (!TextFile::isTextFile(name, &notText)) {
                Error(notText);
                return false;
            }
            if (!FileHasText(name)) {
                NoText(QFileInfo(name).absoluteFilePath());
                return false;
            }
            input.filePath = QFileInfo(name).absoluteFilePath();
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

bool CliConverter::OutputNamesDiffer(const QList<ReadingArticle>& inputs) const {
    // Each input's file is named after its title: two equal titles would write one file twice
    // and lose the first.
    QHash<QString, QString> sources;
    for (const ReadingArticle& input : inputs) {
        const QString source =
            input.filePath.isEmpty() ? QStringLiteral("standard input") : input.filePath;
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

bool CliConverter::PrepareOutputFolder() {
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

int CliConverter::Run() {
    voice_ = options_.voice.isEmpty() ? prefs_.TTS_DefaultVoiceName : options_.voice;
    if (!driver_.FindVoice(voice_)) {
        Error(QStringLiteral("Voice ") + voice_ +
              QStringLiteral(" does not exist (see --list-voices)"));
        return BadUsage;
    }
    QList<ReadingArticle> inputs;
    if (!CollectInputs(inputs)) {
        return Failure;
    }
    if (!options_.singleFile && !OutputNamesDiffer(inputs)) {
        return BadUsage;
    }
    if (!PrepareOutputFolder()) {
        return Failure;
    }
    // For this run only: the settings are never saved.
    prefs_.OUT_Directory = outDir_;
    prefs_.OUT_FileFormat =
        options_.format == QStringLiteral("mp3") ? TReadToFileJob::Mp3 : TReadToFileJob::Wav;
    prefs_.BitRate = options_.bitRate;
    prefs_.TTS_WaveConvRate = options_.speed * kRealTimeUnit;
    return Convert(std::move(inputs)) ? Success : Failure;
}

bool CliConverter::Convert(QList<ReadingArticle> inputs) {
    for (const ReadingArticle& input : inputs) {
        titles_.insert(input.key, input.title);
    }
    InputQueue queue(std::move(inputs));
    ReadingSession session(prefs_, driver_);
    session.setQueue(&queue);
    Follow(session);
    QEventLoop loop;
    QObject::connect(&session, &ReadingSession::finished, &loop, &QEventLoop::quit);
    QObject::connect(&session, &ReadingSession::titleMissing, &loop, &QEventLoop::quit);
    failed_ = false;
    session.readAll(options_.singleFile ? otSingleFile : otMultipleFiles);
    if (session.state() != rsIdle) {
        loop.exec();
    }
    EndProgressLine();
    return !failed_;
}

void CliConverter::Follow(ReadingSession& session) {
    QObject::connect(&session, &ReadingSession::articleStarted, [this](quintptr key) {
        EndPhase(true);
        title_ = titles_.value(key);
        phase_ = QStringLiteral("Speaking");
    });
    QObject::connect(&session, &ReadingSession::progress,
                     [this](int64_t position, int64_t total) { ShowProgress(position, total); });
    QObject::connect(&session, &ReadingSession::conversionStarted, [this] {
        EndPhase(true);
        phase_ = QStringLiteral("Encoding");
    });
    QObject::connect(&session, &ReadingSession::conversionProgress,
                     [this](int percent) { ShowProgress(percent, 100); });
    QObject::connect(&session, &ReadingSession::fileSaved, [this](const QString& path) {
        EndPhase(true);
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    });
    QObject::connect(&session, &ReadingSession::finished, [this](bool completed) {
        EndPhase(completed);
        failed_ = failed_ || !completed;
    });
    const auto fail = [this](const QString& text) {
        EndPhase(false);
        failed_ = true;
        if (!text.isEmpty()) {
            QString shown = text;
            Error(shown.replace(QLatin1Char('\r'), QLatin1Char(' ')));
        }
    };
    QObject::connect(&session, &ReadingSession::messageRaised,
                     [fail](UserMessage::Kind, const QString& text) { fail(text); });
    QObject::connect(&session, &ReadingSession::titleMissing,
                     [fail](quintptr, const QString& text) { fail(text); });
}

void CliConverter::EndPhase(bool done) {
    if (done && !phase_.isEmpty()) {
        ShowProgress(1, 1);
    }
    EndProgressLine();
    phase_.clear();
}

void CliConverter::EndProgressLine() {
    if (terminal_ && !shown_.isEmpty()) {
        std::fputc('\n', stderr);
        shown_.clear();
    }
}

void CliConverter::ShowProgress(int64_t position, int64_t total) {
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
