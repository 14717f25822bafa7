#include "platform/shell/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace {

const QString kExecKey = QStringLiteral("Exec=");
// The fields the entry shares with the installed launcher, packaging/quillsong.desktop.
const QString kLauncherName = QStringLiteral("Quillsong MP3");
const QString kLauncherComment =
    QStringLiteral("Read text aloud, or to WAV and MP3 files, with eSpeak NG and Flite voices");
const QString kLauncherIcon = QStringLiteral("quillsong");

// Desktop entry values escape backslashes and line breaks.
QString escapeValue(const QString& value) {
    QString out;
    for (QChar c : value) {
        if (c == QLatin1Char('\\')) {
            out += QStringLiteral("\\\\");
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\r')) {
            out += QStringLiteral("\\r");
        } else {
            out += c;
        }
    }
    return out;
}

QString unescapeValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value[++i];
            out += next == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                   : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                                              : next;
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

QString Autostart::entryFile(const QString& entryName) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/") + entryName + QStringLiteral(".desktop");
}

QString Autostart::quoteArgument(const QString& argument) {
    QString out = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
        }
        if (c == QLatin1Char('%')) {
            out += QLatin1Char('%');  // a lone % would start a field code
        }
        out += c;
    }
    return out + QLatin1Char('"');
}

bool Autostart::setEntry(const QString& entryName, const QString& command, bool enable) {
    const QString file = entryFile(entryName);
    if (!enable) {
        return !QFileInfo::exists(file) || QFile::remove(file);
    }
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream stream(&out);
    stream << "[Desktop Entry]\n"
           << "Type=Application\n"
           << "Name=" << kLauncherName << "\n"
           << "Comment=" << kLauncherComment << "\n"
           << "Icon=" << kLauncherIcon << "\n"
           << kExecKey << escapeValue(command) << "\n"
           << "Terminal=false\n"
           << "X-GNOME-Autostart-enabled=true\n";
    stream.flush();
    return stream.status() == QTextStream::Ok && out.commit();
}

QString Autostart::entryCommand(const QString& entryName) {
    QFile in(entryFile(entryName));
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    QTextStream stream(&in);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.startsWith(kExecKey)) {
            return unescapeValue(line.mid(kExecKey.size()));
        }
    }
    return {};
}

bool Autostart::hasEntry(const QString& entryName) {
    return !entryCommand(entryName).isEmpty();
}
