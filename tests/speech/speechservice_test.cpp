#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "platform/speechapi/soundcarddestination.h"
#include "platform/speechapi/ttscentral.h"
#include "platform/speechapi/ttsenumerator.h"
#include "platform/speechapi/wavefiledestination.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/speech/independentdata.h"

namespace {

// Records every notification as a line of text, in order of arrival.
class Recorder : public ITTSNotifySinkW, public ITTSBufNotifySink {
  public:
    HRESULT AttribChanged(uint32_t) override { return S_OK; }
    HRESULT AudioStart(uint64_t) override { return log(QStringLiteral("audio start")); }
    HRESULT AudioStop(uint64_t) override {
        ++stops;
        return log(QStringLiteral("audio stop"));
    }
    HRESULT Visual(uint64_t, QChar, QChar, uint32_t) override { return S_OK; }
    HRESULT TextDataDone(uint64_t, uint32_t) override { return log(QStringLiteral("done")); }
    HRESULT TextDataStarted(uint64_t) override { return log(QStringLiteral("started")); }
    HRESULT BookMark(uint64_t, uint32_t) override { return S_OK; }
    HRESULT WordPosition(uint64_t, uint32_t offset) override {
        ++words;
        return log(QStringLiteral("word %1").arg(offset));
    }
    HRESULT log(const QString& line) {
        lines << line;
        return S_OK;
    }
    QStringList lines;
    int stops = 0;
    int words = 0;
};

QUuid modeOf(const QString& product, const QString& speaker) {
    for (const TTSMODEINFO& mode : TtsEnumerator::modes()) {
        if (mode.szProductName == product && mode.szSpeaker == speaker) {
            return mode.gModeID;
        }
    }
    return {};
}

QString soxi(const QString& flag, const QString& file) {
    QProcess soxi;
    soxi.start(QStringLiteral("soxi"), {flag, file});
    soxi.waitForFinished();
    return QString::fromUtf8(soxi.readAllStandardOutput()).trimmed();
}

class SpeechService : public ::testing::Test {
  protected:
    std::unique_ptr<ITTSCentralW> activate(const QUuid& mode, const QString& file) {
        std::unique_ptr<ITTSCentralW> central;
        TtsEnumerator enumerator;
        EXPECT_EQ(enumerator.Select(mode, &central, std::make_unique<WaveFileDestination>(file)),
                  S_OK);
        uint32_t key = 0;
        EXPECT_EQ(central->Register(&m_recorder, &key), S_OK);
        return central;
    }
    QTemporaryDir m_dir;
    Recorder m_recorder;
    HRESULT m_unregistered = S_FALSE;
};

}  // namespace

TEST_F(SpeechService, TheModesOfBothEnginesWithStableIdentifiers) {
    const QList<TTSMODEINFO>& modes = TtsEnumerator::modes();
    QSet<QUuid> ids;
    QStringList espeakVoices, fliteVoices;
    for (const TTSMODEINFO& mode : modes) {
        ids.insert(mode.gModeID);
        (mode.szProductName == QStringLiteral("Flite") ? fliteVoices : espeakVoices)
            << mode.szSpeaker;
    }
    EXPECT_EQ(ids.size(), modes.size()) << "one identifier per mode";
    espeakVoices.sort();
    EXPECT_EQ(espeakVoices, independent::espeakVoiceFiles()) << "every voice of espeak-ng";
    EXPECT_EQ(fliteVoices, (QStringList{"kal", "kal16", "awb", "rms", "slt"}));
    const QUuid slt = modeOf(QStringLiteral("Flite"), QStringLiteral("slt"));
    EXPECT_EQ(slt,
              QUuid::createUuidV5(QUuid(QStringLiteral("{5b7e1c2a-3f4d-4e8a-9b61-2c0d7a9e4f10}")),
                                  QStringLiteral("Flite/slt")));

    TtsEnumerator enumerator;
    TTSMODEINFO found;
    ASSERT_EQ(enumerator.Find({}, nullptr, &found), S_OK);
    EXPECT_EQ(found.gModeID, modes.first().gModeID);
    TTSMODEINFO byId;
    byId.gModeID = slt;
    TTSMODEINFORANK ranks;
    ranks.dwModeID = 10;
    ASSERT_EQ(enumerator.Find(byId, &ranks, &found), S_OK);
    EXPECT_EQ(found.szSpeaker, QStringLiteral("slt"));
    EXPECT_EQ(found.language, 0x0409);

    TTSMODEINFO batch[3];
    uint32_t fetched = 0;
    enumerator.Reset();
    EXPECT_EQ(enumerator.Next(3, batch, &fetched), S_OK);
    EXPECT_EQ(fetched, 3u);
    std::unique_ptr<ITTSCentralW> central;
    EXPECT_EQ(enumerator.Select(
                  QUuid::createUuid(), &central,
                  std::make_unique<WaveFileDestination>(m_dir.path() + QStringLiteral("/x.wav"))),
              TTSERR_INVALIDMODE);
}

TEST_F(SpeechService, SpeakingIntoAWaveFile) {
    const QString file = m_dir.path() + QStringLiteral("/hello.wav");
    auto central = activate(modeOf(QStringLiteral("eSpeak NG"), QStringLiteral("gmw/en-US")), file);
    const QString text = QStringLiteral("Hello wonderful world");
    ASSERT_EQ(central->TextData(CHARSET_TEXT, 0, text, &m_recorder), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_recorder.stops == 1; }, 20000));
    // Each word at the byte offset of its first character in the UTF-16 text.
    QStringList expected{"audio start", "started"};
    for (const auto& [start, length] : independent::words(text)) {
        expected << QStringLiteral("word %1").arg(start * 2);
    }
    expected << QStringLiteral("done") << QStringLiteral("audio stop");
    EXPECT_EQ(m_recorder.lines, expected);
    ASSERT_TRUE(central->destination()->flush());
    EXPECT_EQ(soxi(QStringLiteral("-c"), file), QStringLiteral("1"));
    EXPECT_EQ(soxi(QStringLiteral("-b"), file), QStringLiteral("16"));
    const double seconds = soxi(QStringLiteral("-D"), file).toDouble();
    EXPECT_GT(seconds, 0.6);
    EXPECT_LT(seconds, 4.0);
}

TEST_F(SpeechService, SpeedAndPitchAreClampedToTheEngineAndChangeTheSpeech) {
    const QUuid kal = modeOf(QStringLiteral("Flite"), QStringLiteral("kal16"));
    const auto speakAt = [&](uint32_t speed, const QString& name) {
        const QString file = m_dir.path() + name;
        auto central = activate(kal, file);
        central->attributes()->SpeedSet(speed);
        const int before = m_recorder.stops;
        central->TextData(CHARSET_TEXT, 0,
                          QStringLiteral("The quick brown fox jumps over the lazy dog."),
                          &m_recorder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_recorder.stops == before + 1; }, 20000));
        central->destination()->flush();
        return soxi(QStringLiteral("-s"), file).toLongLong();
    };
    auto central = activate(kal, m_dir.path() + QStringLiteral("/limits.wav"));
    ITTSAttributesW* attributes = central->attributes();
    // The engine's own range, found by asking for the extremes.
    uint16_t normalPitch = 0, lowest = 0, highest = 0;
    attributes->PitchGet(&normalPitch);
    attributes->PitchSet(0);
    attributes->PitchGet(&lowest);
    attributes->PitchSet(0xFFFF);
    attributes->PitchGet(&highest);
    EXPECT_LT(lowest, highest);
    EXPECT_LE(lowest, normalPitch);
    EXPECT_LE(normalPitch, highest);
    const uint16_t pitchInside = uint16_t((lowest + highest) / 2);
    attributes->PitchSet(pitchInside);
    uint16_t pitch = 0;
    attributes->PitchGet(&pitch);
    EXPECT_EQ(pitch, pitchInside) << "a pitch inside the range is kept as it is";

    uint32_t normalSpeed = 0, slowest = 0, fastest = 0, speed = 0;
    attributes->SpeedGet(&normalSpeed);
    attributes->SpeedSet(0);
    attributes->SpeedGet(&slowest);
    attributes->SpeedSet(0xFFFFFFFF);
    attributes->SpeedGet(&fastest);
    EXPECT_LT(slowest, normalSpeed);
    EXPECT_LT(normalSpeed, fastest);
    // Control tags in the text set the speed the same way.
    const uint32_t speedInside = (slowest + fastest) / 2;
    central->Inject(QStringLiteral("\\Spd=%1\\").arg(speedInside));
    attributes->SpeedGet(&speed);
    EXPECT_EQ(speed, speedInside);
    central->Inject(QStringLiteral("\\Spd=%1\\").arg(uint64_t(fastest) + 1000));
    attributes->SpeedGet(&speed);
    EXPECT_EQ(speed, fastest);
    EXPECT_EQ(central->dialogs()->AboutDlg(nullptr, QString()), E_NOTIMPL);

    const int64_t normal = speakAt(normalSpeed, QStringLiteral("/normal.wav"));
    const int64_t slow = speakAt(0, QStringLiteral("/slow.wav"));  // taken as the slowest
    EXPECT_GT(slow, normal * 3 / 2);
}

TEST_F(SpeechService, AResetStopsAtOnce) {
    const QString file = m_dir.path() + QStringLiteral("/reset.wav");
    auto central = activate(modeOf(QStringLiteral("eSpeak NG"), QStringLiteral("gmw/en-US")), file);
    central->attributes()->RealTimeSet(256);  // real time, so the reset comes long before the end
    QString text;
    for (int i = 0; i < 40; ++i) {
        text += QStringLiteral("This sentence is one of many. ");
    }
    central->TextData(CHARSET_TEXT, 0, text, &m_recorder);
    central->TextData(CHARSET_TEXT, 0, text, &m_recorder);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_recorder.words >= 2; }, 20000));
    EXPECT_EQ(central->AudioReset(), S_OK);
    EXPECT_EQ(m_recorder.stops, 1);
    const int words = m_recorder.words;
    central->attributes()->RealTimeSet(0);
    central->TextData(CHARSET_TEXT, 0, QStringLiteral("Again"), &m_recorder);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_recorder.stops == 2; }, 20000));
    EXPECT_EQ(m_recorder.words, words + 1) << "nothing of the discarded texts arrives later";
    central->destination()->flush();
    EXPECT_LT(soxi(QStringLiteral("-D"), file).toDouble(), 30.0);
}

TEST_F(SpeechService, SpeakingToTheSoundCardFollowsThePlayback) {
    SKIP_WITHOUT_SOUND_DEVICE();
    auto destination = std::make_unique<SoundCardDestination>(-1);
    ASSERT_TRUE(destination->isValid());
    std::unique_ptr<ITTSCentralW> central;
    TtsEnumerator enumerator;
    ASSERT_EQ(enumerator.Select(modeOf(QStringLiteral("eSpeak NG"), QStringLiteral("gmw/en-US")),
                                &central, std::move(destination)),
              S_OK);
    uint32_t key = 0;
    central->Register(&m_recorder, &key);
    const QString text = QStringLiteral("Hello wonderful world, and all the people in it.");
    central->TextData(CHARSET_TEXT, 0, text, &m_recorder);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_recorder.words >= 2; }, 20000));
    EXPECT_EQ(m_recorder.stops, 0) << "words are released as the playback reaches them";
    central->AudioPause();
    const int64_t played = central->destination()->played();
    // While paused nothing is played and the audio does not stop.
    EXPECT_FALSE(
        QTest::qWaitFor([&] { return central->destination()->played() > played + 2205; }, 500));
    EXPECT_EQ(m_recorder.stops, 0);
    central->AudioResume();
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_recorder.stops == 1; }, 20000));
    EXPECT_EQ(m_recorder.words, int(independent::words(text).size()));
    EXPECT_EQ(m_recorder.lines.first(), QStringLiteral("audio start"));
    EXPECT_EQ(m_recorder.lines.last(), QStringLiteral("audio stop"));
    EXPECT_GE(central->destination()->played(), central->destination()->written() - 2205);

    // A reset on the sound card stops at once.
    const int spoken = m_recorder.words;
    central->TextData(CHARSET_TEXT, 0,
                      QStringLiteral("One more sentence that will not be finished."), &m_recorder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_recorder.words > spoken; }, 20000));
    central->AudioReset();
    EXPECT_EQ(m_recorder.stops, 2);
    m_unregistered = central->UnRegister(key);
    EXPECT_EQ(m_unregistered, S_OK);
}
