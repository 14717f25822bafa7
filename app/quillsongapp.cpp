#include "app/quillsongapp.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

#include "app/form1.h"
#include "app/messagebox.h"
#include "app/statustext.h"
#include "platform/shell/singleinstance.h"
#include "platform/shell/terminationsignals.h"
#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"

int RunQuillsong(int argc, char** argv) {
    // On Wayland a program learns of other programs' copies only while it has the focus; on
    // the X display that the session also offers (XWayland), it watches from the tray as well.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillsong"));
    // No display name: X11 would add it to every window's caption ("Quillsong Busy ..." and
    // the others are the captions as they are).
    QApplication::setQuitOnLastWindowClosed(false);
    // Installed first, so a termination during start-up is never fatal.
    TerminationSignals termination;

    // Files named on the command line (as the desktop's launcher passes them) are opened as
    // the Text File command opens them; the switches start with '-'.
    QStringList files;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            files.append(argument);
        }
    }
    SingleInstance instance;
    if (!instance.acquire(files)) {
        return 0;  // the running program has been handed the files and asked to come forward
    }
    UtilsClass::RotateDebugLogs();
    UserMessage::setHandler([](UserMessage::Kind kind, const QString& text) {
        MessageBox box(
            kind == UserMessage::Kind::Error ? QMessageBox::Critical : QMessageBox::Information,
            StatusText::kProgramTitle, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });

    TForm1 form(QApplication::arguments());
    QObject::connect(&instance, &SingleInstance::restoreRequested, &form, &TForm1::RestoreFromTray);
    // Files wait until the article list is in place; those of a later start are opened at once.
    bool started = false;
    QObject::connect(&form, &TForm1::startupFinished, &form, [&form, &files, &started] {
        started = true;
        if (!files.isEmpty()) {
            form.OpenTextFiles(std::exchange(files, {}));
        }
    });
    QObject::connect(&instance, &SingleInstance::filesOpenRequested, &form,
                     [&form, &files, &started](const QStringList& more) {
                         if (started) {
                             form.OpenTextFiles(more);
                         } else {
                             files.append(more);
                         }
                     });
    QObject::connect(
        &termination, &TerminationSignals::terminationRequested, &form, [&form](int number) {
            UtilsClass::WriteDebugLine(QStringLiteral("Signal %1 received; exiting").arg(number));
            form.ExitOnRequest();
        });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form] { form.StorePreferencesNow(); });
    form.show();
    const int code = QApplication::exec();
    UserMessage::setHandler(nullptr);
    return code;
}
