#pragma once

#include <QList>
#include <QString>

// The libraries the program runs on, with the versions loaded and their licences.
class LibraryVersions {
  public:
    struct Library {
        QString name;
        QString version;
        QString licence;
        QString homePage;
    };
    // Qt, eSpeak NG, Flite and LAME, in that order.
    static QList<Library> all();
};
