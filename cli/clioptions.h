#pragma once

#include <QString>
#include <QStringList>

// What the command line asked for.
struct CliOptions {
    // The writing pace is N in 256ths of real time, held in 16 bits: 255 times is the most.
    static constexpr int kMaxSpeed = 255;

    QString voice;  // empty: the program's default voice
    QString format = QStringLiteral("wav");
    int bitRate = 32;  // MP3 or Opus, as --format says
    int quality = 2;   // Ogg Vorbis quality level
    QString outDir = QStringLiteral(".");
    QString title;  // of standard input; files are named after themselves
    bool singleFile = false;
    bool subtitles = false;  // an SRT and an LRC file beside each audio file
    bool listVoices = false;
    int speed = 0;       // times real time when writing; 0 unpaced
    QStringList inputs;  // "-" or none: standard input
    QString lexicon;     // a pronunciation lexicon file instead of the user's own

    // Fills the options from the arguments; false with error set on bad usage, false with
    // helpShown set when --help or --version was answered.
    static bool Parse(const QStringList& arguments, CliOptions& options, QString& error,
                      bool& helpShown);
};
