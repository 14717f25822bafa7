// Subtitles and lyrics beside the audio files: how sentences are found and the files are
// written, and, through the real engine and encoder, that each cue starts where the audio of
// its sentence starts, whatever the writing speed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "app/readingsession.h"
#include "app/subtitletrack.h"
#include "app/subtitlewriter.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/wavesamples.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/subtitlefiles.h"
#include "tests/common/testprofile.h"

using namespace audiotools;

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");
constexpr int kEndMs = 120000;
// How far a cue may start from the audio of its sentence.
constexpr int64_t kToleranceMs = 50;
// How far the engine's output may move from one reading of a text to the next.
constexpr double kEngineJitterMs = 2;
const QString kTwoSentences =
    QStringLiteral("The quick brown fox jumps over the lazy dog.\nA second sentence follows it.");

class Subtitles : public ::testing::Test {
  protected:
    // A list in memory.
    class Queue : public ReadingQueue {
      public:
        QList<ReadingArticle> articles;
        int count() const override { return int(articles.size()); }
        ReadingArticle at(int index) const override { return articles.at(index); }
        int indexOf(quintptr key) const override {
            for (int i = 0; i < articles.size(); ++i) {
                if (articles[i].key == key) {
                    return i;
                }
            }
            return -1;
        }
        void setLocked(quintptr, bool) override {}
        void unlockAll() override {}
        void remove(quintptr) override {}
        void purgeRemoved() override {}
    };

    void SetUp() override {
        testprofile::Reset();
        ASSERT_TRUE(m_dir.isValid());
        m_prefs.ReadAll();
        m_prefs.ApplyStoredValues();
        m_prefs.OUT_Directory = m_dir.path();
        m_prefs.OUT_FileFormat = OutputFormat::Wav;
        m_prefs.OUT_Subtitles = true;
        m_prefs.TTS_WaveConvRate = 0;
        m_prefs.TTS_DefaultVoiceName = kVoice;
        ProbeSpeechInstallation();
        m_driver = std::make_unique<TTTSForm>(m_prefs);
        m_driver->SetSoundCardGate(std::make_unique<NoSoundCardGate>());
        m_driver->Initialize();
        m_session = std::make_unique<ReadingSession>(m_prefs, *m_driver);
        m_session->setQueue(&m_queue);
        QObject::connect(m_session.get(), &ReadingSession::messageRaised,
                         [this](UserMessage::Kind, const QString& text) { m_messages << text; });
        QObject::connect(m_session.get(), &ReadingSession::finished,
                         [this](bool completed) { m_endings << completed; });
    }
    void Add(const QString& title, const QString& text) {
        ReadingArticle article;
        article.key = quintptr(m_queue.articles.size() + 1);
        article.title = title;
        article.text = text;
        m_queue.articles << article;
    }
    // Reads the list and waits for its end; whether it completed.
    bool Read(OutputTarget target) {
        m_endings.clear();
        m_session->ReadAllArticles(target);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_endings.isEmpty(); }, kEndMs));
        return m_endings == QList<bool>{true};
    }
    QStringList Files() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    TPreferences m_prefs;
    std::unique_ptr<TTTSForm> m_driver;
    std::unique_ptr<ReadingSession> m_session;
    Queue m_queue;
    CapturedMessages m_shown;
    QStringList m_messages;
    QList<bool> m_endings;
};

}  // namespace

TEST(SubtitleTrack, SentencesEndAtMarksBeforeABlankOrAtAParagraphsEnd) {
    const QString text = QStringLiteral(
        "  First one. Version 2.5 is out!Really? \"Quoted.\" Then\na wrapped line\n\n"
        "A heading\r\n \r\nLast... words");
    QStringList found;
    for (const auto& [start, end] : SubtitleTrack::Sentences(text)) {
        found << text.mid(start, end - start);
    }
    EXPECT_EQ(found, (QStringList{
                         QStringLiteral("First one."), QStringLiteral("Version 2.5 is out!Really?"),
                         QStringLiteral("\"Quoted.\""), QStringLiteral("Then\na wrapped line"),
                         QStringLiteral("A heading"), QStringLiteral("Last..."),
                         QStringLiteral("words")}));
}

TEST(SubtitleTrack, EachSpokenSentenceIsACueUntilTheNextAcrossTextsAndPieces) {
    SubtitleTrack track;
    track.beginText();
    track.appendText(QStringLiteral("One two.  Three\nfour. "));
    track.addWord(100, 0);   // One
    track.addWord(400, 4);   // two.
    track.addWord(900, 10);  // Three
    track.beginText();       // a second article: positions start again
    track.appendText(QStringLiteral("Five six. Seven"));
    track.appendText(QStringLiteral(" eight.\n\nNine."));  // a second chunk of it
    track.addWord(1500, 0);
    track.addWord(2100, 15);  // eight: the sentence began in the chunk before
    track.addWord(2600, 24);  // Nine
    track.setEnd(3000);
    const QList<SubtitleCue> cues = track.cues();
    EXPECT_EQ(Texts(cues), (QStringList{QStringLiteral("One two."), QStringLiteral("Three four."),
                                        QStringLiteral("Five six."), QStringLiteral("Seven eight."),
                                        QStringLiteral("Nine.")}));
    ASSERT_EQ(cues.size(), 5);
    const int64_t starts[] = {100, 900, 1500, 2100, 2600};
    const int64_t ends[] = {900, 1500, 2100, 2600, 3000};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(cues[i].startMs, starts[i]) << i;
        EXPECT_EQ(cues[i].endMs, ends[i]) << i;
    }
    track.clear();
    EXPECT_TRUE(track.cues().isEmpty());
}

TEST(SubtitleWriter, SrtAndLrcInUtf8BesideTheAudioFile) {
    const QList<SubtitleCue> cues = {{1250, 3900, QStringLiteral("Grüße.")},
                                     {3900, 3723004, QStringLiteral("Later.")}};
    EXPECT_EQ(SubtitleWriter::Srt(cues),
              QStringLiteral("1\n00:00:01,250 --> 00:00:03,900\nGrüße.\n\n"
                             "2\n00:00:03,900 --> 01:02:03,004\nLater.\n\n")
                  .toUtf8());
    EXPECT_EQ(SubtitleWriter::Lrc(QStringLiteral("A\ntitle"), cues),
              QStringLiteral("[ti:A title]\n[00:01.25]Grüße.\n[00:03.90]Later.\n").toUtf8());
    EXPECT_EQ(SubtitleWriter::SrtPath(QStringLiteral("/a/b.c/News.mp3")),
              QStringLiteral("/a/b.c/News.srt"));
    EXPECT_EQ(SubtitleWriter::LrcPath(QStringLiteral("/a/News.ogg")),
              QStringLiteral("/a/News.lrc"));

    QTemporaryDir dir;
    const QString audio = dir.filePath(QStringLiteral("News.opus"));
    EXPECT_EQ(SubtitleWriter::Write(audio, QStringLiteral("News"), cues), QString());
    EXPECT_EQ(audiotools::Read(dir.filePath(QStringLiteral("News.srt"))),
              SubtitleWriter::Srt(cues));
    EXPECT_EQ(audiotools::Read(dir.filePath(QStringLiteral("News.lrc"))),
              SubtitleWriter::Lrc(QStringLiteral("News"), cues));

    // A folder in the way of the LRC: the message names it, and no SRT is left without it.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Blocked.lrc")));
    const QString failure =
        SubtitleWriter::Write(dir.filePath(QStringLiteral("Blocked.wav")), QString(), cues);
    EXPECT_TRUE(failure.startsWith(dir.filePath(QStringLiteral("Blocked.lrc")) +
                                   QStringLiteral(" could not be saved: ")))
        << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Blocked.srt"))));

    // A folder in the way of the SRT: an LRC of an earlier file of that name goes too.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Old.srt")));
    audiotools::Write(dir.filePath(QStringLiteral("Old.lrc")), "[ti:Old]\n");
    EXPECT_FALSE(
        SubtitleWriter::Write(dir.filePath(QStringLiteral("Old.wav")), QString(), cues).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Old.lrc"))));
}

TEST(SubtitleWriter, TextThatLooksLikeMarkupKeepsEveryWordInPlayers) {
    // ffmpeg reads SRT as players do, tags and line breaks included, into the Advanced
    // SubStation subtitles that players draw.
    const QStringList texts{
        QStringLiteral("Copyright (C) <year> <name of author>"),
        QStringLiteral("Use <b>bold</b>, <i>and</i> <font color=red>red</font> x<y."),
        QStringLiteral("Files in C:\\New folder\\notes\\hidden go."),
    };
    QList<SubtitleCue> cues;
    for (int i = 0; i < texts.size(); ++i) {
        cues << SubtitleCue{i * 1000, (i + 1) * 1000, texts[i]};
    }
    QTemporaryDir dir;
    const QString srt = dir.filePath(QStringLiteral("x.srt"));
    const QString ass = dir.filePath(QStringLiteral("x.ass"));
    audiotools::Write(srt, SubtitleWriter::Srt(cues));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), srt, ass});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000));
    ASSERT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
    static const QRegularExpression word(QStringLiteral("\\w+"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    const auto words = [](const QString& text) {
        QStringList found;
        for (auto it = word.globalMatch(text); it.hasNext();) {
            found << it.next().captured();
        }
        return found;
    };
    QStringList drawn;
    for (const QString& line : QString::fromUtf8(audiotools::Read(ass)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Dialogue:"))) {
            drawn << line.section(QLatin1Char(','), 9).trimmed();
        }
    }
    ASSERT_EQ(drawn.size(), texts.size());
    static const QRegularExpression breakCode(QStringLiteral("\\\\[Nnh]"));
    for (int i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(words(drawn[i]), words(texts[i])) << drawn[i].toStdString();
        EXPECT_FALSE(drawn[i].contains(breakCode)) << drawn[i].toStdString();
        EXPECT_FALSE(drawn[i].contains(QLatin1Char('{')))
            << "no formatting: " << drawn[i].toStdString();
    }
}

TEST_F(Subtitles, TwoSentencesToWavGiveTwoCuesWhereTheirAudioStarts) {
    Add(QStringLiteral("Fox"), kTwoSentences);
    ASSERT_TRUE(Read(otMultipleFiles)) << m_messages.join('\n').toStdString();
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("Fox.lrc"), QStringLiteral("Fox.srt"),
                                    QStringLiteral("Fox.wav")}));
    const QList<SubtitleCue> cues = ReadSrt(Path(QStringLiteral("Fox.srt")));
    ASSERT_EQ(cues.size(), 2);
    EXPECT_EQ(Texts(cues),
              (QStringList{QStringLiteral("The quick brown fox jumps over the lazy dog."),
                           QStringLiteral("A second sentence follows it.")}));
    const QString wav = Path(QStringLiteral("Fox.wav"));
    const int rate = Soxi(wav, "-r").toInt();
    const int64_t durationMs = int64_t(Soxi(wav, "-s").toLongLong() * 1000 / rate);
    const int64_t secondMs = SecondSentenceMs(WaveSamples(wav), rate);
    std::printf("second sentence: audio %lld ms, cue %lld ms; file %lld ms\n", (long long)secondMs,
                (long long)cues[1].startMs, (long long)durationMs);
    EXPECT_NEAR(double(cues[1].startMs), double(secondMs), double(kToleranceMs));
    EXPECT_LT(cues[0].startMs, kToleranceMs * 4) << "the first word starts the file";
    EXPECT_EQ(cues[0].endMs, cues[1].startMs);
    EXPECT_NEAR(double(cues[1].endMs), double(durationMs), 1.0) << "the last cue ends the audio";

    QString title;
    const QList<SubtitleCue> lyrics = ReadLrc(Path(QStringLiteral("Fox.lrc")), &title);
    EXPECT_EQ(title, QStringLiteral("Fox"));
    ASSERT_EQ(lyrics.size(), 2);
    EXPECT_EQ(Texts(lyrics), Texts(cues));
    EXPECT_EQ(lyrics[1].startMs, cues[1].startMs / 10 * 10);

    // Written at three times real time instead of as fast as the engine goes: the same times,
    // counted in samples, not by the clock (the engine's own output may move by a millisecond
    // from one reading to the next).
    for (const QString& file : Files()) {
        QFile::remove(Path(file));
    }
    m_prefs.TTS_WaveConvRate = 3 * 256;
    ASSERT_TRUE(Read(otMultipleFiles));
    const QList<SubtitleCue> paced = ReadSrt(Path(QStringLiteral("Fox.srt")));
    ASSERT_EQ(paced.size(), 2);
    EXPECT_EQ(Texts(paced), Texts(cues));
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(double(paced[i].startMs), double(cues[i].startMs), kEngineJitterMs) << i;
        EXPECT_NEAR(double(paced[i].endMs), double(cues[i].endMs), kEngineJitterMs) << i;
    }
    EXPECT_NEAR(double(paced[1].startMs), double(SecondSentenceMs(WaveSamples(wav), rate)),
                double(kToleranceMs));
    EXPECT_EQ(m_messages, QStringList{});
    EXPECT_TRUE(m_shown.all.isEmpty());
}

TEST_F(Subtitles, AFliteVoiceAgreesToo) {
    ReadingArticle article;
    article.key = 1;
    article.title = QStringLiteral("Kal");
    article.text = kTwoSentences;
    article.voice = QStringLiteral("Flite kal");  // 8000 Hz
    m_queue.articles << article;
    ASSERT_TRUE(Read(otMultipleFiles)) << m_messages.join('\n').toStdString();
    const QList<SubtitleCue> cues = ReadSrt(Path(QStringLiteral("Kal.srt")));
    ASSERT_EQ(cues.size(), 2);
    const QString wav = Path(QStringLiteral("Kal.wav"));
    const int rate = Soxi(wav, "-r").toInt();
    const int64_t secondMs = SecondSentenceMs(WaveSamples(wav), rate);
    std::printf("Flite at %d Hz: second sentence at %lld ms, cue %lld ms\n", rate,
                (long long)secondMs, (long long)cues[1].startMs);
    EXPECT_NEAR(double(cues[1].startMs), double(secondMs), double(kToleranceMs));
}

TEST_F(Subtitles, TheTextIsTheArticlesAsWrittenNotAsTheFilterReadsIt) {
    // The filter spells out the states and the address, so the words of the spoken text stand
    // far behind where they stand in the article; each short sentence still gets its own cue,
    // with the article's own words.
    Add(QStringLiteral("News"),
        QStringLiteral("They met in Boston, MA and Austin, TX and Salem, OR today. Go. "
                       "See www.example.com now. Yes."));
    ASSERT_TRUE(Read(otMultipleFiles)) << m_messages.join('\n').toStdString();
    EXPECT_EQ(
        Texts(ReadSrt(Path(QStringLiteral("News.srt")))),
        (QStringList{QStringLiteral("They met in Boston, MA and Austin, TX and Salem, OR today."),
                     QStringLiteral("Go."), QStringLiteral("See www.example.com now."),
                     QStringLiteral("Yes.")}));
}

TEST_F(Subtitles, AnMp3GetsThemTooAndItsAudioAgrees) {
    // 32 kbit/s: 22050 Hz frames too small for the frame that tells players the encoder's
    // delay, which they then play first. 64 kbit/s: raised to 44.1 kHz on the way, the frame
    // is there and players leave the delay out.
    for (const int bitRate : {32, 64}) {
        SCOPED_TRACE(bitRate);
        m_prefs.OUT_FileFormat = OutputFormat::Mp3;
        m_prefs.BitRate = bitRate;
        const QString title = QStringLiteral("Fox%1").arg(bitRate);
        Add(title, kTwoSentences);
        ASSERT_TRUE(Read(otMultipleFiles)) << m_messages.join('\n').toStdString();
        const QList<SubtitleCue> cues = ReadSrt(Path(title + QStringLiteral(".srt")));
        ASSERT_EQ(cues.size(), 2);
        const QString mp3 = Path(title + QStringLiteral(".mp3"));
        EXPECT_TRUE(QFileInfo::exists(Path(title + QStringLiteral(".lrc"))));
        const int rate = int(ReadToFileJob::RequiredRate(m_prefs.BitRate));
        const int64_t secondMs = SecondSentenceMs(DecodedPcm(mp3), rate);
        EXPECT_NEAR(double(cues[1].startMs), double(secondMs), double(kToleranceMs));
    }
}

TEST_F(Subtitles, OneFileForAListCountsOnAcrossItsArticles) {
    Add(QStringLiteral("First"), QStringLiteral("The first article. It has two sentences."));
    Add(QStringLiteral("Second"), QStringLiteral("And a second one"));
    ASSERT_TRUE(Read(otSingleFile));
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("First.lrc"), QStringLiteral("First.srt"),
                                    QStringLiteral("First.wav")}));
    const QList<SubtitleCue> cues = ReadSrt(Path(QStringLiteral("First.srt")));
    EXPECT_EQ(Texts(cues), (QStringList{QStringLiteral("The first article."),
                                        QStringLiteral("It has two sentences."),
                                        QStringLiteral("And a second one")}));
    ASSERT_EQ(cues.size(), 3);
    // The second article starts after all of the first one's audio: read alone it gives that.
    const QString wav = Path(QStringLiteral("First.wav"));
    const int64_t whole = Soxi(wav, "-s").toLongLong() * 1000 / Soxi(wav, "-r").toInt();
    m_queue.articles.removeLast();
    for (const QString& file : Files()) {
        QFile::remove(Path(file));
    }
    ASSERT_TRUE(Read(otSingleFile));
    const int64_t firstAlone = Soxi(wav, "-s").toLongLong() * 1000 / Soxi(wav, "-r").toInt();
    EXPECT_GE(double(cues[2].startMs), double(firstAlone) - kEngineJitterMs);
    EXPECT_LT(cues[2].startMs, firstAlone + 500);
    EXPECT_NEAR(double(cues[2].endMs), double(whole), 1.0);
}

TEST_F(Subtitles, ALargeFileIsFollowedChunkByChunk) {
    constexpr int kSentences = 300;  // two chunks
    QString text;
    for (int i = 1; i <= kSentences; ++i) {
        text += QStringLiteral("Sentence %1 is here.%2").arg(i).arg(i % 10 == 0 ? "\n\n" : " ");
    }
    const QString input = Path(QStringLiteral("input.txt"));
    audiotools::Write(input, text.toUtf8());
    ASSERT_GT(text.size(), TTTSFileStream::kChunkSize);
    ReadingArticle article;
    article.key = 1;
    article.title = QStringLiteral("Large");
    article.filePath = input;
    m_queue.articles << article;
    ASSERT_TRUE(Read(otMultipleFiles)) << m_messages.join('\n').toStdString();
    const QList<SubtitleCue> cues = ReadSrt(Path(QStringLiteral("Large.srt")));
    ASSERT_EQ(cues.size(), kSentences);
    for (int i = 0; i < cues.size(); ++i) {
        EXPECT_EQ(cues[i].text, QStringLiteral("Sentence %1 is here.").arg(i + 1));
        if (i > 0) {
            EXPECT_GT(cues[i].startMs, cues[i - 1].startMs) << i;
        }
    }
}

TEST_F(Subtitles, NoneAreLeftWhenTheAudioIsNotMade) {
    // Stopped: neither the audio nor its subtitles.
    m_prefs.TTS_WaveConvRate = 256;
    Add(QStringLiteral("Stopped"),
        QString(QStringLiteral("A sentence that goes on for a while. ")).repeated(20));
    QObject::connect(m_session.get(), &ReadingSession::progress, [this] { m_session->stop(); });
    EXPECT_FALSE(Read(otMultipleFiles));
    EXPECT_EQ(Files(), QStringList{});

    // The subtitles cannot be written: the audio is kept and the message names the file.
    m_prefs.TTS_WaveConvRate = 0;
    QObject::disconnect(m_session.get(), &ReadingSession::progress, nullptr, nullptr);
    m_queue.articles.clear();
    Add(QStringLiteral("Kept"), kTwoSentences);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("Kept.srt")));
    m_messages.clear();
    m_endings.clear();
    m_session->ReadAllArticles(otMultipleFiles);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_endings.isEmpty(); }, kEndMs));
    EXPECT_EQ(m_endings, QList<bool>{true});
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Kept.wav")});
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith(Path(QStringLiteral("Kept.srt")) +
                                         QStringLiteral(" could not be saved")))
        << m_messages[0].toStdString();

    // Not wanted: none.
    m_prefs.OUT_Subtitles = false;
    QFile::remove(Path(QStringLiteral("Kept.wav")));
    QDir(m_dir.path()).rmdir(QStringLiteral("Kept.srt"));
    ASSERT_TRUE(Read(otMultipleFiles));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Kept.wav")});
}
