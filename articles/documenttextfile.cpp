#include "articles/documenttextfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "articles/articletext.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/utilsclass.h"

namespace {

// Hex digits of the hash that tell two openings of one document apart.
constexpr int kHashDigits = 12;
// Characters of the document's name kept in the file's name.
constexpr int kNameLength = 40;

}  // namespace

QString DocumentTextFile::folder() {
    const QString path = ProgramFolders::userFolder() + QStringLiteral("/Documents");
    QDir().mkpath(path);
    return path;
}

QString DocumentTextFile::write(const QString& documentPath, int chapter, const QString& text,
                                QString* error) {
    const QString source = QFileInfo(documentPath).absoluteFilePath();
    const QByteArray key = source.toUtf8() + '\n' +
                           QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '\n' +
                           QByteArray::number(chapter);
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(kHashDigits));
    QString name = ArticleText::MakeTitle(QFileInfo(source).completeBaseName(), kNameLength);
    if (name.isEmpty()) {
        name = QStringLiteral("document");
    }
    if (chapter > 0) {
        name += QStringLiteral(" %1").arg(chapter, 2, 10, QLatin1Char('0'));
    }
    const QString path =
        folder() + QLatin1Char('/') + name + QLatin1Char(' ') + hash + QStringLiteral(".txt");
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(lines.toUtf8()) < 0 || !file.commit()) {
        *error = QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString();
        UtilsClass::WriteDebugLine(*error);
        return QString();
    }
    return path;
}

bool DocumentTextFile::isOurs(const QString& path) {
    const QFileInfo file(path);
    return !path.isEmpty() && file.absoluteDir() == QDir(folder());
}

void DocumentTextFile::removeForArticle(const QString& articleText) {
    if (!ArticleText::IsFileArticle(articleText)) {
        return;
    }
    const QString path = ArticleText::FileArticlePath(articleText);
    if (isOurs(path) && QFileInfo::exists(path) && !QFile::remove(path)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Could not remove ") + path);
    }
}
