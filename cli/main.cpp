// quillsong-cli: reads text into WAV or MP3 files from the command line.
#include <unistd.h>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "cli/cliconverter.h"
#include "cli/clioptions.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"
#include "settings/preferences.h"
#include "speech/lexiconstore.h"
#include "speech/ttsform.h"
#include "text/printabletext.h"

int main(int argc, char** argv) {
    // eSpeak NG 1.51 opens a sound output as it starts, whatever output it is asked for. This
    // program writes files only, so its sound library is given no server to reach: the user's
    // audio server is never contacted.
    qputenv("PULSE_SERVER", "unix:/nonexistent/quillsong-cli-plays-no-sound");
    // Documents are laid out as Qt lays out rich text, which needs fonts and so a GUI
    // application; it never opens a window, so it needs no display either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries the converter's own messages only: what Qt has to say about its
    // surroundings (a missing runtime folder, say) goes to the log.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        UtilsClass::WriteDebugLine(QStringLiteral("Qt: ") + text);
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "quillsong-cli: %s\n", qPrintable(text));
            std::abort();
        }
    });
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillsong"));
    CliOptions options;
    QString error;
    bool helpShown = false;
    if (!CliOptions::Parse(QCoreApplication::arguments(), options, error, helpShown)) {
        if (helpShown) {
            return CliConverter::Success;
        }
        std::fprintf(stderr, "quillsong-cli: %s\nTry 'quillsong-cli --help'.\n", qPrintable(error));
        return CliConverter::BadUsage;
    }
    // Messages meant for a dialog go to standard error here, below any progress line.
    const bool terminal = isatty(STDERR_FILENO) != 0;
    UserMessage::setHandler([terminal](UserMessage::Kind, const QString& text) {
        QString shown = text;
        shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
        std::fprintf(stderr, "%squillsong-cli: %s\n", terminal ? "\n" : "", qPrintable(shown));
    });
    // The user's voice settings are read, never written.
    TPreferences prefs;
    prefs.ReadAll();
    prefs.ApplyStoredValues();
    TTTSForm driver(prefs);
    // Files need no sound device: the audio server is never asked.
    driver.SetSoundCardGate(std::make_unique<NoSoundCardGate>());
    driver.Initialize();
    // The catalogue has registered each voice's favourite mark, speed and pitch only now: they
    // are read from the store before they are taken, as the window takes them.
    prefs.ReadAll();
    driver.LoadVoiceSettings();
    // Words are said as in the window, or as the lexicon named on the command line says.
    const bool ownLexicon = !options.lexicon.isEmpty();
    LexiconStore lexicon(ownLexicon ? options.lexicon : LexiconFile::defaultPath());
    QString lexiconError;
    if (ownLexicon && !QFileInfo::exists(options.lexicon)) {
        lexiconError = QStringLiteral("the lexicon %1 does not exist")
                           .arg(PrintableText::escaped(options.lexicon));
    } else {
        lexicon.load(&lexiconError);
    }
    if (!lexiconError.isEmpty()) {
        std::fprintf(stderr, "quillsong-cli: %s\n", qPrintable(lexiconError));
        if (ownLexicon) {
            return CliConverter::Failure;
        }
    }
    for (const LexiconProblem& problem : lexicon.problems()) {
        std::fprintf(stderr, "quillsong-cli: %s, %s (skipped)\n",
                     qPrintable(PrintableText::escaped(lexicon.path())),
                     qPrintable(LexiconFile::describe(problem)));
    }
    CliConverter converter(prefs, driver, options);
    int result = CliConverter::Failure;
    try {
        result = options.listVoices ? converter.ListVoices() : converter.Run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quillsong-cli: %s\n", error.what());
    }
    return result;
}
