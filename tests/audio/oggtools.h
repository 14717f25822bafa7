#pragma once

#include <QString>
#include <map>

// Ogg Vorbis and Opus files as their standard tools see them.
enum class OggFormat { Vorbis, Opus };

// The file decoded to a wave beside it by the format's standard decoder (oggdec or opusdec);
// opusdec gives the rate the file records as the original one.
QString OggDecoded(OggFormat format, const QString& file);

// The Vorbis comments of the file, as the format's standard tool lists them.
std::multimap<QString, QString> OggComments(OggFormat format, const QString& file);
