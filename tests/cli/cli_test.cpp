// quillsong-cli run as its users run it; its files are checked with soxi, mpg123 and id3v2.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>

#include "tests/audio/audiotools.h"
#include "tests/audio/smalldisk.h"
#include "tests/cli/clirun.h"
#include "tests/common/printers.h"
#include "tests/documents/epubmaker.h"

namespace {

using clirun::Result;

class Cli : public clirun::Folder {
  protected:
    static Result Run(
        const QStringList& args, const QByteArray& input = {},
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        return clirun::Run(args, input, environment);
    }
    // The error line the converter prints for a failure.
    static QString ErrorLine(const QString& text) {
        return QStringLiteral("quillsong-cli: ") + text + QLatin1Char('\n');
    }
    // Duration and rate of an MP3 as mpg123 decodes it.
    static QString Decoded(const QString& mp3, const char* flag) {
        const QString wave = mp3 + QStringLiteral(".decoded.wav");
        audiotools::Run(QStringLiteral("mpg123"),
                        {QStringLiteral("-q"), QStringLiteral("-w"), wave, mp3});
        const QString value = audiotools::Soxi(wave, flag);
        QFile::remove(wave);
        return value;
    }
    static double Seconds(const QString& mp3) { return Decoded(mp3, "-D").toDouble(); }
};

}  // namespace

TEST_F(Cli, UsageErrorsAndFailuresHaveTheirOwnExitCodes) {
    const QString text = Text(QStringLiteral("a.txt"), "Some words.");
    EXPECT_EQ(Run({QStringLiteral("--format"), QStringLiteral("flac"), text}).exitCode, 2);
    const Result opusRate = Run({QStringLiteral("--format"), QStringLiteral("opus"),
                                 QStringLiteral("--bitrate"), QStringLiteral("40"), text});
    EXPECT_EQ(opusRate.exitCode, 2);
    EXPECT_TRUE(opusRate.err.contains(
        QStringLiteral("--bitrate for opus must be 16, 24, 32, 48 or 64, not \"40\"")))
        << opusRate.err.toStdString();
    EXPECT_EQ(Run({QStringLiteral("--quality"), QStringLiteral("11"), text}).exitCode, 2);
    const Result rate = Run({QStringLiteral("--bitrate"), QStringLiteral("33"), text});
    EXPECT_EQ(rate.exitCode, 2);
    EXPECT_TRUE(
        rate.err.contains(QStringLiteral("--bitrate must be 16, 32, 40, 48, 56 or 64, not \"33\"")))
        << rate.err.toStdString();
    const Result lexicon =
        Run({QStringLiteral("--lexicon"), Out() + QStringLiteral("/none.txt"), text});
    EXPECT_EQ(lexicon.exitCode, 1);
    EXPECT_TRUE(lexicon.err.contains(QStringLiteral("the lexicon ") + Out() +
                                     QStringLiteral("/none.txt does not exist")))
        << lexicon.err.toStdString();
    EXPECT_EQ(Run({QStringLiteral("--no-such-option")}).exitCode, 2);
    // The pace is held in 16 bits of 256ths of real time: 255 is the most it can say.
    for (const char* speed : {"-1", "256", "8388608", "99999999999", "fast", "1.5"}) {
        SCOPED_TRACE(speed);
        const Result paced = Run({QStringLiteral("--speed"), QString::fromLatin1(speed), text});
        EXPECT_EQ(paced.exitCode, 2);
        EXPECT_EQ(paced.err,
                  QStringLiteral("quillsong-cli: --speed must be a whole number from 0 to 255, "
                                 "not \"%1\"\nTry 'quillsong-cli --help'.\n")
                      .arg(QString::fromLatin1(speed)));
    }
    EXPECT_EQ(Files(), QStringList());
    const Result fastest = Run(
        {QStringLiteral("--speed"), QStringLiteral("255"), QStringLiteral("--out"), Out(), text});
    EXPECT_EQ(fastest.exitCode, 0) << fastest.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("a.wav")});
    QFile::remove(QDir(Out()).filePath(QStringLiteral("a.wav")));
    const Result voice = Run({QStringLiteral("--voice"), QStringLiteral("Nobody"), text});
    EXPECT_EQ(voice.exitCode, 2);
    EXPECT_TRUE(voice.err.contains(QStringLiteral("Voice Nobody does not exist")));

    ASSERT_TRUE(QDir().mkpath(Out()));
    EXPECT_EQ(
        Run({QStringLiteral("--out"), Out(), dir_.filePath(QStringLiteral("gone.txt"))}).exitCode,
        1);
    EXPECT_EQ(Files(), QStringList()) << "a failed run leaves no file";

    // Two inputs named alike would write one file twice: refused before anything is spoken.
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("other")));
    const QString twin = Text(QStringLiteral("other/a.txt"), "Other words.");
    const Result twins = Run({QStringLiteral("--out"), Out(), text, twin});
    EXPECT_EQ(twins.exitCode, 2);
    EXPECT_TRUE(twins.err.contains(QStringLiteral("would both be written as a")))
        << twins.err.toStdString();
    EXPECT_EQ(Files(), QStringList());
    const Result joined =
        Run({QStringLiteral("--single-file"), QStringLiteral("--out"), Out(), text, twin});
    EXPECT_EQ(joined.exitCode, 0) << joined.err.toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("a.wav")});
    QFile::remove(QDir(Out()).filePath(QStringLiteral("a.wav")));

    const Result voices = Run({QStringLiteral("--list-voices")});
    EXPECT_EQ(voices.exitCode, 0);
    EXPECT_TRUE(voices.out.contains(QStringLiteral("Flite kal\n")));
    EXPECT_TRUE(voices.out.contains(QStringLiteral("(default)")));
}

TEST_F(Cli, FilesAndStandardInputBecomeTitledMp3Files) {
    ASSERT_TRUE(QDir().mkpath(Out()));
    const QString first = Text(QStringLiteral("report.final.txt"), "The first report is short.");
    const QByteArray sentence = "A longer file is read from disk in pieces. ";
    const QString second = Text(QStringLiteral("second.txt"), sentence.repeated(150));
    const Result each =
        Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"), QStringLiteral("--format"),
             QStringLiteral("mp3"), QStringLiteral("--out"), Out(), first, second});
    ASSERT_EQ(each.exitCode, 0) << each.err.toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("report.mp3"), QStringLiteral("second.mp3")}))
        << "the 8000 Hz voice is raised to 22050 Hz and no temporary wave is left";
    const QString report = dir_.filePath(QStringLiteral("out/report.mp3"));
    EXPECT_EQ(Decoded(report, "-r"), QStringLiteral("22050"));
    EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), report})
                    .contains(QStringLiteral("report")));
    const double reportSeconds = Seconds(report);
    const double secondSeconds = Seconds(dir_.filePath(QStringLiteral("out/second.mp3")));
    EXPECT_GT(reportSeconds, 1.0);
    EXPECT_GT(secondSeconds, 100.0) << "all 1350 words of the large file";

    QDir(Out()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(Out()));
    const Result single =
        Run({QStringLiteral("--voice"), QStringLiteral("Flite kal"), QStringLiteral("--format"),
             QStringLiteral("mp3"), QStringLiteral("--single-file"), QStringLiteral("--out"), Out(),
             first, second});
    ASSERT_EQ(single.exitCode, 0) << single.err.toStdString();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("report.mp3")});
    EXPECT_NEAR(Seconds(report), reportSeconds + secondSeconds, 2.0);

    const Result piped = Run({QStringLiteral("--title"), QStringLiteral("From a pipe"),
                              QStringLiteral("--out"), Out() + QLatin1Char('/')},
                             "Text from standard input.");
    ASSERT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out.trimmed(), dir_.filePath(QStringLiteral("out/From_a_pipe.wav")));
    EXPECT_GT(audiotools::Soxi(piped.out.trimmed(), "-D").toDouble(), 1.0);
}

TEST_F(Cli, FileNamesInAnyScriptGiveTheirTitlesAndNoneIsRefused) {
    QStringList inputs;
    for (const QString& name :
         {QStringLiteral("Caf\u00E9 cr\u00E8me \u2013 r\u00E9sum\u00E9.txt"),
          QStringLiteral("\u65E5\u672C\u8A9E\u306E\u672C.txt"),
          QStringLiteral("\U00020BB7\u91CE\u5BB6.txt"), QStringLiteral("!!!.txt")}) {
        inputs << Text(name, "A few words.");
    }
    EpubBook book;
    book.pages = {TextPage(QStringLiteral("one.xhtml"),
                           QStringLiteral("\U00020BB7\u91CE\u5BB6\u306E\u6B74\u53F2"),
                           QStringLiteral("<p>The first chapter.</p>")),
                  TextPage(QStringLiteral("two.xhtml"), QStringLiteral("Two"),
                           QStringLiteral("<p>The second chapter.</p>"))};
    inputs << dir_.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(WriteEpub(inputs.back(), book));
    const Result run = Run(QStringList{QStringLiteral("--out"), Out()} + inputs);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(Files(),
              (QStringList{QStringLiteral("01 \U00020BB7\u91CE\u5BB6\u306E\u6B74\u53F2.wav"),
                           QStringLiteral("02 Two.wav"),
                           QStringLiteral("Caf\u00E9_cr\u00E8me_r\u00E9sum\u00E9.wav"),
                           QStringLiteral("Untitled.wav"),
                           QStringLiteral("\u65E5\u672C\u8A9E\u306E\u672C.wav"),
                           QStringLiteral("\U00020BB7\u91CE\u5BB6.wav")}));
}

TEST_F(Cli, ALexiconsUnreadableLinesReachTheTerminalWithTheirControlCharactersEscaped) {
    const QString lexicon =
        Text(QStringLiteral("lexicon.txt"), QByteArray("Bell\tring\tcase\x1b[31m\x07\n"
                                                       "Nul\tzero\tphon\0emes\n"
                                                       "Long\t",
                                                       45) +
                                                QByteArray(700, 's') + "\tphonemes\n");
    const Result run = Run({QStringLiteral("--lexicon"), lexicon, QStringLiteral("--out"), Out(),
                            Text(QStringLiteral("a.txt"), "Bell, zero and long.")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.err.toStdString();
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].contains(QStringLiteral("Line %1:").arg(i + 1)))
            << lines[i].toStdString();
        EXPECT_FALSE(std::any_of(lines[i].begin(), lines[i].end(), [](QChar c) {
            return c.category() == QChar::Other_Control;
        })) << lines[i].toStdString();
    }
    EXPECT_TRUE(lines[0].contains(QStringLiteral("U+001B[31mU+0007"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("phonU+0000emes"))) << lines[1].toStdString();
}

TEST_F(Cli, OutputFoldersAreMadeWhenMissingAndRefusedWithTheirReason) {
    const QString text = Text(QStringLiteral("a.txt"), "Some words.");
    const QString deep = Out() + QStringLiteral("/deep/er");
    const Result made = Run({QStringLiteral("--out"), deep, text});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_EQ(made.out, deep + QStringLiteral("/a.wav\n"));
    EXPECT_GT(audiotools::Soxi(deep + QStringLiteral("/a.wav"), "-D").toDouble(), 0.5);

    const Result notFolder = Run({QStringLiteral("--out"), text, text});
    EXPECT_EQ(notFolder.exitCode, 1);
    EXPECT_EQ(notFolder.err, ErrorLine(text + QStringLiteral(" is not a folder")));
    const Result underFile = Run({QStringLiteral("--out"), text + QStringLiteral("/sub"), text});
    EXPECT_EQ(underFile.exitCode, 1);
    EXPECT_EQ(underFile.err, ErrorLine(QStringLiteral("Cannot make the folder ") + text +
                                       QStringLiteral("/sub: Not a directory")));

    // A folder that takes no file is refused before anything is spoken, and no path is printed.
    const Result proc = Run({QStringLiteral("--out"), QStringLiteral("/proc"), text});
    EXPECT_EQ(proc.exitCode, 1);
    EXPECT_EQ(proc.out, QString());
    EXPECT_EQ(proc.err,
              ErrorLine(QStringLiteral(
                  "Files cannot be written to /proc: the folder does not take new files")));
    const Result procMp3 = Run({QStringLiteral("--out"), QStringLiteral("/proc"),
                                QStringLiteral("--format"), QStringLiteral("mp3"), text});
    EXPECT_EQ(procMp3.exitCode, 1);
    EXPECT_EQ(procMp3.out, QString());
    EXPECT_EQ(procMp3.err, proc.err);
}

TEST_F(Cli, OnlyItsOwnMessagesReachStandardError) {
    // The audio server the converter is shown is a socket that only counts who knocks: the
    // converter, which needs no sound device, never asks it anything.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QLocalServer audioServer;
    ASSERT_TRUE(audioServer.listen(runtime.filePath(QStringLiteral("audio-server"))));
    int knocks = 0;
    QObject::connect(&audioServer, &QLocalServer::newConnection, [&] {
        while (QLocalSocket* caller = audioServer.nextPendingConnection()) {
            ++knocks;
            caller->abort();  // turned away at once, so a caller fails fast
            caller->deleteLater();
        }
    });
    ASSERT_TRUE(QFile::setPermissions(
        runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"),
                       QStringLiteral("unix:") + audioServer.fullServerName());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    ASSERT_TRUE(QDir().mkpath(Out()));
    const QString text = Text(QStringLiteral("quiet.txt"), "Nothing but speech.");
    for (const QString& format : {QStringLiteral("wav"), QStringLiteral("mp3")}) {
        const Result quiet =
            Run({QStringLiteral("--format"), format, QStringLiteral("--out"), Out(), text}, {},
                environment);
        EXPECT_EQ(quiet.exitCode, 0);
        EXPECT_EQ(quiet.err, QString()) << format.toStdString();
        EXPECT_EQ(quiet.out, Out() + QStringLiteral("/quiet.") + format + QLatin1Char('\n'));
    }
    const Result piped = Run({QStringLiteral("--out"), Out()}, "From a pipe.", environment);
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.err, QString());
    const Result failed =
        Run({QStringLiteral("--out"), Out(), dir_.filePath(QStringLiteral("gone.txt"))}, {},
            environment);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err.count(QLatin1Char('\n')), 1) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.startsWith(QStringLiteral("quillsong-cli: ")));
    EXPECT_EQ(knocks, 0) << "the converter connected to the audio server";
}

TEST_F(Cli, EmptyAndBlankInputsEndAlike) {
    const QString empty = Text(QStringLiteral("empty.txt"), {});
    const QString blank = Text(QStringLiteral("blank.txt"), " \r\n\t  \n");
    // A character 26 ends a text file: what stands after it is not read.
    const QString endsEarly = Text(QStringLiteral("ends.txt"), " \r\n\x1A Words after the end.");
    const auto refused = [&](const QStringList& inputs, const QByteArray& input,
                             const QString& source) {
        SCOPED_TRACE(source.toStdString());
        const Result result = Run(QStringList{QStringLiteral("--out"), Out()} + inputs, input);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QString());
        EXPECT_EQ(result.err, ErrorLine(source + QStringLiteral(" has no text to read")));
    };
    ASSERT_TRUE(QDir().mkpath(Out()));
    refused({empty}, {}, empty);
    refused({blank}, {}, blank);
    refused({endsEarly}, {}, endsEarly);
    refused({}, {}, QStringLiteral("Standard input"));
    refused({QStringLiteral("-")}, " \n\t\r\n", QStringLiteral("Standard input"));
    EXPECT_EQ(Files(), QStringList()) << "nothing is written for nothing to read";
}

TEST_F(Cli, VersionPrintsTheVersionTheBuildSets) {
    QFile cmake(QStringLiteral(QUILL_DATA_DIR "/../CMakeLists.txt"));
    ASSERT_TRUE(cmake.open(QIODevice::ReadOnly));
    const QString version =
        QRegularExpression(QStringLiteral("project\\(\\s*Quillsong\\s+VERSION\\s+([0-9.]+)"))
            .match(QString::fromUtf8(cmake.readAll()))
            .captured(1);
    ASSERT_FALSE(version.isEmpty());
    const Result result = Run({QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, QString());
    EXPECT_EQ(result.out,
              QStringLiteral("quillsong-cli (Quillsong MP3) ") + version + QLatin1Char('\n'));
}

TEST_F(Cli, HelpListsEveryOptionOnOneLineWithExamples) {
    const Result help = Run({QStringLiteral("--help")});
    ASSERT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.err, QString());
    EXPECT_EQ(Run({QStringLiteral("-h")}).out, help.out);
    const QStringList lines = help.out.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 80) << line.toStdString();
    }
    // Each option on a line of its own: "  --name VALUE   what it does".
    static const QRegularExpression optionLine(
        QStringLiteral("^  (?:-h, )?--([a-z-]+)(?: ([A-Z]+))?  +\\S"));
    QStringList named;
    QStringList usage;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = optionLine.match(line);
        if (!match.hasMatch()) {
            continue;
        }
        named << match.captured(1);
        // Every option the help names is one the converter takes, with a value where it
        // shows one.
        const QHash<QString, QString> sample = {
            {QStringLiteral("NAME"), QStringLiteral("Flite kal")},
            {QStringLiteral("FORMAT"), QStringLiteral("mp3")},
            {QStringLiteral("KBPS"), QStringLiteral("16")},
            {QStringLiteral("DIR"), Out()},
            {QStringLiteral("TITLE"), QStringLiteral("Named")},
            {QStringLiteral("N"), QStringLiteral("0")},
            {QStringLiteral("FILE"), Text(QStringLiteral("lexicon.txt"), "GNU\tguh new\n")}};
        usage << QStringLiteral("--") + match.captured(1);
        if (!match.captured(2).isEmpty()) {
            ASSERT_TRUE(sample.contains(match.captured(2))) << line.toStdString();
            usage << sample.value(match.captured(2));
        }
    }
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named,
              (QStringList{
                  QStringLiteral("bitrate"), QStringLiteral("format"), QStringLiteral("help"),
                  QStringLiteral("lexicon"), QStringLiteral("list-voices"), QStringLiteral("out"),
                  QStringLiteral("quality"), QStringLiteral("single-file"), QStringLiteral("speed"),
                  QStringLiteral("subtitles"), QStringLiteral("title"), QStringLiteral("version"),
                  QStringLiteral("voice")}));
    usage.removeAll(QStringLiteral("--help"));
    usage.removeAll(QStringLiteral("--version"));
    const Result all = Run(usage);
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("Flite kal"))) << "--list-voices answered";

    // The examples run as they stand, with their folder made on the way.
    const qsizetype examples = lines.indexOf(QStringLiteral("Examples:"));
    ASSERT_GT(examples, 0);
    QStringList commands;
    for (qsizetype i = examples + 1; i < lines.size() && !lines[i].isEmpty(); ++i) {
        commands << lines[i].trimmed();
    }
    ASSERT_FALSE(commands.isEmpty());
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), dir_.path());
        environment.insert(QStringLiteral("PATH"), QStringLiteral(QUILL_BIN_DIR ":") +
                                                       environment.value(QStringLiteral("PATH")));
        shell.setProcessEnvironment(environment);
        shell.setWorkingDirectory(dir_.path());
        Text(QStringLiteral("report.txt"), "The report.");
        Text(QStringLiteral("notes.txt"), "The notes.");
        const EpubPage chapter = TextPage(QStringLiteral("one.xhtml"), QStringLiteral("One"),
                                          QStringLiteral("<p>The first chapter.</p>"));
        EpubBook book;
        book.title = QStringLiteral("Book");
        book.pages = {chapter, chapter};
        ASSERT_TRUE(WriteEpub(dir_.filePath(QStringLiteral("book.epub")), book));
        shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
        ASSERT_TRUE(shell.waitForFinished(120000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        EXPECT_TRUE(shell.readAllStandardOutput().startsWith(
            (dir_.path() + QStringLiteral("/Audio/")).toUtf8()));
    }
}

TEST_F(Cli, AFullDiskEndsWithTheFileAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    const QByteArray sentence = "A sentence that is long enough to fill a very small disk. ";
    const QString longText = Text(QStringLiteral("long.txt"), sentence.repeated(200));
    const QString shortText = Text(QStringLiteral("short.txt"), "Short.");
    const auto expectFailure = [](const Result& result, const QString& message) {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, QString()) << "no path is printed for a file that is not complete";
        EXPECT_EQ(result.err, ErrorLine(message));
    };
    {
        // Filled while speaking: a file read in pieces, standard input, an MP3's wave.
        SmallDisk disk(64);
        ASSERT_EQ(disk.Error(), QString());
        const QString folder = disk.Path();
        const QString noSpace = QStringLiteral(": No space left on device");
        expectFailure(
            Run({QStringLiteral("--out"), folder, longText}),
            QStringLiteral("Cannot write ") + folder + QStringLiteral("/long.wav") + noSpace);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList())
            << "the partial file is removed";
        expectFailure(
            Run({QStringLiteral("--out"), folder, QStringLiteral("--title"),
                 QStringLiteral("Piped")},
                sentence.repeated(200)),
            QStringLiteral("Cannot write ") + folder + QStringLiteral("/Piped.wav") + noSpace);
        expectFailure(
            Run({QStringLiteral("--out"), folder, QStringLiteral("--format"), QStringLiteral("mp3"),
                 longText}),
            QStringLiteral("Cannot write ") + folder + QStringLiteral("/long.mp3") + noSpace);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());

        // Full before it starts: the folder is named, nothing is spoken.
        disk.Fill();
        expectFailure(Run({QStringLiteral("--out"), folder, shortText}),
                      QStringLiteral("Files cannot be written to ") + folder + noSpace);
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("filler")});
    }
    {
        SmallDisk readOnly(64, true);
        ASSERT_EQ(readOnly.Error(), QString());
        expectFailure(Run({QStringLiteral("--out"), readOnly.Path(), shortText}),
                      QStringLiteral("Files cannot be written to ") + readOnly.Path() +
                          QStringLiteral(": Read-only file system"));
    }
}

TEST_F(Cli, TheDiskFillingUpKeepsTheEarlierFilesOfTheList) {
    QUILL_REQUIRE_SMALL_DISK();
    const QString first = Text(QStringLiteral("first.txt"), "The first file is short.");
    const QString second =
        Text(QStringLiteral("second.txt"),
             QByteArray("A sentence that is long enough to fill the disk. ").repeated(200));
    const QString third = Text(QStringLiteral("third.txt"), "Never read.");
    for (const QString& format : {QStringLiteral("wav"), QStringLiteral("mp3")}) {
        SCOPED_TRACE(format.toStdString());
        SmallDisk disk(512);
        ASSERT_EQ(disk.Error(), QString());
        const QString folder = disk.Path();
        const Result result = Run({QStringLiteral("--out"), folder, QStringLiteral("--format"),
                                   format, first, second, third});
        EXPECT_EQ(result.exitCode, 1);
        // The file made is named on standard output, as each file made is; the error names
        // the file that could not be and why.
        const QString made = folder + QStringLiteral("/first.") + format;
        EXPECT_EQ(result.out, made + QLatin1Char('\n'));
        EXPECT_EQ(result.err,
                  ErrorLine(QStringLiteral("Cannot write ") + folder + QStringLiteral("/second.") +
                            format + QStringLiteral(": No space left on device")));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("first.") + format})
            << "no partial file, no temporary, nothing of the third";
        if (format == QStringLiteral("wav")) {
            EXPECT_GT(audiotools::Soxi(made, "-D").toDouble(), 1.0);
        } else {
            EXPECT_GT(audiotools::DecodedSamples(made), 22050);
        }
    }
}

TEST_F(Cli, TheOutputFolderTakenAwayEndsWithTheFolderNamed) {
    const QString first = Text(QStringLiteral("first.txt"), "The first file is short.");
    const QString second =
        Text(QStringLiteral("second.txt"),
             QByteArray("A sentence that takes its time to speak. ").repeated(300));
    ASSERT_TRUE(QDir().mkpath(Out()));
    QProcess converter;
    converter.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
                    {QStringLiteral("--out"), Out(), first, second});
    // The second file's speech grows under its temporary name: the folder goes.
    const auto growing = [&] {
        const QFileInfoList temporaries = QDir(Out()).entryInfoList(
            {QStringLiteral(".quillsong-*.wav")}, QDir::Files | QDir::Hidden);
        return std::any_of(temporaries.begin(), temporaries.end(),
                           [](const QFileInfo& file) { return file.size() > 100000; });
    };
    ASSERT_TRUE(QTest::qWaitFor(growing, 60000));
    ASSERT_TRUE(QDir(Out()).removeRecursively());
    ASSERT_TRUE(QTest::qWaitFor([&] { return converter.state() == QProcess::NotRunning; }, 120000))
        << "no hang";
    EXPECT_EQ(converter.exitStatus(), QProcess::NormalExit) << "no crash";
    EXPECT_EQ(converter.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(converter.readAllStandardOutput()),
              Out() + QStringLiteral("/first.wav\n"))
        << "the file made before is named";
    EXPECT_EQ(QString::fromUtf8(converter.readAllStandardError()),
              ErrorLine(Out() + QStringLiteral("/second.wav could not be saved: the folder ") +
                        Out() + QStringLiteral(" no longer exists")));
    EXPECT_FALSE(QFileInfo::exists(Out())) << "nothing is made in its place";
}

TEST_F(Cli, AnInterruptedConversionLeavesNoUnfinishedFileNorTemporary) {
    const QString book = QStringLiteral("/usr/share/common-licenses/GPL-3");  // half an hour
    const QString finished = Text(QStringLiteral("short.txt"), "A short text first.");
    const QString copy = dir_.filePath(QStringLiteral("book.txt"));
    ASSERT_TRUE(QFile::copy(book, copy));
    const QByteArray earlier = "a whole file of an earlier run";
    // Interrupted while speaking (the temporary wave grows) or while encoding (the temporary
    // MP3 grows); with and without a file of the book's name from an earlier run.
    const struct {
        const char* phase;
        bool mp3;
        const char* growing;
        int signalNumber;
        bool earlierFile;
    } cases[] = {{"wave, speaking", false, ".wav", SIGINT, false},
                 {"wave over an earlier one, speaking", false, ".wav", SIGTERM, true},
                 {"mp3, speaking", true, ".wav", SIGINT, false},
                 {"mp3 over an earlier one, encoding", true, ".mp3", SIGTERM, true},
                 {"mp3, encoding", true, ".mp3", SIGHUP, false}};
    for (const auto& interruption : cases) {
        SCOPED_TRACE(interruption.phase);
        ASSERT_TRUE(QDir().mkpath(Out()));
        const QString bookFile = QDir(Out()).filePath(
            interruption.mp3 ? QStringLiteral("book.mp3") : QStringLiteral("book.wav"));
        if (interruption.earlierFile) {
            audiotools::Write(bookFile, earlier);
        }
        QStringList args{QStringLiteral("--out"), Out(), finished, copy};
        if (interruption.mp3) {
            args << QStringLiteral("--format") << QStringLiteral("mp3");
        }
        QProcess converter;
        converter.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"), args);
        // The book's output grows under a hidden temporary name (the short text's are gone by
        // then: it is complete).
        const auto growing = [&] {
            const QFileInfoList temporaries = QDir(Out()).entryInfoList(
                {QStringLiteral(".quillsong-*") + QLatin1String(interruption.growing)},
                QDir::Files | QDir::Hidden);
            return std::any_of(temporaries.begin(), temporaries.end(),
                               [](const QFileInfo& file) { return file.size() > 100000; });
        };
        ASSERT_TRUE(QTest::qWaitFor(growing, 240000));
        EXPECT_EQ(QFileInfo(bookFile).size(), interruption.earlierFile ? earlier.size() : 0)
            << "the bookFile name holds only a whole file";
        ::kill(pid_t(converter.processId()), interruption.signalNumber);
        ASSERT_TRUE(converter.waitForFinished(60000));
        EXPECT_EQ(converter.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(converter.exitCode(), 128 + interruption.signalNumber);
        // The file finished before the interruption stays, and so does the earlier run's book;
        // nothing of this run's book does, nor any temporary.
        QStringList expected{interruption.mp3 ? QStringLiteral("short.mp3")
                                              : QStringLiteral("short.wav")};
        if (interruption.earlierFile) {
            expected.prepend(QFileInfo(bookFile).fileName());
            QFile kept(bookFile);
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), earlier);
        }
        EXPECT_EQ(Files(), expected);
        ASSERT_TRUE(QDir(Out()).removeRecursively());
    }
}

TEST_F(Cli, TwoConversionsIntoOneFolderAtOnceEachKeepTheirOwnSpeech) {
    const QByteArray sentence = "Two converters write into one folder at the same time. ";
    const QString shorter = Text(QStringLiteral("shorter.txt"), sentence.repeated(30));
    const QString longer = Text(QStringLiteral("longer.txt"), sentence.repeated(70));
    const auto argsFor = [this](const QString& input) {
        return QStringList{QStringLiteral("--format"), QStringLiteral("mp3"),
                           QStringLiteral("--out"), Out(), input};
    };
    const QString shorterMp3 = QDir(Out()).filePath(QStringLiteral("shorter.mp3"));
    const QString longerMp3 = QDir(Out()).filePath(QStringLiteral("longer.mp3"));

    // Each alone first: the length of its own speech.
    ASSERT_EQ(Run(argsFor(shorter)).exitCode, 0);
    ASSERT_EQ(Run(argsFor(longer)).exitCode, 0);
    const int64_t shorterAlone = audiotools::DecodedSamples(shorterMp3);
    const int64_t longerAlone = audiotools::DecodedSamples(longerMp3);
    ASSERT_GT(shorterAlone, 0);
    ASSERT_GT(longerAlone, shorterAlone * 2);
    ASSERT_TRUE(QDir(Out()).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(Out()));

    // Both at once, three times over: neither takes the other's speech, and both say so. The
    // engine's speech of a text varies by an MP3 frame or so from run to run; the other's
    // speech would make it half again as long or short.
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QProcess first;
        QProcess second;
        first.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"), argsFor(shorter));
        second.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"), argsFor(longer));
        ASSERT_TRUE(first.waitForFinished(240000));
        ASSERT_TRUE(second.waitForFinished(240000));
        EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
        EXPECT_EQ(QString::fromUtf8(first.readAllStandardOutput()).trimmed(), shorterMp3);
        EXPECT_EQ(QString::fromUtf8(second.readAllStandardOutput()).trimmed(), longerMp3);
        EXPECT_NEAR(audiotools::DecodedSamples(shorterMp3), shorterAlone, shorterAlone / 100);
        EXPECT_NEAR(audiotools::DecodedSamples(longerMp3), longerAlone, longerAlone / 100);
        EXPECT_EQ(Files(),
                  (QStringList{QStringLiteral("longer.mp3"), QStringLiteral("shorter.mp3")}))
            << "no temporary is left";
    }
}
