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
#include "documents/documentreader.h"
#include "platform/shell/terminationsignals.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "text/textfile.h"

namespace {

constexpr int kTitleLength = 64;
constexpr int kPercentMaximum = 100;
// A program ended by a signal exits with 128 + the signal's number, as the shell reports it.
constexpr int kSignalExitBase = 128;
// The write speed is set in 256ths of real time.
constexpr int kRealTimeUnit = 256;
// Standard input is read in blocks of this size, so that reading stops soon after its limit.
constexpr qint64 kStdinBlock = 1 << 20;

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

// The title, and so the file name, of an input named name.
QString TitleOf(const QString& name) {
    const QString title = ArticleText::MakeTitle(name, kTitleLength);
    return title.isEmpty() ? ArticleText::kUntitled : title;
}

// A chapter's output name: its number in the book, then its title with only the characters that
// file systems and players take everywhere left out ("01 Chapter title").
QString ChapterName(int number, int count, const QString& title) {
    static const QString kUnsafe = QStringLiteral("/\\:*?\"<>|");
    QString name;
    for (const char32_t c : title.toUcs4()) {
        const bool safe =
            QChar::isPrint(c) && (c > 0xFFFF || !kUnsafe.contains(QChar(char16_t(c))));
        name += safe ? QString::fromUcs4(&c, 1) : QStringLiteral(" ");
    }
    name = name.simplified().left(kTitleLength);
    if (!name.isEmpty() && name.back().isHighSurrogate()) {
        name.chop(1);  // half a character is no character
    }
    name = name.trimmed();
    while (name.endsWith(QLatin1Char('.'))) {
        name.chop(1);  // a name may not end with a full stop everywhere
    }
    const int width = qMax(2, int(QString::number(count).size()));
    const QString numbered = QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
    return name.isEmpty() ? numbered : numbered + QLatin1Char(' ') + name;
}

}  // namespace

CliConverter::CliConverter(TPreferences& prefs, TTTSForm& driver, const CliOptions& options)
    : m_prefs(prefs),
      m_driver(driver),
      m_options(options),
      m_terminal(isatty(STDERR_FILENO) != 0) {}

int CliConverter::ListVoices() const {
    for (const auto& voice : m_driver.Catalogue.voiceList) {
        std::printf("%s%s\n", qPrintable(voice->Name),
                    voice->Name == m_prefs.TTS_DefaultVoiceName ? "  (default)" : "");
    }
    return Success;
}

bool CliConverter::CollectInputs(QList<ReadingArticle>& inputs) {
    const QStringList names =
        m_options.inputs.isEmpty() ? QStringList{QStringLiteral("-")} : m_options.inputs;
    for (const QString& name : names) {
        ReadingArticle input;
        input.key = quintptr(inputs.size() + 1);
        input.voice = m_voice;
        if (name == QStringLiteral("-")) {
            QFile in;
            if (!in.open(stdin, QIODevice::ReadOnly)) {
                Error(QStringLiteral("standard input cannot be read"));
                return false;
            }
            // Held in memory whole, as a pasted article is, and so with the same limit; a file
            // is read piece by piece whatever its size.
            QByteArray bytes;
            for (QByteArray block = in.read(kStdinBlock);
                 !block.isEmpty() && bytes.size() <= ArticleText::kLargestText;
                 block = in.read(kStdinBlock)) {
                bytes += block;
            }
            if (bytes.size() > ArticleText::kLargestText) {
                Error(QStringLiteral("standard input holds more than %1 MB, the most it may hold; "
                                     "save the text in a file and give its name instead (a file "
                                     "is read piece by piece, whatever its size)")
                          .arg(ArticleText::kLargestText / 1000000));
                return false;
            }
            if (in.error() != QFileDevice::NoError) {
                Error(QStringLiteral("standard input cannot be read: ") + in.errorString());
                return false;
            }
            if (!TextFile::looksLikeText(bytes)) {
                Error(QStringLiteral("standard input does not look like a text file"));
                return false;
            }
            input.text = TextFile::decode(bytes);
            if (IsBlank(input.text)) {
                NoText(QStringLiteral("Standard input"));
                return false;
            }
            input.title = m_options.title.isEmpty() ? QStringLiteral("Quillsong") : m_options.title;
        } else if (DocumentReader::isDocument(name)) {
            if (!CollectDocument(name, input, inputs)) {
                return false;
            }
            continue;
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
        input.title = TitleOf(input.title);
        inputs << input;
    }
    return true;
}

bool CliConverter::CollectDocument(const QString& name, ReadingArticle input,
                                   QList<ReadingArticle>& inputs) {
    const Document document = DocumentReader::read(name);
    if (!document.ok()) {
        Error(document.error);
        return false;
    }
    const QString path = QFileInfo(name).absoluteFilePath();
    QList<DocumentChapter> chapters;
    for (const DocumentChapter& chapter : document.chapters) {
        if (!IsBlank(chapter.text)) {
            chapters << chapter;
        }
    }
    if (m_options.singleFile || chapters.size() < 2) {
        // Named after the file, as a text file is.
        input.text = document.wholeText();
        input.title = TitleOf(QFileInfo(name).baseName());
        input.source = path;
        inputs << input;
        return true;
    }
    // A book: one output per chapter, numbered in the book's order.
    // Players group the chapters under the book's title.
    input.album = document.title.trimmed().isEmpty() ? QFileInfo(name).completeBaseName()
                                                     : document.title.simplified();
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const QString title = chapters[i].title.isEmpty() ? document.title : chapters[i].title;
        input.key = quintptr(inputs.size() + 1);
        input.text = Document{QString(), {chapters[i]}, QString()}.wholeText();
        input.title = ChapterName(int(i + 1), int(chapters.size()), title);
        input.source = path;
        inputs << input;
    }
    return true;
}

bool CliConverter::OutputNamesDiffer(const QList<ReadingArticle>& inputs) const {
    // Each input's file is named after its title: two equal titles would write one file twice
    // and lose the first.
    QHash<QString, QString> sources;
    for (const ReadingArticle& input : inputs) {
        const QString source = !input.source.isEmpty()    ? input.source
                               : input.filePath.isEmpty() ? QStringLiteral("standard input")
                                                          : input.filePath;
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
    const QFileInfo info(m_options.outDir);
    m_outDir = QDir::cleanPath(info.absoluteFilePath());
    if (info.exists() && !info.isDir()) {
        Error(m_outDir + QStringLiteral(" is not a folder"));
        return false;
    }
    if (!info.exists()) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(m_outDir).toStdString(), error);
        if (error) {
            Error(QStringLiteral("Cannot make the folder %1: %2")
                      .arg(m_outDir, QString::fromLocal8Bit(error.message())));
            return false;
        }
    }
    const QString problem = ReadToFileJob::FolderProblem(m_outDir);
    if (!problem.isEmpty()) {
        Error(problem);
        return false;
    }
    return true;
}

int CliConverter::Run() {
    m_voice = m_options.voice.isEmpty() ? m_prefs.TTS_DefaultVoiceName : m_options.voice;
    if (!m_driver.FindVoice(m_voice)) {
        Error(QStringLiteral("Voice ") + m_voice +
              QStringLiteral(" does not exist (see --list-voices)"));
        return BadUsage;
    }
    QList<ReadingArticle> inputs;
    if (!CollectInputs(inputs)) {
        return Failure;
    }
    if (!m_options.singleFile && !OutputNamesDiffer(inputs)) {
        return BadUsage;
    }
    if (!PrepareOutputFolder()) {
        return Failure;
    }
    // For this run only: the settings are never saved.
    m_prefs.OUT_Directory = m_outDir;
    static const QHash<QString, uint8_t> kFormats{{QStringLiteral("wav"), OutputFormat::Wav},
                                                  {QStringLiteral("mp3"), OutputFormat::Mp3},
                                                  {QStringLiteral("ogg"), OutputFormat::Vorbis},
                                                  {QStringLiteral("opus"), OutputFormat::Opus}};
    m_prefs.OUT_FileFormat = kFormats.value(m_options.format, OutputFormat::Wav);
    m_prefs.BitRate = m_options.bitRate;
    m_prefs.OUT_OpusBitRate = m_options.bitRate;
    m_prefs.OUT_VorbisQuality = m_options.quality;
    m_prefs.TTS_WaveConvRate = m_options.speed * kRealTimeUnit;
    m_prefs.OUT_Subtitles = m_options.subtitles;
    return Convert(std::move(inputs));
}

int CliConverter::Convert(QList<ReadingArticle> inputs) {
    for (const ReadingArticle& input : inputs) {
        m_titles.insert(input.key, input.title);
    }
    InputQueue queue(std::move(inputs));
    ReadingSession session(m_prefs, m_driver);
    session.setQueue(&queue);
    Follow(session);
    QEventLoop loop;
    QObject::connect(&session, &ReadingSession::finished, &loop, &QEventLoop::quit);
    QObject::connect(&session, &ReadingSession::titleMissing, &loop, &QEventLoop::quit);
    // Ctrl+C or the end of the session: the file being made is not left half made.
    TerminationSignals termination;
    int interrupted = 0;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &loop,
                     [&](int number) {
                         if (interrupted == 0) {
                             interrupted = number;
                             session.state() == rsConverting ? session.shutdown() : session.stop();
                             loop.quit();
                         }
                     });
    m_failed = false;
    session.ReadAllArticles(m_options.singleFile ? otSingleFile : otMultipleFiles);
    if (session.state() != rsIdle && interrupted == 0) {
        loop.exec();
    }
    EndProgressLine();
    if (interrupted != 0) {
        // The session has removed the temporaries of the file it was making; this is for one
        // it could not reach. The final name only ever holds a whole file, so it stays: the
        // file made earlier, or the one of an earlier run.
        ReadToFileJob::RemoveTemporaries(session.outputPaths());
        return kSignalExitBase + interrupted;
    }
    return m_failed ? Failure : Success;
}

void CliConverter::Follow(ReadingSession& session) {
    QObject::connect(&session, &ReadingSession::articleStarted, [this](quintptr key) {
        EndPhase(true);
        m_title = m_titles.value(key);
        m_phase = QStringLiteral("Speaking");
    });
    QObject::connect(&session, &ReadingSession::progress,
                     [this](int64_t position, int64_t total) { ShowProgress(position, total); });
    QObject::connect(&session, &ReadingSession::conversionStarted, [this] {
        EndPhase(true);
        m_phase = QStringLiteral("Encoding");
    });
    QObject::connect(&session, &ReadingSession::conversionProgress,
                     [this](int percent) { ShowProgress(percent, kPercentMaximum); });
    QObject::connect(&session, &ReadingSession::fileSaved, [this](const QString& path) {
        EndPhase(true);
        std::printf("%s\n", qPrintable(path));
        std::fflush(stdout);
    });
    QObject::connect(&session, &ReadingSession::finished, [this](bool completed) {
        EndPhase(completed);
        m_failed = m_failed || !completed;
    });
    const auto fail = [this](const QString& text) {
        EndPhase(false);
        m_failed = true;
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
    if (done && !m_phase.isEmpty()) {
        ShowProgress(1, 1);
    }
    EndProgressLine();
    m_phase.clear();
}

void CliConverter::EndProgressLine() {
    if (m_terminal && !m_shown.isEmpty()) {
        std::fputc('\n', stderr);
        m_shown.clear();
    }
}

void CliConverter::ShowProgress(int64_t position, int64_t total) {
    if (!m_terminal || total <= 0) {
        return;
    }
    const int percent = int(std::clamp<int64_t>(position * 100 / total, 0, 100));
    const int filled = percent * 30 / 100;
    const QString line =
        QStringLiteral("\r%5 [%1%2] %3% %4")
            .arg(QString(filled, QLatin1Char('#')), QString(30 - filled, QLatin1Char(' ')))
            .arg(percent, 3)
            .arg(m_title, m_phase.leftJustified(8));  // one pass: nothing in them is replaced
    if (line != m_shown) {
        m_shown = line;
        std::fputs(qPrintable(line), stderr);
    }
}
