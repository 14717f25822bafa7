#include "articles/articlestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>

#include "articles/articletext.h"
#include "text/textfile.h"

namespace {

constexpr char16_t kEndOfFile = 26;
// QSaveFile names a temporary it must name after the file, a dot and six letters or digits; the
// copies of a damaged store (".bad", ".bad2") never have six.
constexpr int kTemporarySuffixLength = 6;

// Appends text with its line feeds as CR LF, in one pass: QString::replace moves the rest of
// the text for each batch of line feeds, which takes seconds for a text of 50 MB.
void AppendWithCrLf(QString& out, QStringView text) {
    qsizetype from = 0;
    for (qsizetype lf = text.indexOf(QLatin1Char('\n')); lf >= 0;
         lf = text.indexOf(QLatin1Char('\n'), from)) {
        out += text.sliced(from, lf - from);
        out += QLatin1String("\r\n");
        from = lf + 1;
    }
    out += text.sliced(from);
}

}  // namespace

const QString ArticleStore::kStartLine =
    QStringLiteral("||||||Quillsong MP3 Start of Article||||||");
const QString ArticleStore::kEndLine = QStringLiteral("||||||Quillsong MP3 End of Article||||||");

QByteArray ArticleStore::Format(const QList<StoredArticle>& articles) {
    QString out;
    const QString crlf = QStringLiteral("\r\n");
    for (const StoredArticle& article : articles) {
        QString text = article.Text;
        if (text.contains(kEndLine)) {
            // A line of text that reads as the end line would end the article there and make
            // the rest of the file unreadable (a store file loaded as an article, or a line
            // feed inside a line): a blank after it keeps it text.
            QStringList lines = text.split(QLatin1Char('\n'));
            for (QString& line : lines) {
                if (line == kEndLine) {
                    line += QLatin1Char(' ');
                }
            }
            text = lines.join(QLatin1Char('\n'));
        }
        out += kStartLine + crlf + article.Title + QLatin1Char('|') + article.Voice +
               QLatin1Char('|') + QString::number(ArticleText::LineCount(article.Text)) + crlf;
        AppendWithCrLf(out, text);
        out += crlf + kEndLine + crlf;
    }
    // A character 26 would end the file for its reader and lose every article after it.
    out.remove(QChar(kEndOfFile));
    return out.toUtf8();
}

bool ArticleStore::Write(const QString& fileName, const QList<StoredArticle>& articles,
                         QString* error) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray bytes = Format(articles);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QStringList ArticleStore::RemoveLeftovers(const QString& fileName, QStringList* failures) {
    const QFileInfo store(fileName);
    const QRegularExpression leftover(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(store.fileName()) +
        QStringLiteral("\\.[A-Za-z0-9]{%1}").arg(kTemporarySuffixLength)));
    QStringList removed;
    const QDir folder = store.absoluteDir();
    const QStringList candidates =
        folder.entryList({store.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : candidates) {
        if (!leftover.match(name).hasMatch()) {
            continue;
        }
        QFile file(folder.filePath(name));
        if (file.remove()) {
            removed << file.fileName();
        } else {
            *failures << file.fileName() + QStringLiteral(": ") + file.errorString();
        }
    }
    return removed;
}

void ArticleStore::SplitProperties(const QString& line, QString* title, QString* voice,
                                   QString* count) {
    QStringList parts = line.split(QLatin1Char('|'));
    // The line ends with the count the writer always puts there, and voice names hold no "|":
    // the fields beyond three belong to the title, which is kept whole. A line of three fields,
    // or one that does not end with a count, reads as it always did.
    const QString& last = parts.constLast();
    const bool counted = !last.isEmpty() && std::all_of(last.cbegin(), last.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (parts.size() > 3 && counted) {
        *count = parts.takeLast();
        *voice = parts.takeLast();
        *title = parts.join(QLatin1Char('|'));
        return;
    }
    *title = parts.value(0);
    *voice = parts.value(1);
    *count = parts.value(2);
}

ArticleStore::ReadResult ArticleStore::Parse(const QStringList& lines) {
    ReadResult result;
    result.Opened = true;
    const qsizetype n = lines.size();
    qsizetype i = 0;
    while (i < n) {
        if (lines[i] != kStartLine) {
            result.Malformed = true;  // something else where an article should start
            break;
        }
        ++i;
        StoredArticle article;
        if (i < n) {
            QString count;  // informative only: the end line ends the text
            SplitProperties(lines[i++], &article.Title, &article.Voice, &count);
        }
        QStringList text;
        bool ended = false;
        while (i < n && !ended) {
            ended = lines[i] == kEndLine;
            if (!ended) {
                text << lines[i];
            }
            ++i;
        }
        result.Malformed = result.Malformed || !ended;  // the file stops inside the article
        article.Text = text.join(QLatin1Char('\n'));
        result.Articles << article;
    }
    return result;
}

ArticleStore::ReadResult ArticleStore::Read(const QString& fileName) {
    QStringList lines;
    QString error;
    if (!TextFile::readLines(fileName, &lines, &error)) {
        ReadResult result;
        if (QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink()) {
            result.Error = error;
        }
        return result;
    }
    return Parse(lines);
}
