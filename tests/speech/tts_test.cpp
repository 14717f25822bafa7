#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/synthengine.h"
#include "platform/speechapi/ttsenumerator.h"
#include "platform/speechapi/wavefiledestination.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "speech/eoleerror.h"
#include "speech/espeecherror.h"
#include "speech/tts.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/speech/scriptedmodes.h"

namespace {

QString UsageError(const std::function<void()>& call) {
    try {
        call();
    } catch (const EOleError& error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

class SpeechComponent : public ::testing::Test {
  protected:
    void SetUp() override {
        ProbeSpeechInstallation();
        tts_.SetModeName(englishMode_);
    }
    QTemporaryDir dir_;
    QString englishMode_ = [] {
        QStringList names;
        ListTTSModeNames(names);
        for (const QString& name : names) {
            if (name == QStringLiteral("English (America)")) {
                return name;
            }
        }
        return names.value(0);
    }();
    TTTS tts_;
};

}  // namespace

TEST(SpeechErrors, MessagesCarryTheTextAndTheCode) {
    EXPECT_EQ(ESpeechError(0x80040201).message(),
              QStringLiteral(
                  "The speech recognition or text-to-speech service does not have enough data.\r\n"
                  "OLE error 80040201"));
    EXPECT_EQ(ESpeechError(1).message(),
              QStringLiteral("Incorrect function.\r\nOLE error 00000001"));
    EXPECT_EQ(ESpeechError(0x80040203).message(),
              QStringLiteral("The audio device is in use at this time.\r\nOLE error 80040203"));
}

TEST_F(SpeechComponent, SpeaksIntoAWaveFileWithEventsAndCompletesItOnDeactivation) {
    QStringList events;
    QObject::connect(&tts_, &TTTS::OnAudioStart, [&] { events << QStringLiteral("start"); });
    QObject::connect(&tts_, &TTTS::OnAudioStop, [&] { events << QStringLiteral("stop"); });
    QObject::connect(&tts_, &TTTS::OnWordPosition,
                     [&](uint64_t, uint32_t offset) { events << QString::number(offset); });
    QObject::connect(&tts_, &TTTS::OnTextDataDone, [&] { events << QStringLiteral("done"); });
    tts_.OutputDest = odFile;
    EXPECT_EQ(
        UsageError([&] { tts_.SetActive(true); }),
        QStringLiteral(
            "OutputDest of odFile requres a valid path and file name in the OutputFile property"));
    const QString file = dir_.path() + QStringLiteral("/speech.wav");
    tts_.SetOutputFile(file);
    tts_.SetActive(true);
    tts_.SetActive(true);  // once is enough
    ASSERT_TRUE(tts_.Active());
    tts_.Speak(QStringLiteral("Hello wonderful world"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.contains(QStringLiteral("stop")); }, 20000));
    EXPECT_EQ(events, (QStringList{"start", "0", "12", "32", "done", "stop"}));
    tts_.SetActive(false);
    QProcess soxi;
    soxi.start(QStringLiteral("soxi"), {QStringLiteral("-D"), file});
    ASSERT_TRUE(soxi.waitForFinished());
    EXPECT_GT(soxi.readAllStandardOutput().trimmed().toDouble(), 0.6);
    tts_.SetActive(false);  // inactive already: nothing happens
    EXPECT_FALSE(tts_.Active());
}

TEST_F(SpeechComponent, MisuseIsReportedWithItsOwnText) {
    EXPECT_EQ(
        UsageError([&] { tts_.Speak(QStringLiteral("x")); }),
        QStringLiteral("The Active property must be TRUE before the Speak method can be called"));
    EXPECT_EQ(
        UsageError([&] { tts_.SetPitch(5); }),
        QStringLiteral("The Active property must be TRUE before the Pitch method can be called"));
    EXPECT_EQ(UsageError([&] { tts_.SetModeName(QStringLiteral("No such voice")); }),
              QStringLiteral("The value assigned to the ModeName property is invalid"));
    EXPECT_EQ(UsageError([&] { tts_.SetControlTags(ctTagged); }),
              QStringLiteral("Control Tagging is not implemented in the eSpeak NG engine"));
    EXPECT_EQ(tts_.ControlTags(), ctNone);

    tts_.OutputDest = odFile;
    tts_.SetOutputFile(dir_.path() + QStringLiteral("/m.wav"));
    tts_.SetActive(true);
    EXPECT_EQ(UsageError([&] { tts_.SetModeName(QStringLiteral("Default")); }),
              QStringLiteral(
                  "The Active property must be FALSE before you can set the ModeName property"));
    EXPECT_EQ(
        UsageError([&] { tts_.ShowLexiconDlg(nullptr, QString()); }),
        QStringLiteral("The ShowLexiconDlg function is not implemented in the eSpeak NG engine"));
    // The limits are found by setting extremes; the engine is left as it was, and keeps a
    // value inside them while it clamps one outside.
    tts_.SetPitch(60);
    const int minPitch = tts_.MinPitch();
    const int maxPitch = tts_.MaxPitch();
    const uint32_t minSpeed = tts_.MinSpeed();
    const uint32_t maxSpeed = tts_.MaxSpeed();
    EXPECT_EQ(tts_.Pitch(), 60);
    ASSERT_LT(minPitch, maxPitch);
    ASSERT_LT(minSpeed, maxSpeed);
    EXPECT_GT(minSpeed, 0u) << "no engine speaks at no speed";
    const uint32_t between = (minSpeed + maxSpeed) / 2;
    tts_.SetSpeed(between);
    EXPECT_EQ(tts_.Speed(), between);
    tts_.SetSpeed(maxSpeed * 2);
    EXPECT_EQ(tts_.Speed(), maxSpeed);
    tts_.SetPitch(maxPitch + 1000);
    EXPECT_EQ(tts_.Pitch(), maxPitch);
    tts_.SetActive(false);
}

TEST_F(SpeechComponent, TheAudioDeviceIsOneTheServerOffers) {
    SKIP_WITHOUT_SOUND_DEVICE();
    const int devices = WaveOutDevices::count();
    tts_.SetAudioDeviceID(devices);
    EXPECT_EQ(tts_.AudioDeviceID(), devices);
    EXPECT_EQ(
        UsageError([&] { tts_.SetAudioDeviceID(devices + 1); }),
        QStringLiteral(
            "The value specified for the AudioDeviceID is outside the range of available IDs"));
    EXPECT_EQ(
        UsageError([&] { tts_.SetAudioDeviceID(-2); }),
        QStringLiteral(
            "The value specified for the AudioDeviceID is outside the range of available IDs"));
    tts_.SetAudioDeviceID(-1);
}

TEST_F(SpeechComponent, ModesAreListedAndFoundByName) {
    QStringList names;
    EXPECT_EQ(ListTTSModeNames(names), S_OK);
    // Both engines' voices are there, whatever their versions hold.
    EXPECT_TRUE(names.contains(QStringLiteral("English (America)")));
    EXPECT_TRUE(names.contains(QStringLiteral("kal")));
    EXPECT_EQ(names.removeDuplicates(), 0) << "names identify modes";
    EXPECT_FALSE(FindTTSModeID(QStringLiteral("  ") + names.last() + QStringLiteral(" ")).isNull());
    EXPECT_TRUE(FindTTSModeID(QStringLiteral("nothing like it")).isNull());
    TTTS fresh;
    EXPECT_EQ(fresh.ModeName(), QStringLiteral("Default"));
    fresh.SetModeID(FindTTSModeID(names.last()));
    EXPECT_EQ(fresh.ModeName(), names.last());
}

namespace {

using scripted::ScriptedModes;

class ScriptedComponent : public ::testing::Test {
  protected:
    void SetUp() override {
        TtsEnumerator::useEngines({&engine_});
        ProbeSpeechInstallation();
    }
    void TearDown() override { TtsEnumerator::useEngines({}); }
    void Activate(TTTS& tts) {
        tts.SetModeName(QStringLiteral("Mary"));
        tts.OutputDest = odFile;
        tts.SetOutputFile(dir_.path() + QStringLiteral("/scripted.wav"));
        tts.SetActive(true);
    }
    QString SpeechError(const std::function<void()>& call) {
        try {
            call();
        } catch (const ESpeechError& error) {
            return error.message();
        }
        return QStringLiteral("<no error>");
    }
    ScriptedModes engine_;
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(ScriptedComponent, ResultCodesOfTheServiceBecomeSpeechErrors) {
    TTTS tts;
    Activate(tts);
    engine_.last->speakResult = 1;
    EXPECT_EQ(SpeechError([&] { tts.Speak(QStringLiteral("x")); }),
              QStringLiteral("Incorrect function.\r\nOLE error 00000001"));
    engine_.last->speakResult = 0x80040201;
    EXPECT_EQ(SpeechError([&] { tts.Speak(QStringLiteral("x")); }),
              QStringLiteral(
                  "The speech recognition or text-to-speech service does not have enough data.\r\n"
                  "OLE error 80040201"));
    engine_.last->speakResult = E_NOTIMPL;
    EXPECT_EQ(UsageError([&] { tts.Speak(QStringLiteral("x")); }),
              QStringLiteral(
                  "Speak method failed.  csText is not implemented in the Scripted TTS engine"));
}

TEST_F(ScriptedComponent, PitchThatIsNotImplementedIsLeftAlone) {
    TTTS tts;
    Activate(tts);
    EXPECT_EQ(tts.MaxPitch(), 100);
    EXPECT_EQ(tts.MinPitch(), 0);
    EXPECT_EQ(engine_.last->pitchSets, 0) << "the probe does not touch an engine without pitch";
    EXPECT_EQ(tts.Pitch(), -1);
    tts.SetPitch(10);  // not implemented: no error
    EXPECT_EQ(tts.Speed(), 7u);
}

TEST_F(ScriptedComponent, AModeWithoutDialogsFailsToActivateAndLeavesNothingRegistered) {
    engine_.withDialogs = false;
    TTTS tts;
    EXPECT_EQ(UsageError([&] { Activate(tts); }),
              QStringLiteral("Could''t create TTSDialogs Object. Is it registered?"));
    EXPECT_FALSE(tts.Active());
    EXPECT_EQ(engine_.registered, 0);
}

TEST_F(SpeechComponent, PhonemesWhereTheEngineGivesThem) {
    tts_.OutputDest = odFile;
    tts_.SetOutputFile(dir_.path() + QStringLiteral("/p.wav"));
    tts_.SetActive(true);
    const QString ipa = tts_.ConvertToPhoneme(csIPAPhonetic, 0, QStringLiteral("hello world"));
    EXPECT_TRUE(ipa.contains(QStringLiteral("l")) && ipa.contains(QStringLiteral("w")))
        << ipa.toStdString();
    EXPECT_FALSE(tts_.ConvertToPhoneme(csEnginePhonetic, 0, QStringLiteral("hello")).isEmpty());
    tts_.SetActive(false);
}

TEST_F(SpeechComponent, AnOtherDestinationIsMadeByWhoeverAnswersTheEvent) {
    tts_.OutputDest = odOther;
    EXPECT_EQ(UsageError([&] { tts_.SetActive(true); }),
              QStringLiteral(
                  "An OnMakeOtherDest event must be defined to use an OutputDest of odOther."));
    EXPECT_FALSE(tts_.Active());

    QObject receiver;
    QObject::connect(&tts_, &TTTS::OnMakeOtherDest, &receiver, [](AudioDestination*&) {});
    EXPECT_EQ(UsageError([&] { tts_.SetActive(true); }),
              QStringLiteral("OnMakeOtherDest must assign DestInterface parameter"));
    EXPECT_FALSE(tts_.Active());

    const QString file = dir_.path() + QStringLiteral("/other.wav");
    QObject maker;
    QObject::connect(&tts_, &TTTS::OnMakeOtherDest, &maker,
                     [&file](AudioDestination*& made) { made = new WaveFileDestination(file); });
    tts_.SetActive(true);
    ASSERT_TRUE(tts_.Active());
    tts_.Speak(QStringLiteral("Elsewhere."));
    QSignalSpy stopped(&tts_, &TTTS::OnAudioStop);
    ASSERT_TRUE(stopped.wait(20000));
    tts_.SetActive(false);
    EXPECT_GT(QFileInfo(file).size(), 44) << "the made destination took the speech";
}
