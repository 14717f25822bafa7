#include "app/subtitlewriter.h"

#include <QFileInfo>
#include <QSaveFile>

#include "platform/shell/debuglog.h"

namespace {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr int64_t kMsPerHundredth = 10;

QString BesideAudio(const QString& audioPath, const char* suffix) {
    const QFileInfo audio(audioPath);
    const QString base =
        audio.suffix().isEmpty() ? audioPath : audioPath.chopped(audio.suffix().size() + 1);
    return base + QLatin1Char('.') + QLatin1String(suffix);
}

// "hh:mm:ss,mmm"
QString SrtTime(int64_t ms) {
    ms = qMax<int64_t>(0, ms);
    return QStringLiteral("%1:%2:%3,%4")
        .arg(ms / kMsPerHour, 2, 10, QLatin1Char('0'))
        .arg(ms % kMsPerHour / kMsPerMinute, 2, 10, QLatin1Char('0'))
        .arg(ms % kMsPerMinute / kMsPerSecond, 2, 10, QLatin1Char('0'))
        .arg(ms % kMsPerSecond, 3, 10, QLatin1Char('0'));
}

// "mm:ss.xx"; the minutes go on past 59.
QString LrcTime(int64_t ms) {
    ms = qMax<int64_t>(0, ms);
    return QStringLiteral("%1:%2.%3")
        .arg(ms / kMsPerMinute, 2, 10, QLatin1Char('0'))
        .arg(ms % kMsPerMinute / kMsPerSecond, 2, 10, QLatin1Char('0'))
        .arg(ms % kMsPerSecond / kMsPerHundredth, 2, 10, QLatin1Char('0'));
}

// Players read "<" and a name after it as a formatting tag and drop it with what it encloses,
// and a backslash before N, n or h as a line break or a hard space. An invisible word joiner
// after the "<" or the backslash keeps every word as text, and shows as nothing.
QString CueText(const QString& text) {
    static const QChar kWordJoiner(0x2060);
    static const QString kEscapedLetters = QStringLiteral("Nnh");
    QString cue;
    cue.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        cue += text[i];
        const bool tag = text[i] == QLatin1Char('<');
        const bool escape = text[i] == QLatin1Char('\\') && i + 1 < text.size() &&
                            kEscapedLetters.contains(text[i + 1]);
        if (tag || escape) {
            cue += kWordJoiner;
        }
    }
    return cue;
}

QString WriteFile(const QString& path, const QByteArray& content) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit()) {
        return {};
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    return QStringLiteral("%1 could not be saved: %2").arg(path, reason);
}

}  // namespace

QString SubtitleWriter::SrtPath(const QString& audioPath) {
    return BesideAudio(audioPath, "srt");
}

QString SubtitleWriter::LrcPath(const QString& audioPath) {
    return BesideAudio(audioPath, "lrc");
}

QByteArray SubtitleWriter::Srt(const QList<SubtitleCue>& cues) {
    QString text;
    for (qsizetype i = 0; i < cues.size(); ++i) {
        text += QStringLiteral("%1\n%2 --> %3\n%4\n\n")
                    .arg(i + 1)
                    .arg(SrtTime(cues[i].startMs), SrtTime(cues[i].endMs), CueText(cues[i].text));
    }
    return text.toUtf8();
}

QByteArray SubtitleWriter::Lrc(const QString& title, const QList<SubtitleCue>& cues) {
    // A line break in the title would end the tag early.
    QString text = QStringLiteral("[ti:%1]\n").arg(title.simplified());
    for (const SubtitleCue& cue : cues) {
        text += QStringLiteral("[%1]%2\n").arg(LrcTime(cue.startMs), cue.text);
    }
    return text.toUtf8();
}

QString SubtitleWriter::Write(const QString& audioPath, const QString& title,
                              const QList<SubtitleCue>& cues) {
    QString failure = WriteFile(SrtPath(audioPath), Srt(cues));
    if (failure.isEmpty()) {
        failure = WriteFile(LrcPath(audioPath), Lrc(title, cues));
    }
    if (!failure.isEmpty()) {
        debugLog(failure);
        // One without the other is no pair, and files of an earlier audio file of that name
        // would not match this one.
        Remove(audioPath);
    }
    return failure;
}

void SubtitleWriter::Remove(const QString& audioPath) {
    for (const QString& path : {SrtPath(audioPath), LrcPath(audioPath)}) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            debugLog(QStringLiteral("%1 could not be removed: %2").arg(path, file.errorString()));
        }
    }
}
