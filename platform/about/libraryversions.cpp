#include "platform/about/libraryversions.h"

#include "platform/speechapi/espeakengine.h"

#include <flite/flite_version.h>
#include <lame/lame.h>

#include <QtGlobal>

QList<LibraryVersions::Library> LibraryVersions::all() {
    // eSpeak NG and LAME tell the version of the library actually loaded; Flite only has the
    // one it was built against.
    return {
        {QStringLiteral("Qt"), QString::fromLatin1(qVersion()),
         QStringLiteral("GNU LGPL version 3"), QStringLiteral("https://www.qt.io/")},
        {QStringLiteral("eSpeak NG"), EspeakEngine::libraryVersion(),
         QStringLiteral("GNU GPL version 3 or later"),
         QStringLiteral("https://github.com/espeak-ng/espeak-ng")},
        {QStringLiteral("Flite"), QStringLiteral(FLITE_PROJECT_VERSION),
         QStringLiteral("BSD-like (free use with its copyright notice)"),
         QStringLiteral("http://cmuflite.org/")},
        {QStringLiteral("LAME"), QString::fromLatin1(get_lame_version()),
         QStringLiteral("GNU LGPL version 2 or later"),
         QStringLiteral("https://lame.sourceforge.io/")},
    };
}
