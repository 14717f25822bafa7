#include "tests/audio/oggtools.h"

#include <QFile>

#include "tests/audio/audiotools.h"

using audiotools::Run;

QString OggDecoded(OggFormat format, const QString& file) {
    const QString wav = file + QStringLiteral(".decoded.wav");
    QFile::remove(wav);
    if (format == OggFormat::Vorbis) {
        Run(QStringLiteral("oggdec"), {QStringLiteral("--quiet"), QStringLiteral("-o"), wav, file});
    } else {
        Run(QStringLiteral("opusdec"), {QStringLiteral("--quiet"), file, wav});
    }
    return wav;
}

std::multimap<QString, QString> OggComments(OggFormat format, const QString& file) {
    std::multimap<QString, QString> comments;
    if (format == OggFormat::Vorbis) {
        for (const QString& line :
             Run(QStringLiteral("vorbiscomment"), {QStringLiteral("-l"), file})
                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            comments.emplace(line.left(equals), line.mid(equals + 1));
        }
        return comments;
    }
    // opusinfo lists them indented, after this line, until the stream's own details.
    bool inComments = false;
    for (const QString& line :
         Run(QStringLiteral("opusinfo"), {file}).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QStringLiteral("User comments section follows"))) {
            inComments = true;
        } else if (inComments && line.startsWith(QLatin1Char('\t'))) {
            const QString field = line.mid(1);
            const qsizetype equals = field.indexOf(QLatin1Char('='));
            comments.emplace(field.left(equals), field.mid(equals + 1));
        } else {
            inComments = false;
        }
    }
    return comments;
}
