#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

#include "audio/audiotags.h"

// The tags as Vorbis comments (field name, UTF-8 value), as Ogg Vorbis and Opus files carry
// them: TITLE, ALBUM, TRACKNUMBER, TRACKTOTAL, ARTIST, DATE, COMMENT. Empty texts and zero
// numbers are left out.
QList<std::pair<QByteArray, QByteArray>> VorbisComments(const AudioTags& tags);
