// The article store file: read as the program reads it at start, then written back and read
// again, which must give the same articles (saving the list loses nothing that was read; a text
// line that reads as the end line is saved with a blank after it).
#include <QString>
#include <QStringList>

#include "articles/articlestore.h"
#include "fuzz/scratchfolder.h"

namespace {

QString savedText(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line == ArticleStore::kEndLine) {
            line += QLatin1Char(' ');
        }
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ScratchFolder& folder = ScratchFolder::instance();
    const QString path = folder.write(QStringLiteral("articles.dat"), data, size);
    const ArticleStore::ReadResult read = ArticleStore::Read(path);
    FUZZ_CHECK(read.Opened && read.Error.isEmpty());

    const QString copy = folder.path(QStringLiteral("copy.dat"));
    QString error;
    FUZZ_CHECK(ArticleStore::Write(copy, read.Articles, &error));
    const ArticleStore::ReadResult again = ArticleStore::Read(copy);
    FUZZ_CHECK(again.Opened && !again.Malformed);
    FUZZ_CHECK(again.Articles.size() == read.Articles.size());
    for (qsizetype i = 0; i < read.Articles.size(); ++i) {
        FUZZ_CHECK(again.Articles[i].Title == read.Articles[i].Title);
        FUZZ_CHECK(again.Articles[i].Voice == read.Articles[i].Voice);
        FUZZ_CHECK(again.Articles[i].Text == savedText(read.Articles[i].Text));
    }
    return 0;
}
