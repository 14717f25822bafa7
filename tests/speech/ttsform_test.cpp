#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");

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
        driver_->OnComplete = [this](TTTSForm*) { ++completions_; };
        driver_->OnWordPosition = [this](TTTSForm*, int64_t position, int64_t size) {
            positions_.push_back(position);
            fileSize_ = size;
        };
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
    std::vector<int64_t> positions_;
    int64_t fileSize_ = -1;
};

}  // namespace

TEST_F(Driver, ReadsATextAloudAndReportsItsEndOnce) {
    ASSERT_TRUE(driver_->PlayText(QStringLiteral("Hello wonderful world"), kVoice))
        << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));
    EXPECT_EQ(positions_, (std::vector<int64_t>{0, 6, 16}));
    EXPECT_EQ(fileSize_, 0);
    EXPECT_EQ(driver_->CurrentVoice, nullptr);
    EXPECT_TRUE(driver_->TTS1.Active()) << "the component stays ready for the next article";
}

TEST_F(Driver, StartsOnlyWithAKnownVoiceAndAFreeSoundCard) {
    EXPECT_FALSE(driver_->Play(QStringLiteral("Nobody")));
    EXPECT_EQ(messages_.errors, QStringList{QStringLiteral("Voice Nobody does not exist")});

    messages_.clear();
    driver_->SoundCardCheck = [](int) { return 1; };
    EXPECT_FALSE(driver_->Play(kVoice));
    EXPECT_EQ(messages_.errors,
              QStringList{QStringLiteral("Sound card is busy.  Wait and try again.")});

    int dialogs = 0;
    bool proceed = false;
    driver_->SoundCardCheck = [](int) { return -1; };
    driver_->SoundCardErrorDialog = [&] {
        ++dialogs;
        return proceed;
    };
    EXPECT_FALSE(driver_->Play(kVoice));
    proceed = true;
    EXPECT_TRUE(driver_->Play(kVoice));
    prefs_.TTS_SoundCardCheckErr = false;
    EXPECT_TRUE(driver_->Play(kVoice));
    EXPECT_EQ(dialogs, 2);
}

TEST_F(Driver, WritesTextsIntoAWaveFile) {
    EXPECT_FALSE(driver_->PlayToFileInit(kVoice, dir_.path() + QStringLiteral("/missing/out.wav")));
    EXPECT_EQ(messages_.errors.value(0), QStringLiteral("Output Directory ") + dir_.path() +
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
}

TEST_F(Driver, SpeaksALargeFileChunkByChunk) {
    QByteArray text;
    for (int i = 0; text.size() < 300 * 1024; ++i) {
        text += "Sentence number " + QByteArray::number(i) + " of a long file. ";
    }
    const QString path = Write(QStringLiteral("long.txt"), text);
    prefs_.TTS_WaveConvRate = 0;
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

    EXPECT_FALSE(driver_->PlayFile(Write(QStringLiteral("empty.txt"), QByteArray()), kVoice));
    EXPECT_EQ(driver_->Reader(), nullptr);
    EXPECT_TRUE(driver_->TTS1.Active());
}

TEST_F(Driver, StoppingWhilePausedEndsTheReading) {
    ASSERT_TRUE(driver_->PlayText(
        QStringLiteral("This is a sentence that takes a few seconds to say aloud."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return positions_.size() >= 2; }, 20000));
    driver_->Pause();
    EXPECT_TRUE(driver_->TTS1.AudioPaused());
    driver_->StopAudio();
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, 20000));

    // A completion cleared before its timer fires is not called.
    ASSERT_TRUE(driver_->PlayText(QStringLiteral("Short."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return driver_->Timer1.isActive(); }, 20000));
    driver_->OnComplete = nullptr;
    EXPECT_FALSE(QTest::qWaitFor([this] { return completions_ == 2; }, 800));
}

TEST_F(Driver, WordOffsetsAreBytesOfWideCharacters) {
    ASSERT_TRUE(driver_->Play(kVoice));
    driver_->TTS1.OnWordPosition(&driver_->TTS1, 0, 9);
    EXPECT_EQ(positions_, std::vector<int64_t>{4});
}

TEST_F(Driver, AnAudioStopWhilePausedCompletesNothing) {
    ASSERT_TRUE(
        driver_->PlayText(QStringLiteral("A sentence that is paused before it ends."), kVoice));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !positions_.empty(); }, 20000));
    driver_->Pause();
    driver_->TTS1.OnAudioStop(&driver_->TTS1, 0);  // as the engine reports it
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
