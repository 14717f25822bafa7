#include "app/tellafriend.h"

namespace {

// Characters that would end the address's fields or its quoting.
QString WithoutSeparators(QString text) {
    text.remove(QLatin1Char('\''));
    text.remove(QLatin1Char('&'));
    return text;
}

}  // namespace

QString TellAFriend::Subject() {
    return QStringLiteral("Quillsong MP3");
}

QString TellAFriend::Body(const QString& webSite) {
    return QStringLiteral("Take a look at Quillsong MP3 at ") + webSite + QStringLiteral(".  ") +
           QStringLiteral("Quillsong MP3 lets you listen to text you copy to the clipboard. ") +
           QStringLiteral("It uses Text to Speech technology which actually synthesizes ") +
           QStringLiteral("natural sounding speech from ordinary text.  Listen to your ") +
           QStringLiteral("email, news, any text you want.  You can also convert your text ") +
           QStringLiteral("to wav or MP3 files so you can listen later.  ") +
           QStringLiteral("Try it yourself: ") + webSite;
}

QString TellAFriend::MailCommand(const QString& subject, const QString& body) {
    QString text = WithoutSeparators(body);
    if (text.size() > kBodyLength) {
        text = text.left(kBodyLength) + QStringLiteral("...");
    }
    const QString command = QStringLiteral("mailto:?Subject=") + WithoutSeparators(subject) +
                            QStringLiteral("&Body=") + text;
    return command.left(kCommandLength);
}
