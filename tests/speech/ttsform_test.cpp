#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "platform/speechapi/ttsenumerator.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/speech/scriptedmodes.h"

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");
const QString kFliteVoice = QStringLiteral("Flite kal");
// Words per minute: fast, yet short of the pace where eSpeak NG stretches its speech afresh.
constexpr int kFastSpeed = 400;

class Driver : public ::testing::Test {
  protected:
    void SetUp() override {
        testprofile::Reset();
        prefs_.ReadAll();
        prefs_.ApplyStoredValues();
        ProbeSpeechInstallation();
        driver_ = std::make_unique<TTTSForm>(prefs_);
        driver_->Initialize();
        prefs_.ReadAll();
        driver_->LoadVoiceSettings();
        QObject::connect(driver_.get(), &TTTSForm::OnComplete, [this] { ++completions_; });
        QObject::connect(driver_.get(), &TTTSForm::OnError,
                         [this](const QString& message) { failures_ << message; });
        QObject::connect(driver_.get(), &TTTSForm::OnWordPosition,
                         [this](int64_t position, int64_t size) {
                             positions_.push_back(position);
                             fileSize_ = size;
                         });
    }
    // Waits until the reading in progress has ended, by its completion or by an error.
    bool WaitEnded(int ms) {
        const int before = completions_ + int(failures_.size());
        return QTest::qWaitFor([&] { return completions_ + failures_.size() > before; }, ms);
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.path() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    TPreferences prefs_;
    std::unique_ptr<TTTSForm> driver_;
    CapturedMessages messages_;
    QTemporaryDir dir_;
    int completions_ = 0;
    QStringList failures_;  // reported through OnError
    std::vector<int64_t> positions_;
    int64_t fileSize_ = -1;
};

}  // namespace

TEST_F(Driver, ReadsATextAloudAndReportsItsEndOnce) {
    SKIP_WITHOUT_SOUND_DEVICE();
    ASSERT_TRUE(driver_->PlayText(QStringLiteral("Hello wonderful world"), kVoice))
        << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));
    EXPECT_EQ(positions_, (std::vector<int64_t>{0, 6, 16}));
    EXPECT_EQ(fileSize_, 0);
    EXPECT_EQ(driver_->CurrentVoice, nullptr);
    EXPECT_TRUE(driver_->TTS1.Active()) << "the component stays ready for the next article";
}

namespace {

// A sound device in a given state, and a user who answers the question after a failed check.
class ScriptedGate : public SoundCardGate {
  public:
    ScriptedGate(State state, int& questions, const bool& proceed)
        : m_state(state), m_questions(questions), m_proceed(proceed) {}
    State check(const TTTS&) const override { return m_state; }
    bool proceedAfterFailedCheck() const override {
        ++m_questions;
        return m_proceed;
    }

  private:
    State m_state;
    int& m_questions;
    const bool& m_proceed;
};

}  // namespace

TEST_F(Driver, StartsOnlyWithAKnownVoiceAndAFreeSoundCard) {
    SKIP_WITHOUT_SOUND_DEVICE();
    Outcome played = driver_->Play(QStringLiteral("Nobody"));
    EXPECT_FALSE(played);
    EXPECT_EQ(played.message(), QStringLiteral("Voice Nobody does not exist"));

    int questions = 0;
    bool proceed = false;
    driver_->SetSoundCardGate(
        std::make_unique<ScriptedGate>(SoundCardGate::State::Busy, questions, proceed));
    played = driver_->Play(kVoice);
    EXPECT_FALSE(played);
    EXPECT_EQ(played.message(), QStringLiteral("Sound card is busy.  Wait and try again."));
    EXPECT_EQ(questions, 0) << "a busy device is not a question";

    driver_->SetSoundCardGate(
        std::make_unique<ScriptedGate>(SoundCardGate::State::Failed, questions, proceed));
    played = driver_->Play(kVoice);
    EXPECT_FALSE(played);
    EXPECT_TRUE(played.message().isEmpty()) << "the user chose not to go on: nothing to tell";
    proceed = true;
    EXPECT_TRUE(driver_->Play(kVoice));
    prefs_.TTS_SoundCardCheckErr = false;
    EXPECT_TRUE(driver_->Play(kVoice));
    EXPECT_EQ(questions, 2);
    EXPECT_TRUE(messages_.all.isEmpty()) << "the driver shows nothing itself";
}

TEST_F(Driver, WritesTextsIntoAWaveFile) {
    // A file needs no sound device: a busy or missing one is not even asked about.
    int questions = 0;
    const bool proceed = false;
    driver_->SetSoundCardGate(
        std::make_unique<ScriptedGate>(SoundCardGate::State::Busy, questions, proceed));
    const Outcome missing =
        driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/missing/out.wav"));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.message(), QStringLiteral("Output Directory ") + dir_.path() +
                                     QStringLiteral("/missing is not valid"));
    const QString wave = dir_.path() + QStringLiteral("/out.wav");
    prefs_.TTS_WaveConvRate = 0;  // unpaced
    ASSERT_TRUE(driver_->PlayToFileInit(kVoice, wave));
    ASSERT_TRUE(driver_->PlayTextToFile(kVoice, QStringLiteral("First article.")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));
    ASSERT_TRUE(
        driver_->PlayTextToFile(kVoice, QStringLiteral("Second article, in the same file.")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 2; }, 20000));
    driver_->TTS1.SetActive(false);
    QProcess soxi;
    soxi.start(QStringLiteral("soxi"), {QStringLiteral("-D"), wave});
    ASSERT_TRUE(soxi.waitForFinished());
    EXPECT_GT(soxi.readAllStandardOutput().trimmed().toDouble(), 2.0);
    driver_->SetSoundCardGate(
        std::make_unique<ScriptedGate>(SoundCardGate::State::Failed, questions, proceed));
    EXPECT_TRUE(driver_->PlayToFileInit(kVoice, wave));
    EXPECT_EQ(questions, 0);
}

TEST_F(Driver, SpeaksALargeFileChunkByChunk) {
    // Eight chunks, spoken fast: the chunks matter here, not the voice (the 300 KB this test once
    // read were nine hours of speech, over a minute of work for the engine on an idle machine).
    QByteArray text;
    for (int i = 0; text.size() < 8 * TTTSFileStream::kChunkSize; ++i) {
        text += "Sentence number " + QByteArray::number(i) + " of a long file. ";
    }
    const QString path = Write(QStringLiteral("long.txt"), text);
    prefs_.TTS_WaveConvRate = 0;
    driver_->FindVoice(kVoice)->Speed = kFastSpeed;
    ASSERT_TRUE(driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/long.wav")));
    ASSERT_TRUE(driver_->PlayFileToFile(kVoice, path));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 120000));
    EXPECT_EQ(fileSize_, text.size());
    ASSERT_GT(positions_.size(), 100u);
    const auto drop = std::is_sorted_until(positions_.begin(), positions_.end());
    EXPECT_TRUE(drop == positions_.end())
        << "positions grow across chunks; drop at index " << (drop - positions_.begin()) << ": "
        << *(drop - 1) << " -> " << (drop == positions_.end() ? 0 : *drop);

    EXPECT_GT(positions_.back(), text.size() - 100);
    EXPECT_EQ(driver_->Reader(), nullptr);

    EXPECT_FALSE(driver_->PlayFileToFile(kVoice, Write(QStringLiteral("empty.txt"), QByteArray())));
    EXPECT_EQ(driver_->Reader(), nullptr);
    EXPECT_FALSE(driver_->Reading());
    EXPECT_TRUE(driver_->TTS1.Active());
}

TEST_F(Driver, PositionsInAFileRunToItsSizeWhateverItsEncoding) {
    QString text;
    for (int i = 0; text.size() < 6 * 1024; ++i) {
        text += QStringLiteral("Die Größe Nummer %1 übt. ").arg(i);
    }
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QList<QByteArray> files = {text.toUtf8(), QByteArray(utf16(text))};
    prefs_.TTS_WaveConvRate = 0;
    for (const QByteArray& bytes : files) {
        positions_.clear();
        const int before = completions_;
        const QString path = Write(QStringLiteral("encoded.txt"), bytes);
        ASSERT_TRUE(driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/enc.wav")));
        ASSERT_TRUE(driver_->PlayFileToFile(kVoice, path));
        ASSERT_TRUE(QTest::qWaitFor([&] { return completions_ > before; }, 120000));
        EXPECT_EQ(fileSize_, bytes.size());
        ASSERT_FALSE(positions_.empty());
        EXPECT_TRUE(std::is_sorted(positions_.begin(), positions_.end()));
        // The last word is near the file's end, so a gauge over the file's size fills.
        EXPECT_GT(positions_.back(), bytes.size() - 64) << bytes.size();
        EXPECT_LE(positions_.back(), bytes.size());
    }
}

TEST_F(Driver, StoppingWhilePausedEndsTheReading) {
    SKIP_WITHOUT_SOUND_DEVICE();
    ASSERT_TRUE(driver_->PlayText(
        QStringLiteral("This is a sentence that takes a few seconds to say aloud."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return positions_.size() >= 2; }, 20000));
    driver_->Pause();
    EXPECT_TRUE(driver_->TTS1.AudioPaused());
    driver_->StopAudio();
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));

    // A cancelled reading reports no completion.
    ASSERT_TRUE(
        driver_->PlayText(QStringLiteral("Words that are never heard to the end."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return positions_.size() >= 4; }, 20000));
    driver_->CancelReading();
    EXPECT_FALSE(driver_->Reading());
    EXPECT_FALSE(QTest::qWaitFor([this] { return completions_ == 2; }, 800));
    // The next reading completes as usual.
    ASSERT_TRUE(driver_->PlayText(QStringLiteral("Short."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 2; }, 20000));
}

TEST_F(Driver, WordOffsetsAreBytesOfWideCharacters) {
    ASSERT_TRUE(driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/offsets.wav")));
    Q_EMIT driver_->TTS1.OnWordPosition(0, 9);
    EXPECT_EQ(positions_, std::vector<int64_t>{4});
}

TEST_F(Driver, AnAudioStopWhilePausedCompletesNothing) {
    SKIP_WITHOUT_SOUND_DEVICE();
    ASSERT_TRUE(
        driver_->PlayText(QStringLiteral("A sentence that is paused before it ends."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !positions_.empty(); }, 20000));
    driver_->Pause();
    Q_EMIT driver_->TTS1.OnAudioStop(0);  // as the engine reports it
    EXPECT_FALSE(driver_->Timer1.isActive());
    driver_->Resume();
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));
}

TEST_F(Driver, AFileWhoseWholeTextCameInTheFirstChunkEndsByItself) {
    // No sentence end after the first 5120 bytes: the first chunk runs to the end of the file
    // without a short read.
    QByteArray text;
    while (text.size() < 6000) {
        text += "words and words ";
    }
    prefs_.TTS_WaveConvRate = 0;
    ASSERT_TRUE(driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/whole.wav")));
    ASSERT_TRUE(driver_->PlayFileToFile(kVoice, Write(QStringLiteral("whole.txt"), text)));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 60000));
    EXPECT_EQ(driver_->Reader(), nullptr);
}

namespace {

// Texts and files that hold no word, or none early on: each reading of them must still end.
struct WordlessInput {
    const char* name;
    QByteArray bytes;  // the file's content
};

QList<WordlessInput> WordlessFiles() {
    QByteArray random(3000, '\0');
    QRandomGenerator generator(42);
    for (char& byte : random) {
        byte = char(generator.bounded(256));
    }
    // A byte order mark, then UTF-16 text with its words at the start: more than a chunk even
    // once it is decoded.
    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar c : QStringLiteral("Hello world. ")) {
        utf16 += char(c.unicode() & 0xFF);
        utf16 += char(c.unicode() >> 8);
    }
    while (utf16.size() <= 2 * TTTSFileStream::kMaxChunk + 4096) {
        utf16 += QByteArray(" \0", 2);
    }
    QByteArray sentences = "Hello there. ";  // then chunks of sentences without a word
    while (sentences.size() < 3 * TTTSFileStream::kChunkSize) {
        sentences += QByteArray(100, '-') + ". ";
    }
    QByteArray afterEnd = "Hello there!\x1A";
    while (afterEnd.size() < 8000) {
        afterEnd += "Words after the end of the file. ";
    }
    return {
        {"end-of-file mark at byte 12", afterEnd},
        {"NUL at byte 12", QByteArray("Hello there!") + '\0' + QByteArray(6000, '-')},
        {"6000 dashes", QByteArray(6000, '-')},
        {"random bytes", random},
        {"UTF-16 over 2 MB", utf16},
        {"sentences without words after the first chunk", sentences},
    };
}

}  // namespace

TEST_F(Driver, EveryReadingIntoAFileEndsAlsoWithoutWords) {
    prefs_.TTS_WaveConvRate = 0;  // unpaced
    for (const QString& voice : {kVoice, kFliteVoice}) {
        ASSERT_TRUE(driver_->PlayToFileInit(voice, dir_.path() + QStringLiteral("/wordless.wav")))
            << messages_.all.join(QLatin1Char(';')).toStdString();
        for (const QString& text : {QString(), QStringLiteral("  \r\n\t  ")}) {
            ASSERT_TRUE(driver_->PlayTextToFile(voice, text));
            ASSERT_TRUE(WaitEnded(60000)) << voice.toStdString() << " blank text";
            EXPECT_FALSE(driver_->Reading());
        }
        for (const WordlessInput& input : WordlessFiles()) {
            const QString path = Write(QStringLiteral("wordless.txt"), input.bytes);
            ASSERT_TRUE(driver_->PlayFileToFile(voice, path)) << input.name;
            ASSERT_TRUE(WaitEnded(120000)) << voice.toStdString() << ": " << input.name;
            EXPECT_EQ(driver_->Reader(), nullptr) << input.name;
            EXPECT_FALSE(driver_->Reading()) << input.name;
        }
        EXPECT_EQ(failures_, QStringList{}) << voice.toStdString();
    }
    EXPECT_EQ(completions_, 2 * (2 + int(WordlessFiles().size())));
}

TEST_F(Driver, EveryReadingAloudEndsAlsoWithoutWords) {
    SKIP_WITHOUT_SOUND_DEVICE();
    for (const QString& voice : {kVoice, kFliteVoice}) {
        for (const QString& text : {QString(), QStringLiteral("  \r\n\t  ")}) {
            ASSERT_TRUE(driver_->PlayText(text, voice));
            ASSERT_TRUE(WaitEnded(60000)) << voice.toStdString() << " blank text";
        }
        const WordlessInput input = WordlessFiles().first();
        ASSERT_TRUE(driver_->PlayFile(Write(QStringLiteral("early.txt"), input.bytes), voice));
        ASSERT_TRUE(WaitEnded(60000)) << voice.toStdString() << ": " << input.name;
        EXPECT_EQ(driver_->Reader(), nullptr);
    }
    EXPECT_EQ(failures_, QStringList{});
    EXPECT_EQ(completions_, 6);
}

namespace {

// The driver over the scripted engine, which takes texts and never speaks them.
class ScriptedDriver : public Driver {
  protected:
    void SetUp() override {
        TtsEnumerator::useEngines({&engine_});
        Driver::SetUp();
        ASSERT_FALSE(driver_->Catalogue.voiceList.empty());
        voice_ = driver_->Catalogue.voiceList.front()->Name;
        prefs_.TTS_WaveConvRate = 0;
        ASSERT_TRUE(driver_->PlayToFileInit(voice_, dir_.path() + QStringLiteral("/quiet.wav")));
    }
    void TearDown() override {
        driver_.reset();
        TtsEnumerator::useEngines({});
    }
    scripted::ScriptedModes engine_;
    QString voice_;
};

}  // namespace

TEST_F(ScriptedDriver, ATextTheEngineRefusesIsAFailedStartWithItsReason) {
    QStringList reasons;
    engine_.last->speakResult = 0x80040201;
    reasons << driver_->PlayTextToFile(voice_, QStringLiteral("Some words.")).message();
    engine_.last->speakResult = E_NOTIMPL;
    reasons << driver_->PlayTextToFile(voice_, QStringLiteral("Some words.")).message();
    EXPECT_TRUE(messages_.all.isEmpty()) << "the caller shows the reason";
    EXPECT_EQ(reasons,
              (QStringList{QStringLiteral("The speech recognition or text-to-speech service does "
                                          "not have enough data.\r\nOLE error 80040201"),
                           QStringLiteral("Speak method failed.  csText is not implemented in "
                                          "the Scripted TTS engine")}));
    EXPECT_EQ(driver_->CurrentVoice, nullptr);
    EXPECT_FALSE(driver_->Reading()) << "nobody waits for a completion of a text never spoken";

    engine_.last->speakResult = S_OK;
    EXPECT_TRUE(driver_->PlayTextToFile(voice_, QStringLiteral("Some words.")));
    EXPECT_TRUE(driver_->Reading());
}

TEST_F(ScriptedDriver, AnEngineThatGoesQuietEndsTheReadingAsAnError) {
    driver_->SetQuietLimit(300);
    const QString message =
        QStringLiteral("The reading stopped: the voice %1 gave no speech for 0.3 seconds.")
            .arg(voice_);
    ASSERT_TRUE(driver_->PlayTextToFile(voice_, QStringLiteral("Words that never come.")));
    ASSERT_TRUE(WaitEnded(20000));
    EXPECT_EQ(failures_, QStringList{message});
    EXPECT_EQ(completions_, 0);
    EXPECT_FALSE(driver_->Reading());
    EXPECT_EQ(driver_->CurrentVoice, nullptr);
    EXPECT_EQ(engine_.last->resets, 1) << "what the engine still holds is dropped";
    EXPECT_TRUE(messages_.all.isEmpty()) << "the driver shows nothing itself";

    // A paused reading is quiet on purpose; it is watched again once resumed.
    ASSERT_TRUE(driver_->PlayTextToFile(voice_, QStringLiteral("Paused words.")));
    driver_->Pause();
    EXPECT_FALSE(QTest::qWaitFor([this] { return failures_.size() > 1; }, 1500));
    driver_->Resume();
    ASSERT_TRUE(WaitEnded(20000));
    EXPECT_EQ(failures_.size(), 2);

    // Every observer hears of the failure; one that has gone hears nothing and costs nothing.
    QStringList heard;
    {
        QObject gone;
        QObject::connect(driver_.get(), &TTTSForm::OnError, &gone, [&heard](const QString& text) {
            heard << QStringLiteral("gone ") + text;
        });
    }
    QObject listener;
    QObject::connect(driver_.get(), &TTTSForm::OnError, &listener,
                     [&heard](const QString& text) { heard << text; });
    ASSERT_TRUE(driver_->PlayTextToFile(voice_, QStringLiteral("Two listen.")));
    ASSERT_TRUE(QTest::qWaitFor([&heard] { return !heard.isEmpty(); }, 20000));
    EXPECT_EQ(heard, QStringList{message});
    EXPECT_EQ(failures_.size(), 3);
    EXPECT_EQ(completions_, 0);
}

TEST_F(ScriptedDriver, StoppingBeforeAnyAudioEndsTheReading) {
    ASSERT_TRUE(driver_->PlayTextToFile(voice_, QStringLiteral("Stopped before a sound.")));
    driver_->StopAudio();
    EXPECT_FALSE(driver_->Reading());
    ASSERT_TRUE(WaitEnded(20000));
    EXPECT_EQ(completions_, 1);
    EXPECT_EQ(failures_, QStringList{});
}
