// quillsong-cli: reads text into WAV or MP3 files from the command line.
#include <QCoreApplication>
#include <cstdio>

#include "cli/cliconverter.h"
#include "cli/clioptions.h"
#include "platform/shell/usermessage.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillsong"));
    CliOptions options;
    QString error;
    bool helpShown = false;
    if (!CliOptions::Parse(QCoreApplication::arguments(), options, error, helpShown)) {
        if (helpShown) {
            return TCliConverter::Success;
        }
        std::fprintf(stderr, "quillsong-cli: %s\nTry 'quillsong-cli --help'.\n", qPrintable(error));
        return TCliConverter::BadUsage;
    }
    // Messages meant for a dialog go to standard error here.
    UserMessage::setHandler([](UserMessage::Kind, const QString& text) {
        QString shown = text;
        shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
        std::fprintf(stderr, "\nquillsong-cli: %s\n", qPrintable(shown));
    });
    // The user's voice settings are read, never written.
    TPreferences prefs;
    prefs.ReadAll();
    prefs.ApplyStoredValues();
    TTTSForm driver(prefs);
    driver.Initialize();
    driver.LoadVoiceSettings();
    TCliConverter converter(prefs, driver, options);
    return options.listVoices ? converter.ListVoices() : converter.Run();
}
