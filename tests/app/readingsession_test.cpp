// The reading session on its own, without any widget: a list of articles read into files with
// the real engines and encoder, checked with soxi and mpg123; the walk's rules when articles
// lack titles, are removed after reading, or are stopped; and words read aloud mapped back into
// the article's text.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/readingsession.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/audio/audiotools.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

using namespace audiotools;

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");
constexpr int kEndMs = 120000;

// A list in memory that records what the session did to it.
class ListQueue : public ReadingQueue {
  public:
    void add(const QString& title, const QString& text, const QString& voice = kVoice) {
        ReadingArticle article;
        article.key = quintptr(m_articles.size() + m_removed.size() + 1);
        article.title = title;
        article.text = text;
        article.voice = voice;
        m_articles << article;
    }
    int count() const override { return int(m_articles.size()); }
    ReadingArticle at(int index) const override { return m_articles.at(index); }
    int indexOf(quintptr key) const override {
        for (int i = 0; i < m_articles.size(); ++i) {
            if (m_articles[i].key == key) {
                return i;
            }
        }
        return -1;
    }
    void setLocked(quintptr key, bool locked) override {
        locked ? void(m_locked.insert(key)) : void(m_locked.remove(key));
    }
    void unlockAll() override { m_locked.clear(); }
    void remove(quintptr key) override {
        m_removed << m_articles.takeAt(indexOf(key)).title;
        ++m_unpurged;
    }
    void purgeRemoved() override { m_unpurged = 0; }

    ReadingArticle& operator[](int index) { return m_articles[index]; }
    QSet<quintptr> m_locked;
    QStringList m_removed;
    int m_unpurged = 0;

  private:
    QList<ReadingArticle> m_articles;
};

class Session : public ::testing::Test {
  protected:
    void SetUp() override {
        testprofile::Reset();
        ASSERT_TRUE(m_dir.isValid());
        m_prefs.ReadAll();
        m_prefs.ApplyStoredValues();
        m_prefs.OUT_Directory = m_dir.path();
        m_prefs.OUT_FileFormat = OutputFormat::Wav;
        m_prefs.TTS_WaveConvRate = 0;  // as fast as the engine goes
        m_prefs.TTS_DefaultVoiceName = kVoice;
        ProbeSpeechInstallation();
        m_driver = std::make_unique<TTTSForm>(m_prefs);
        m_driver->SetSoundCardGate(std::make_unique<NoSoundCardGate>());
        m_driver->Initialize();
        m_session = std::make_unique<ReadingSession>(m_prefs, *m_driver);
        m_session->setQueue(&m_queue);
        QObject::connect(m_session.get(), &ReadingSession::articleReached,
                         [this](quintptr key) { m_reached << key; });
        QObject::connect(m_session.get(), &ReadingSession::fileSaved,
                         [this](const QString& path) { m_saved << QFileInfo(path).fileName(); });
        QObject::connect(m_session.get(), &ReadingSession::messageRaised,
                         [this](UserMessage::Kind, const QString& text) { m_messages << text; });
        QObject::connect(m_session.get(), &ReadingSession::finished,
                         [this](bool completed) { m_endings << completed; });
    }
    bool WaitFinished() {
        return QTest::qWaitFor([this] { return !m_endings.isEmpty(); }, kEndMs);
    }
    // Hidden files too: a temporary left behind shows.
    QStringList Files() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir m_dir;
    TPreferences m_prefs;
    std::unique_ptr<TTTSForm> m_driver;
    std::unique_ptr<ReadingSession> m_session;
    ListQueue m_queue;
    CapturedMessages m_shown;  // nothing may be shown by the session itself
    QList<quintptr> m_reached;
    QStringList m_saved;
    QStringList m_messages;
    QList<bool> m_endings;
};

}  // namespace

TEST_F(Session, AListBecomesOneFilePerArticleOrOneFileForAll) {
    m_queue.add(QStringLiteral("First"), QStringLiteral("The first article."));
    m_queue.add(QStringLiteral("Second"), QStringLiteral("The second one, a little longer."));
    m_queue.add(QStringLiteral("Third"), QStringLiteral("And the third."), QString());
    m_session->ReadAllArticles(otMultipleFiles);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_EQ(m_reached, (QList<quintptr>{1, 2, 3}));
    EXPECT_EQ(m_saved, (QStringList{QStringLiteral("First.wav"), QStringLiteral("Second.wav"),
                                    QStringLiteral("Third.wav")}));
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("First.wav"), QStringLiteral("Second.wav"),
                                    QStringLiteral("Third.wav")}));
    for (const QString& file : Files()) {
        EXPECT_GT(Soxi(m_dir.filePath(file), "-D").toDouble(), 0.5) << file.toStdString();
    }
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_TRUE(m_queue.m_locked.isEmpty());

    // One MP3 for the whole list, named after the first article, as long as the three.
    for (const QString& file : Files()) {
        QFile::remove(m_dir.filePath(file));
    }
    m_endings.clear();
    m_saved.clear();
    m_prefs.OUT_FileFormat = OutputFormat::Mp3;
    m_prefs.BitRate = 32;
    m_session->ReadAllArticles(otSingleFile);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_EQ(m_saved, QStringList{QStringLiteral("First.mp3")});
    EXPECT_EQ(Files(), QStringList{QStringLiteral("First.mp3")});
    EXPECT_GT(DecodedSamples(m_dir.filePath(QStringLiteral("First.mp3"))), 22050 * 3);
    EXPECT_EQ(m_messages, QStringList{});
    EXPECT_TRUE(m_shown.all.isEmpty());
}

TEST_F(Session, ReadArticlesLeaveTheListOnceTheirFileIsComplete) {
    m_prefs.ML_ListMode = 1;  // read articles are removed only from a list of several
    m_prefs.setAutoDelete(true);
    m_queue.add(QStringLiteral("One"), QStringLiteral("One."));
    m_queue.add(QStringLiteral("Two"), QStringLiteral("Two."));
    int unpurgedAtFirstFile = -1;
    QObject::connect(m_session.get(), &ReadingSession::fileSaved,
                     [&] { unpurgedAtFirstFile = qMax(unpurgedAtFirstFile, m_queue.m_unpurged); });
    m_session->ReadAllArticles(otSingleFile);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_EQ(m_queue.m_removed, (QStringList{QStringLiteral("One"), QStringLiteral("Two")}));
    EXPECT_EQ(m_queue.count(), 0);
    EXPECT_EQ(unpurgedAtFirstFile, 2) << "removed articles are kept until their file is made";
    EXPECT_EQ(m_queue.m_unpurged, 0);
    EXPECT_EQ(Files(), QStringList{QStringLiteral("One.wav")});
}

TEST_F(Session, ArticlesWithoutTitlesCannotGoIntoFiles) {
    QList<quintptr> untitled;
    QObject::connect(m_session.get(), &ReadingSession::titleMissing,
                     [&](quintptr key) { untitled << key; });
    m_queue.add(QStringLiteral("Named"), QStringLiteral("Named."));
    m_queue.add(QStringLiteral(" "), QStringLiteral("Nameless."));
    // Several files: every article is checked before anything is spoken.
    m_session->ReadAllArticles(otMultipleFiles);
    EXPECT_EQ(untitled, QList<quintptr>{2});
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_TRUE(m_reached.isEmpty());
    EXPECT_TRUE(Files().isEmpty());

    // A title removed while the walk runs: what was made is kept, the walk ends.
    m_queue[1].title = QStringLiteral("Later");
    QObject::connect(m_session.get(), &ReadingSession::articleStarted, [&](quintptr key) {
        m_queue[1].title = key == 1 ? QString() : m_queue[1].title;
    });
    m_session->ReadAllArticles(otMultipleFiles);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(untitled, (QList<quintptr>{2, 2}));
    EXPECT_EQ(m_endings, QList<bool>{false});
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Named.wav")});
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_TRUE(m_queue.m_locked.isEmpty());
}

TEST_F(Session, AMissingOutputFolderIsMadeOnlyWhenAskedAndABadOneIsNamed) {
    const QString missing = m_dir.filePath(QStringLiteral("made/for/audio"));
    m_prefs.OUT_Directory = missing;
    EXPECT_EQ(m_session->missingOutputFolder(), missing);
    QString problem = m_session->outputFolderProblem();
    EXPECT_TRUE(problem.contains(missing)) << problem.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a mistyped folder is not made unasked";
    EXPECT_EQ(m_session->makeOutputFolder(), QString());
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(m_session->outputFolderProblem(), QString());
    EXPECT_EQ(m_session->missingOutputFolder(), QString());

    m_prefs.OUT_Directory = QStringLiteral("relative/audio");
    EXPECT_EQ(m_session->missingOutputFolder(), QString());
    problem = m_session->outputFolderProblem();
    EXPECT_TRUE(problem.startsWith(QStringLiteral("File Output Directory is invalid")))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("\"relative/audio\" is not a full folder path")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("relative")));

    QFile inTheWay(m_dir.filePath(QStringLiteral("notafolder")));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    m_prefs.OUT_Directory = inTheWay.fileName();
    problem = m_session->outputFolderProblem();
    EXPECT_TRUE(problem.contains(inTheWay.fileName() + QStringLiteral(": a file of that name")))
        << problem.toStdString();
}

TEST_F(Session, TitlesTooLongForAFileNameAreShortenedBeforeTheyAreSpoken) {
    const QString latin = QString(300, QLatin1Char('L'));
    // Letters of three bytes each, and a letter with a combining accent at the cut.
    const QString japanese =
        QString(81, QChar(0x65E5)) + QStringLiteral("e\u0301") + QString(80, QChar(0x672C));
    for (const QString& title : {latin, latin, japanese}) {
        m_queue.add(title, QStringLiteral("A short text."));
    }
    m_session->ReadAllArticles(otMultipleFiles);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(m_saved.size(), 3);
    EXPECT_EQ(Files().size(), 3) << "no temporary is left";
    for (const QString& name : m_saved) {
        const QByteArray bytes = name.toUtf8();
        EXPECT_LE(bytes.size(), 255);
        EXPECT_EQ(QString::fromUtf8(bytes), name) << "characters are kept whole";
        EXPECT_GT(Soxi(m_dir.filePath(name), "-D").toDouble(), 0.1) << name.toStdString();
    }
    EXPECT_TRUE(latin.startsWith(QFileInfo(m_saved[0]).completeBaseName()));
    EXPECT_TRUE(m_saved[1].endsWith(QStringLiteral(" (2).wav"))) << "the second one is numbered";
    const QString cut = QFileInfo(m_saved[2]).completeBaseName();
    EXPECT_TRUE(japanese.startsWith(cut));
    EXPECT_FALSE(japanese.at(cut.size()).isMark()) << "an accent stays with its letter";
}

TEST_F(Session, AReadingThatCannotStartOrIsStoppedLeavesNoFile) {
    // An unknown voice: the reason comes back, nothing is left locked or written.
    m_queue.add(QStringLiteral("Lost"), QStringLiteral("Some words."), QStringLiteral("Nobody"));
    m_session->ReadSingleArticle(m_queue.at(0), otSingleFile);
    EXPECT_EQ(m_endings, QList<bool>{false});
    EXPECT_EQ(m_messages, QStringList{QStringLiteral("Voice Nobody does not exist")});
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_TRUE(m_queue.m_locked.isEmpty());

    // A large text file that has gone.
    m_endings.clear();
    m_messages.clear();
    ReadingArticle gone = m_queue.at(0);
    gone.voice = kVoice;
    gone.text.clear();
    gone.filePath = m_dir.filePath(QStringLiteral("gone.txt"));
    m_session->ReadSingleArticle(gone, otSpeakers);
    EXPECT_EQ(m_messages,
              QStringList{QStringLiteral("File ") + gone.filePath + QStringLiteral(" not found")});
    EXPECT_EQ(m_endings, QList<bool>{false});

    // Stopped at its first word: the partial file is removed and nothing is reported.
    m_endings.clear();
    m_messages.clear();
    m_prefs.TTS_WaveConvRate = 256;  // real time, so the stop comes early
    ReadingArticle longer = gone;
    longer.filePath.clear();
    longer.text = QString(QStringLiteral("A sentence that goes on for a while. ")).repeated(20);
    QObject::connect(m_session.get(), &ReadingSession::progress, [this] { m_session->stop(); });
    m_session->ReadSingleArticle(longer, otSingleFile);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{false});
    EXPECT_EQ(m_messages, QStringList{});
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(m_shown.all.isEmpty());
}

TEST_F(Session, WordsReadAloudAreFoundInTheArticlesText) {
    SKIP_WITHOUT_SOUND_DEVICE();
    const QString text =
        QStringLiteral("Skip these words.\r\n\r\nRead   only this\tpart, then stop here.");
    const int start = int(text.indexOf(QStringLiteral("Read")));
    const int length = int(text.indexOf(QStringLiteral(", then"))) - start;
    m_queue.add(QStringLiteral("Range"), text);
    QStringList words;
    QObject::connect(m_session.get(), &ReadingSession::wordReached, [&](quintptr, int caret) {
        words << text.mid(caret).section(QRegularExpression(QStringLiteral("[ \t,]")), 0, 0);
    });
    m_session->ReadSingleArticle(m_queue.at(0), otSpeakers, length, start);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    // Positions in the spoken range land on the words of the whole article.
    EXPECT_EQ(words, (QStringList{QStringLiteral("Read"), QStringLiteral("only"),
                                  QStringLiteral("this"), QStringLiteral("part")}));
}

TEST_F(Session, AWalkThatEndsEarlyOrTheProgramsEndLeavesNoHalfFile) {
    // One file for the list, whose second article's text file has gone.
    m_queue.add(QStringLiteral("Whole"), QStringLiteral("This one is read."));
    m_queue.add(QStringLiteral("Gone"), QString());
    m_queue[1].filePath = m_dir.filePath(QStringLiteral("gone.txt"));
    m_session->ReadAllArticles(otSingleFile);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{false});
    EXPECT_EQ(m_messages, QStringList{QStringLiteral("File ") + m_queue.at(1).filePath +
                                      QStringLiteral(" not found")});
    EXPECT_TRUE(Files().isEmpty()) << "the file begun for the first article is not left unfinished";

    // The program ends while a file is written.
    m_endings.clear();
    m_prefs.TTS_WaveConvRate = 256;  // real time, so the end comes first
    m_queue[1].filePath.clear();
    m_queue[1].text = QString(QStringLiteral("A sentence that goes on for a while. ")).repeated(20);
    QObject::connect(m_session.get(), &ReadingSession::progress, [this] {
        if (m_session->state() == rsReading) {
            m_session->shutdown();
        }
    });
    m_session->ReadSingleArticle(m_queue.at(1), otSingleFile);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_session->state() == rsExiting; }, kEndMs));
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(Session, ATextOutsideTheListIsSpokenWithoutHighlightOrSkip) {
    SKIP_WITHOUT_SOUND_DEVICE();
    int words = 0;
    int progressed = 0;
    int textEnds = 0;
    QList<ReadingState> states;
    QObject::connect(m_session.get(), &ReadingSession::wordReached, [&] { ++words; });
    QObject::connect(m_session.get(), &ReadingSession::progress, [&] { ++progressed; });
    QObject::connect(m_session.get(), &ReadingSession::textFinished, [&] { ++textEnds; });
    QObject::connect(m_session.get(), &ReadingSession::stateChanged,
                     [&](ReadingState state) { states << state; });
    const auto waitText = [&](int count) {
        return QTest::qWaitFor([&] { return textEnds == count; }, kEndMs);
    };

    // Both engines speak a text; no word reaches the highlight or the gauge, nor can it be
    // skipped.
    for (const QString& voice : {QStringLiteral("Flite kal"), kVoice}) {
        const int before = textEnds;
        states.clear();
        m_session->SpeakText(QStringLiteral("A short test of the voice you have chosen."), voice);
        EXPECT_EQ(m_session->state(), rsReading) << voice.toStdString();
        EXPECT_TRUE(m_session->speakingText());
        m_session->skip();
        EXPECT_TRUE(m_driver->Reading()) << "a text has nothing to skip to";
        ASSERT_TRUE(waitText(before + 1)) << voice.toStdString();
        EXPECT_EQ(states, (QList<ReadingState>{rsReading, rsIdle}));
        EXPECT_EQ(m_session->state(), rsIdle);
        EXPECT_FALSE(m_session->speakingText());
        EXPECT_FALSE(m_driver->TTS1.Active());
    }
    EXPECT_EQ(words, 0);
    EXPECT_EQ(progressed, 0);
    EXPECT_TRUE(m_endings.isEmpty()) << "no article reading has ended";

    // The next article is highlighted again.
    m_queue.add(QStringLiteral("After"), QStringLiteral("These words are found again."));
    m_session->ReadSingleArticle(m_queue.at(0), otSpeakers);
    ASSERT_TRUE(WaitFinished());
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_GT(words, 0);
    EXPECT_GT(progressed, 0);

    // Stop ends a text at once, as it ends an article.
    m_session->SpeakText(QString(QStringLiteral("A sentence that goes on. ")).repeated(20),
                         QStringLiteral("Flite slt"));
    ASSERT_EQ(m_session->state(), rsReading);
    m_session->stop();
    EXPECT_EQ(textEnds, 3);
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_FALSE(m_driver->Reading());

    // A text that cannot start says why and leaves the session idle.
    m_session->SpeakText(QStringLiteral("Hello."), QStringLiteral("Nobody"));
    EXPECT_EQ(textEnds, 4);
    EXPECT_EQ(m_session->state(), rsIdle);
    EXPECT_EQ(m_messages, QStringList{QStringLiteral("Voice Nobody does not exist")});
    EXPECT_EQ(m_endings, QList<bool>{true}) << "only the article reported an ending";
    EXPECT_TRUE(m_shown.all.isEmpty());
}
