#pragma once

#include <QString>

// Where the program's links lead, kept in one place. The pages are the documents shipped with
// the program's data (its help pages and its README), opened in the user's browser; the web
// address and the support address are what a message to someone else carries.
class Links {
  public:
    enum class Page { Contents, HomePage, Mp3Players, Voices, SpeechEngines };

    // The page's file below the program's data folder ("help/index.html", "README.md").
    static QString fileName(Page page);
    // The page's full path, or empty when it is not installed.
    static QString path(Page page);
    // Opens the page in the user's browser; says what went wrong, naming the page, when it is
    // missing or nothing can open it.
    static bool open(Page page);

    // The program's web address, given to friends.
    static QString webSite();
    // The e-mail address of the program's support.
    static QString supportAddress();
    // Opens a "mailto:" address in the user's e-mail program; says so, naming what it is for,
    // when nothing can open it.
    static bool openMail(const QString& mailto, const QString& purpose);
};
