#include "cli/clioptions.h"

#include <QCommandLineParser>
#include <cstdio>

#include "app/readtofilejob.h"

namespace {

QCommandLineOption Option(const char* name, const char* description, const char* value = nullptr) {
    return value ? QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description));
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

}  // namespace

bool CliOptions::Parse(const QStringList& arguments, CliOptions& options, QString& error,
                       bool& helpShown) {
    helpShown = false;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads text files (or standard input) aloud into WAV or MP3 files with the voices of "
        "Quillsong MP3."));
    parser.addOptions({
        Option("voice", "Voice name as the program shows it (see --list-voices).", "name"),
        Option("format", "Output format: wav or mp3 (default wav).", "format"),
        Option("bitrate", "MP3 bit rate in kbit/s: 16, 32, 40, 48, 56 or 64 (default 32).", "kbps"),
        Option("out", "Folder the files are written to (default: the current folder).", "dir"),
        Option("single-file", "Read all inputs into one file named after the first."),
        Option("title", "Title, and file name, of text read from standard input.", "title"),
        Option("speed", "Write at most N times real time (default 0: as fast as possible).", "N"),
        Option("list-voices", "List the voices and exit."),
    });
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("Text files to read; none or \"-\" reads standard input."),
        QStringLiteral("[FILE...]"));
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
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
    options.listVoices = parser.isSet(QStringLiteral("list-voices"));
    options.inputs = parser.positionalArguments();
    if (!ReadNumber(parser, "bitrate", options.bitRate, error) ||
        !ReadNumber(parser, "speed", options.speed, error)) {
        return false;
    }
    if (options.format != QStringLiteral("wav") && options.format != QStringLiteral("mp3")) {
        error = QStringLiteral("--format must be wav or mp3, not \"%1\"").arg(options.format);
        return false;
    }
    if (TReadToFileJob::RequiredRate(options.bitRate) == 0) {
        error = QStringLiteral("--bitrate must be 16, 32, 40, 48, 56 or 64");
        return false;
    }
    return true;
}
