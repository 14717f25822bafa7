#pragma once

#include <QString>

#include "audio/audiotags.h"

// The tags of a file a reading writes: what the reading knows of it, with the year the file is
// made and the program that made it. album, track and trackCount belong to a list written as
// several files only; a file alone has none.
AudioTags MakeFileTags(const QString& title, const QString& artist, const QString& album = {},
                       int track = 0, int trackCount = 0);
