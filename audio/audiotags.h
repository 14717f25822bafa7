#pragma once

#include <QString>

// What players show of an audio file besides its sound: ID3v2 frames in an MP3, Vorbis
// comments in Ogg Vorbis and Opus. An empty text or a zero number is left out.
struct AudioTags {
    QString title;
    QString album;       // the book's or list's title when one list goes to several files
    int track = 0;       // from 1, when the list is written as several files
    int trackCount = 0;  // the number of files the list is written as
    QString artist;      // the voice's name
    QString year;        // the year the file was made, four digits
    QString comment;     // names the program that made the file
};
