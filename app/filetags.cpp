#include "app/filetags.h"

#include <QDate>

#include "platform/about/programversion.h"

AudioTags MakeFileTags(const QString& title, const QString& artist, const QString& album, int track,
                       int trackCount) {
    AudioTags tags;
    tags.title = title;
    tags.album = album;
    tags.track = track;
    tags.trackCount = trackCount;
    tags.artist = artist;
    tags.year = QString::number(QDate::currentDate().year());
    tags.comment = ProgramVersion::nameAndVersion();
    return tags;
}
