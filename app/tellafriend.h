#pragma once

#include <QString>

// The "Tell a Friend" message: a "mailto:" address with no recipient, carrying a subject and a
// short invitation.
class TellAFriend {
  public:
    // A longer body is cut to this many characters and "..." is added.
    static constexpr int kBodyLength = 100;
    // The whole address handed to the desktop is cut to this many characters.
    static constexpr int kCommandLength = 1000;

    static QString Subject();
    // The invitation, naming the program's web address twice.
    static QString Body(const QString& webSite);
    // "mailto:?Subject=...&Body=..." with every "'" and "&" removed from subject and body, the
    // body cut, and the whole cut.
    static QString MailCommand(const QString& subject, const QString& body);
};
