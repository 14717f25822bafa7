#include "app/links.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "platform/shell/programfolders.h"
#include "platform/shell/shellopen.h"
#include "platform/shell/usermessage.h"

namespace {

const QString kReadme = QStringLiteral("README.md");
const QString kHelpIndex = QStringLiteral("help/index.html");
const QString kMp3PlayersPage = QStringLiteral("help/readtofile.html");
// The section of that page on phones and portable players.
const QString kMp3PlayersSection = QStringLiteral("players");
const QString kWebSite = QStringLiteral("https://quillsong.invalid/");
const QString kSupportAddress = QStringLiteral("support@quillsong.invalid");

}  // namespace

QString Links::fileName(Page page) {
    switch (page) {
        case Page::Contents:
            return kHelpIndex;
        case Page::Mp3Players:
            return kMp3PlayersPage;
        case Page::HomePage:
        case Page::Voices:
        case Page::SpeechEngines:
            break;
    }
    return kReadme;
}

QString Links::path(Page page) {
    // The README lies in the data folder once installed, and beside it in the source tree.
    const QString data = ProgramFolders::programFolder();
    const QString name = fileName(page);
    const QString candidates[] = {
        data + QLatin1Char('/') + name,
        QFileInfo(QFileInfo(data).canonicalFilePath()).dir().filePath(name)};
    for (const QString& file : candidates) {
        if (QFileInfo(file).isFile()) {
            return QFileInfo(file).absoluteFilePath();
        }
    }
    return {};
}

bool Links::open(Page page) {
    const QString file = path(page);
    if (file.isEmpty()) {
        UserMessage::showError(QStringLiteral("The page ") + fileName(page) +
                               QStringLiteral(" is not in ") +
                               QDir::toNativeSeparators(ProgramFolders::programFolder()) +
                               QStringLiteral(": the program's documents are not installed."));
        return false;
    }
    QUrl address = QUrl::fromLocalFile(file);
    if (page == Page::Mp3Players) {
        address.setFragment(kMp3PlayersSection);
    }
    if (!ShellOpen::openAddress(address.toString(QUrl::FullyEncoded))) {
        UserMessage::showError(QStringLiteral("Cannot open ") + QDir::toNativeSeparators(file) +
                               QStringLiteral(": the desktop has no web browser for it."));
        return false;
    }
    return true;
}

QString Links::webSite() {
    return kWebSite;
}

QString Links::supportAddress() {
    return kSupportAddress;
}

bool Links::openMail(const QString& mailto, const QString& purpose) {
    if (!ShellOpen::openAddress(mailto)) {
        UserMessage::showError(QStringLiteral("Cannot open the e-mail message ") + purpose +
                               QStringLiteral(": the desktop has no e-mail program."));
        return false;
    }
    return true;
}
