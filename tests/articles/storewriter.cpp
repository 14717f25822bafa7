// Writes the article store over and over, as the program's exports do, until it is killed:
//   quill_store_writer <store file> <first generation>
// Before each write it prints "writing <generation>", after it "written <generation>", each line
// sent at once, so whoever kills it knows which generations the store may hold.
#include <sys/prctl.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <csignal>
#include <cstdio>

#include "articles/articlestore.h"
#include "tests/articles/storegenerations.h"

namespace {

// Enough for any test; the writer never outlives one that forgets it.
constexpr int kMostGenerations = 100000;

void Say(const char* what, int generation) {
    const QByteArray line = QByteArray(what) + ' ' + QByteArray::number(generation) + '\n';
    if (::write(STDOUT_FILENO, line.constData(), size_t(line.size())) != line.size()) {
        std::perror("quill_store_writer: stdout");
        std::_Exit(3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quill_store_writer <store file> <first generation>\n");
        return 2;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // ends with the test that started it
    const QString store = QString::fromLocal8Bit(argv[1]);
    const int first = QByteArray(argv[2]).toInt();
    for (int generation = first; generation < first + kMostGenerations; ++generation) {
        const QList<StoredArticle> articles = storegenerations::Articles(generation);
        Say("writing", generation);
        QString error;
        if (!ArticleStore::Write(store, articles, &error)) {
            std::fprintf(stderr, "quill_store_writer: %s\n", qPrintable(error));
            return 1;
        }
        Say("written", generation);
    }
    return 0;
}
