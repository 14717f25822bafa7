#include "audio/vorbiscomments.h"

QList<std::pair<QByteArray, QByteArray>> VorbisComments(const AudioTags& tags) {
    QList<std::pair<QByteArray, QByteArray>> comments;
    const auto addText = [&comments](const char* name, const QString& value) {
        if (!value.isEmpty()) {
            comments.append({QByteArray(name), value.toUtf8()});
        }
    };
    const auto addNumber = [&comments](const char* name, int value) {
        if (value > 0) {
            comments.append({QByteArray(name), QByteArray::number(value)});
        }
    };
    addText("TITLE", tags.title);
    addText("ALBUM", tags.album);
    addNumber("TRACKNUMBER", tags.track);
    addNumber("TRACKTOTAL", tags.trackCount);
    addText("ARTIST", tags.artist);
    addText("DATE", tags.year);
    addText("COMMENT", tags.comment);
    return comments;
}
