#include "cli/clioptions.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>

#include "app/readtofilejob.h"
#include "audio/opusencoder.h"
#include "audio/vorbisencoder.h"
#include "platform/about/programversion.h"

namespace {

constexpr int kDefaultMp3BitRate = 32;
// The best quality level of the Vorbis encoder.
constexpr int kBestVorbisQuality = 10;

// The options are described in the help text below, not by the parser.
QCommandLineOption Option(const char* name, const char* value = nullptr) {
    return value ? QCommandLineOption(QString::fromLatin1(name), QString(),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString());
}

bool ReadNumber(const QCommandLineParser& parser, const char* name, int& target, QString& error) {
    if (!parser.isSet(QString::fromLatin1(name))) {
        return true;
    }
    bool ok = false;
    target = parser.value(QString::fromLatin1(name)).toInt(&ok);
    if (!ok || target < 0) {
        error = QStringLiteral("--%1 needs a whole number, not \"%2\"")
                    .arg(QString::fromLatin1(name), parser.value(QString::fromLatin1(name)));
        return false;
    }
    return true;
}

// One line for each option, and examples; kept by hand so nothing wraps.
const char* const kHelp =
    "Usage: quillsong-cli [OPTION...] [FILE...]\n"
    "Reads text files, documents (HTML, Markdown, EPUB, PDF, DOCX, ODT) or standard\n"
    "input into WAV, MP3, Ogg Vorbis or Opus files with the voices of Quillsong MP3.\n"
    "Each file is named after its input, an EPUB book's chapters \"01 Title\",\n"
    "\"02 Title\" and so on (one file for the book with --single-file); each path\n"
    "is printed.\n"
    "\n"
    "Options:\n"
    "  --voice NAME     a voice named by --list-voices (default: the default voice)\n"
    "  --format FORMAT  wav, mp3, ogg (Ogg Vorbis) or opus (default wav)\n"
    "  --bitrate KBPS   mp3: 16, 32, 40, 48, 56 or 64 (default 32);\n"
    "                   opus: 16, 24, 32, 48 or 64 (default 24)\n"
    "  --quality N      ogg quality from 0 (smallest) to 10 (default 2)\n"
    "  --out DIR        folder for the files, made if missing (default: .)\n"
    "  --single-file    read all inputs into one file, named after the first\n"
    "  --subtitles      write subtitles (.srt) and lyrics (.lrc) beside each file\n"
    "  --title TITLE    title and file name for standard input (default Quillsong)\n"
    "  --speed N        write at most N times real time, 0-255 (default 0: no limit)\n"
    "  --lexicon FILE   pronunciations from FILE instead of the window's lexicon\n"
    "  --list-voices    list the voices and exit\n"
    "  --version        show the program's version and exit\n"
    "  -h, --help       show this help and exit\n"
    "\n"
    "With no FILE, or when FILE is -, standard input is read (at most 10 MB; a FILE\n"
    "is read piece by piece, whatever its size).\n"
    "\n"
    "Examples:\n"
    "  quillsong-cli --format mp3 --out ~/Audio report.txt notes.txt\n"
    "  quillsong-cli --format opus --subtitles --out ~/Audio/Book book.epub\n"
    "  echo Hello | quillsong-cli --voice \"Flite slt\" --title Greeting --out ~/Audio\n"
    "\n"
    "Exit status: 0 success, 1 failure (the reason on standard error), 2 bad usage.\n";

}  // namespace

bool CliOptions::Parse(const QStringList& arguments, CliOptions& options, QString& error,
                       bool& helpShown) {
    helpShown = false;
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version = Option("version");
    parser.addOptions({Option("voice", "name"), Option("format", "format"),
                       Option("bitrate", "kbps"), Option("out", "dir"), Option("single-file"),
                       Option("title", "title"), Option("speed", "N"), Option("list-voices"),
                       Option("lexicon", "file"), Option("subtitles"), Option("quality", "N"),
                       version, help});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        std::fputs(kHelp, stdout);
        helpShown = true;
        return false;
    }
    if (parser.isSet(version)) {
        std::fputs(qPrintable(QStringLiteral("quillsong-cli (%1) %2\n")
                                  .arg(ProgramVersion::name(), ProgramVersion::version())),
                   stdout);
        helpShown = true;
        return false;
    }
    options.voice = parser.value(QStringLiteral("voice"));
    if (parser.isSet(QStringLiteral("format"))) {
        options.format = parser.value(QStringLiteral("format")).toLower();
    }
    if (parser.isSet(QStringLiteral("out"))) {
        options.outDir = parser.value(QStringLiteral("out"));
    }
    options.title = parser.value(QStringLiteral("title"));
    options.singleFile = parser.isSet(QStringLiteral("single-file"));
    options.subtitles = parser.isSet(QStringLiteral("subtitles"));
    options.listVoices = parser.isSet(QStringLiteral("list-voices"));
    options.inputs = parser.positionalArguments();
    options.lexicon = parser.value(QStringLiteral("lexicon"));
    if (!ReadNumber(parser, "bitrate", options.bitRate, error)) {
        return false;
    }
    if (parser.isSet(QStringLiteral("speed"))) {
        const QString value = parser.value(QStringLiteral("speed"));
        bool ok = false;
        const qlonglong speed = value.toLongLong(&ok);
        if (!ok || speed < 0 || speed > kMaxSpeed) {
            error = QStringLiteral("--speed must be a whole number from 0 to %1, not \"%2\"")
                        .arg(kMaxSpeed)
                        .arg(value);
            return false;
        }
        options.speed = int(speed);
    }
    static const QStringList kFormats{QStringLiteral("wav"), QStringLiteral("mp3"),
                                      QStringLiteral("ogg"), QStringLiteral("opus")};
    if (!kFormats.contains(options.format)) {
        error = QStringLiteral("--format must be wav, mp3, ogg or opus, not \"%1\"")
                    .arg(options.format);
        return false;
    }
    const bool opus = options.format == QStringLiteral("opus");
    if (!parser.isSet(QStringLiteral("bitrate"))) {
        options.bitRate = opus ? kDefaultOpusBitRate : kDefaultMp3BitRate;
    }
    if (opus && std::find(kOpusBitRates.begin(), kOpusBitRates.end(), options.bitRate) ==
                    kOpusBitRates.end()) {
        error = QStringLiteral("--bitrate for opus must be 16, 24, 32, 48 or 64, not \"%1\"")
                    .arg(options.bitRate);
        return false;
    }
    if (!opus && ReadToFileJob::RequiredRate(options.bitRate) == 0) {
        error = QStringLiteral("--bitrate must be 16, 32, 40, 48, 56 or 64, not \"%1\"")
                    .arg(options.bitRate);
        return false;
    }
    if (!ReadNumber(parser, "quality", options.quality, error)) {
        return false;
    }
    if (options.quality > kBestVorbisQuality) {
        error = QStringLiteral("--quality must be from 0 to %1, not \"%2\"")
                    .arg(kBestVorbisQuality)
                    .arg(options.quality);
        return false;
    }
    return true;
}
