#pragma once

#include <QMap>
#include <QRegularExpression>
#include <QString>

#include "tests/audio/audiotools.h"

// The ID3v2 frames of an MP3 as id3v2 -l lists them: the frame's id to its text as shown
// ("TRCK" → "3/12", "COMM" → "()[eng]: the comment").
inline QMap<QString, QString> Id3Frames(const QString& mp3) {
    static const QRegularExpression kFrame(QStringLiteral("^([A-Z0-9]{4}) \\(.*?\\): (.*)$"));
    QMap<QString, QString> frames;
    const QString listed = audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), mp3});
    for (const QString& line : listed.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = kFrame.match(line.trimmed());
        if (match.hasMatch()) {
            frames.insert(match.captured(1), match.captured(2));
        }
    }
    return frames;
}
