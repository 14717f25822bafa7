// The article store killed at random moments while it is written: the file is always the old
// store or the new one, whole.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstdio>

#include "articles/articlestore.h"
#include "tests/articles/storegenerations.h"
#include "tests/common/printers.h"

namespace {

constexpr int kRuns = 50;
constexpr quint32 kSeed = 20261207;
// The kill comes this long at most after the writer began its first write: several writes.
constexpr int kMostDelayUs = 400000;
constexpr int kWaitMs = 30000;

bool SameArticles(const QList<StoredArticle>& read, const QList<StoredArticle>& expected) {
    if (read.size() != expected.size()) {
        return false;
    }
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (read[i].Title != expected[i].Title || read[i].Voice != expected[i].Voice ||
            read[i].Text != expected[i].Text) {
            return false;
        }
    }
    return true;
}

// The last "writing" and "written" generations the writer announced.
struct Announced {
    int writing = -1;
    int written = -1;
};

Announced Parse(const QByteArray& output) {
    Announced announced;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2) {
            continue;
        }
        if (words[0] == "writing") {
            announced.writing = words[1].toInt();
        } else if (words[0] == "written") {
            announced.written = words[1].toInt();
        }
    }
    return announced;
}

}  // namespace

TEST(ArticleStoreKill, AKillAtAnyMomentLeavesTheOldOrTheNewStoreWhole) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString store = dir.filePath(QStringLiteral("QSExport.txt"));
    QString error;
    int onDisk = 0;
    ASSERT_TRUE(ArticleStore::Write(store, storegenerations::Articles(onDisk), &error))
        << error.toStdString();
    std::printf("Kill test seed %u, %d runs, store of %d articles and more\n", kSeed, kRuns,
                storegenerations::kArticles);
    QRandomGenerator random(kSeed);
    int checked = 0;
    int damaged = 0;
    int duringWrite = 0;
    int leftovers = 0;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(run);
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(QUILL_STORE_WRITER), {store, QString::number(onDisk + 1)});
        ASSERT_TRUE(writer.waitForStarted(kWaitMs));
        // The first write has begun: from here any moment may be the kill's.
        QByteArray output;
        while (!output.contains("writing")) {
            ASSERT_TRUE(writer.waitForReadyRead(kWaitMs)) << "the writer announces its writes";
            output += writer.readAllStandardOutput();
        }
        QThread::usleep(random.bounded(kMostDelayUs));
        ASSERT_EQ(::kill(pid_t(writer.processId()), SIGKILL), 0);
        ASSERT_TRUE(writer.waitForFinished(kWaitMs));
        EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit) << "killed, not ended on its own";
        output += writer.readAllStandardOutput();
        const Announced announced = Parse(output);
        const bool midWrite = announced.writing > announced.written;
        duringWrite += midWrite ? 1 : 0;
        // Written: that generation, unless the next had been renamed in before its line went.
        const int old = announced.written >= 0 ? announced.written : onDisk;
        const ArticleStore::ReadResult read = ArticleStore::Read(store);
        ++checked;
        int found = -1;
        if (read.Opened && !read.Malformed) {
            if (SameArticles(read.Articles, storegenerations::Articles(old))) {
                found = old;
            } else if (midWrite &&
                       SameArticles(read.Articles, storegenerations::Articles(announced.writing))) {
                found = announced.writing;
            }
        }
        if (found < 0) {
            ++damaged;
            ADD_FAILURE() << "the store is neither generation " << old << " nor "
                          << announced.writing << " whole: opened " << read.Opened << ", malformed "
                          << read.Malformed << ", " << read.Articles.size() << " articles";
        } else {
            onDisk = found;
        }
        // A temporary named before the kill may be left; nothing else is.
        const QStringList others =
            QDir(dir.path())
                .entryList(QDir::Files | QDir::Hidden, QDir::Name)
                .filter(QRegularExpression(QStringLiteral("^(?!QSExport\\.txt$)")));
        QStringList failures;
        const QStringList removed = ArticleStore::RemoveLeftovers(store, &failures);
        leftovers += int(removed.size());
        EXPECT_EQ(failures, QStringList());
        EXPECT_EQ(others.size(), removed.size()) << others.join(QLatin1Char(' ')).toStdString();
    }
    std::printf(
        "Kill test: %d runs, %d stores checked, %d stores damaged, %d kills during a write, "
        "%d temporaries left and removed, store at generation %d\n",
        kRuns, checked, damaged, duringWrite, leftovers, onDisk);
    RecordProperty("runs", kRuns);
    RecordProperty("storesChecked", checked);
    RecordProperty("storesDamaged", damaged);
    RecordProperty("killsDuringAWrite", duringWrite);
    EXPECT_EQ(checked, kRuns);
    EXPECT_EQ(damaged, 0);
    EXPECT_GT(duringWrite, kRuns / 2) << "most kills land inside a write";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("QSExport.txt")});
}

TEST(ArticleStoreKill, TemporariesLeftBesideTheStoreAreRemovedAndNothingElse) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString store = dir.filePath(QStringLiteral("QSExport.txt"));
    const QStringList kept{
        QStringLiteral("QSExport.txt"),       QStringLiteral("QSExport.txt.bad"),
        QStringLiteral("QSExport.txt.bad2"),  QStringLiteral("QSExport.txt.bad99"),
        QStringLiteral("QSExport.txt.Ab3dE"), QStringLiteral("QSExport.txt.Ab3dEfG"),
        QStringLiteral("Other.txt.Ab3dEf"),   QStringLiteral("QSExport.txt.Ab-dEf")};
    const QStringList leftovers{QStringLiteral("QSExport.txt.Ab3dEf"),
                                QStringLiteral("QSExport.txt.zzzzzz")};
    for (const QString& name : kept + leftovers) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("||||||Quillsong MP3 Start of Article||||||\r\n");
    }
    QStringList failures;
    QStringList removed = ArticleStore::RemoveLeftovers(store, &failures);
    removed.sort();
    EXPECT_EQ(removed, (QStringList{dir.filePath(leftovers[0]), dir.filePath(leftovers[1])}));
    EXPECT_EQ(failures, QStringList());
    QStringList expected = kept;
    expected.sort();
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left, expected);
}
