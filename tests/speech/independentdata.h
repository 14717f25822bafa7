#pragma once

// What the speech tests compare the engines with, found without the code under test: the voices
// that the espeak-ng command lists, and the words of a text.
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <utility>
#include <vector>

namespace independent {

// The voice files of "espeak-ng --voices" (its fifth column, e.g. "gmw/en-US"), sorted; empty
// when the command cannot run.
inline QStringList espeakVoiceFiles() {
    QProcess espeak;
    espeak.start(QStringLiteral("espeak-ng"), {QStringLiteral("--voices")});
    if (!espeak.waitForFinished(30000)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(espeak.readAllStandardOutput()).split(QLatin1Char('\n'));
    QStringList files;
    for (const QString& line : lines.mid(1)) {  // the first line names the columns
        const QStringList columns = line.simplified().split(QLatin1Char(' '));
        if (columns.size() >= 5) {
            files << columns[4];
        }
    }
    files.sort();
    return files;
}

// The start and length of every word of text: runs of letters and digits.
inline std::vector<std::pair<int, int>> words(const QString& text) {
    static const QRegularExpression word(QStringLiteral("\\w+"));
    std::vector<std::pair<int, int>> found;
    for (const auto& match : word.globalMatch(text)) {
        found.emplace_back(int(match.capturedStart()), int(match.capturedLength()));
    }
    return found;
}

}  // namespace independent
