#pragma once

// Reading the subtitle and lyrics files the program writes, and finding in decoded speech where
// its second sentence starts, for the tests of the window's session and of the converter.
#include <gtest/gtest.h>

#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/subtitlewriter.h"

inline QStringList Texts(const QList<SubtitleCue>& cues) {
    QStringList texts;
    for (const SubtitleCue& cue : cues) {
        texts << cue.text;
    }
    return texts;
}

// The cues of an SRT file; a block that is not "number, times, text" fails the test.
inline QList<SubtitleCue> ReadSrt(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n\n")));
    static const QRegularExpression time(QStringLiteral(
        "^(\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d) --> (\\d\\d):(\\d\\d):(\\d\\d),(\\d\\d\\d)$"));
    QList<SubtitleCue> cues;
    const QStringList blocks = text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (const QString& block : blocks) {
        const QStringList lines = block.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.size(), 3) << block.toStdString();
        if (lines.size() != 3) {
            continue;
        }
        EXPECT_EQ(lines[0], QString::number(cues.size() + 1));
        const QRegularExpressionMatch m = time.match(lines[1]);
        EXPECT_TRUE(m.hasMatch()) << lines[1].toStdString();
        auto ms = [&m](int first) {
            return ((m.captured(first).toLongLong() * 60 + m.captured(first + 1).toLongLong()) *
                        60 +
                    m.captured(first + 2).toLongLong()) *
                       1000 +
                   m.captured(first + 3).toLongLong();
        };
        cues.append({ms(1), ms(5), lines[2]});
    }
    return cues;
}

// The LRC lines after its title tag, as (ms, text).
inline QList<SubtitleCue> ReadLrc(const QString& path, QString* title) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    EXPECT_EQ(lines.takeLast(), QString()) << "the last line ends";
    static const QRegularExpression titleTag(QStringLiteral("^\\[ti:(.*)\\]$"));
    static const QRegularExpression line(
        QStringLiteral("^\\[(\\d\\d):(\\d\\d)\\.(\\d\\d)\\](.*)$"));
    QList<SubtitleCue> cues;
    EXPECT_FALSE(lines.isEmpty());
    if (lines.isEmpty()) {
        return cues;
    }
    const QRegularExpressionMatch head = titleTag.match(lines.takeFirst());
    EXPECT_TRUE(head.hasMatch());
    *title = head.captured(1);
    for (const QString& text : lines) {
        const QRegularExpressionMatch m = line.match(text);
        EXPECT_TRUE(m.hasMatch()) << text.toStdString();
        const int64_t ms = (m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 1000 +
                           m.captured(3).toLongLong() * 10;
        cues.append({ms, ms, m.captured(4)});
    }
    return cues;
}

// Where the second of two sentences starts in the audio: the first loud sample after the
// longest quiet stretch between the first and the last loud sample.
inline int64_t SecondSentenceMs(const std::vector<int16_t>& samples, int rate) {
    constexpr int kQuiet = 400;  // of 32767: the engine's breath between words stays below
    size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < kQuiet) {
        ++first;
    }
    size_t last = samples.size();
    while (last > first && std::abs(samples[last - 1]) < kQuiet) {
        --last;
    }
    size_t bestEnd = 0;
    size_t bestLength = 0;
    size_t runStart = first;
    for (size_t i = first; i < last; ++i) {
        if (std::abs(samples[i]) >= kQuiet) {
            if (i - runStart > bestLength) {
                bestLength = i - runStart;
                bestEnd = i;
            }
            runStart = i + 1;
        }
    }
    return int64_t(bestEnd) * 1000 / rate;
}
