#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/lexiconspeaker.h"
#include "platform/speechapi/pronunciationlexicon.h"
#include "platform/speechapi/ttsenumerator.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/speech/scriptedmodes.h"

namespace {

const QString kEspeakVoice = QStringLiteral("eSpeak English (America)");
const QString kFliteVoice = QStringLiteral("Flite kal");
const QString kTitle = QStringLiteral("Quillsong MP3 Pronunciation");
const QString kNotEnabled = QStringLiteral(
    "Microsoft TTS Engine is not enabled\r\rQuillsong MP3 has detected that you have disabled "
    "the Microsoft\rText-To-Speech engine.  The engine must be enabled for the\rPronunciation "
    "Editor to work.\r\rPlease select the Engines/Voices tab on the options panel and enable\r"
    "the engine.");
const QString kScriptedHasNoDialog =
    QStringLiteral("The ShowLexiconDlg function is not implemented in the Scripted TTS engine");
constexpr int kSpeechTimeoutMs = 60000;

// What the program's lexicon dialog was asked to show, and what held while it was open.
struct DialogCall {
    PronunciationLexicon::DialogRequest request;
    bool active = false;
    QUuid mode;
};

// The speaking driver over the engines a test names (none: the installed ones), with the
// pronunciation editor launched against a stand-in window.
class Launch : public ::testing::Test {
  protected:
    void SetUp() override { Start({&scripted_, &espeak_}); }
    void TearDown() override {
        driver_.reset();
        TtsEnumerator::useEngines({});
        PronunciationLexicon::setDialog({});
    }
    void Start(const QList<SynthEngine*>& engines) {
        driver_.reset();
        TtsEnumerator::useEngines(engines);
        testprofile::Reset();
        prefs_.ReadAll();
        prefs_.ApplyStoredValues();
        prefs_.TTS_WaveConvRate = 0;
        ProbeSpeechInstallation();
        driver_ = std::make_unique<TTTSForm>(prefs_);
        driver_->Initialize();
        prefs_.ReadAll();  // with the engines' and voices' settings, registered by Initialize
        driver_->LoadVoiceSettings();
        prefs_.TTS_WaveConvRate = 0;
        driver_->SetSoundCardGate(std::make_unique<NoSoundCardGate>());
        infos_ = 0;
        completions_ = 0;
        QObject::connect(driver_.get(), &TTTSForm::OnPronEditorInfo, [this] {
            ++infos_;
            EXPECT_FALSE(driver_->TTS1.Active()) << "the information comes before the voice";
        });
        QObject::connect(driver_.get(), &TTTSForm::OnComplete, [this] { ++completions_; });
        messages_.clear();
        told_.clear();
    }
    // The name of the scripted engine's voice in the catalogue.
    QString Mary() const {
        for (const auto& voice : driver_->Catalogue.voiceList) {
            if (voice->Engine->Maker == QStringLiteral("Microsoft")) {
                return voice->Name;
            }
        }
        return QString();
    }
    void UseDialog(uint32_t answer = S_OK) {
        PronunciationLexicon::setDialog(
            [this, answer](const PronunciationLexicon::DialogRequest& r) {
                calls_.push_back({r, driver_->TTS1.Active(), driver_->TTS1.ModeID()});
                return answer;
            });
    }
    // What the driver returns for the window to tell; it shows nothing itself.
    void LaunchEditor() {
        const TTTSForm::EditorMessage message =
            driver_->LaunchPronunciationEditor(&window_, kTitle);
        EXPECT_EQ(messages_.all, QStringList{}) << "no message box below the window";
        if (!message.text.isEmpty()) {
            (message.kind == UserMessage::Kind::Error ? told_.errors : told_.messages)
                << message.text;
            told_.all << message.text;
        }
    }

    scripted::ScriptedModes scripted_;
    EspeakEngine espeak_;
    TPreferences prefs_;
    std::unique_ptr<TTTSForm> driver_;
    CapturedMessages messages_;
    struct {
        QStringList errors, messages, all;
        void clear() { errors = messages = all = {}; }
    } told_;
    QTemporaryDir dir_;
    QObject window_;
    int infos_ = 0;
    int completions_ = 0;
    std::vector<DialogCall> calls_;
};

}  // namespace

TEST_F(Launch, DoesNothingWhileTheComponentIsActive) {
    UseDialog();
    prefs_.ShowPronEditWarning = true;
    driver_->Catalogue.SetMakerEnabled(QStringLiteral("Microsoft"), false);
    ASSERT_TRUE(driver_->PlayToFileInit(kEspeakVoice, dir_.filePath(QStringLiteral("read.wav"))));
    ASSERT_TRUE(driver_->PlayTextToFile(
        kEspeakVoice, QStringLiteral("A reading that is still going on when the editor is "
                                     "asked for, and goes on to its end all the same.")));
    ASSERT_TRUE(driver_->Reading());
    LaunchEditor();
    EXPECT_TRUE(driver_->Reading());
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, kSpeechTimeoutMs));

    // Done, but not closed yet: still nothing.
    ASSERT_TRUE(driver_->TTS1.Active());
    LaunchEditor();
    EXPECT_EQ(told_.all, QStringList{});
    EXPECT_EQ(infos_, 0);
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(driver_->TTS1.Active());

    // Once closed, the launch goes ahead (and meets the disabled engine).
    driver_->TTS1.SetActive(false);
    LaunchEditor();
    EXPECT_EQ(told_.errors, QStringList{kNotEnabled});
}

TEST_F(Launch, ADisabledMicrosoftEngineIsToldAndNothingIsActivated) {
    UseDialog();
    prefs_.ShowPronEditWarning = true;
    driver_->Catalogue.SetMakerEnabled(QStringLiteral("Microsoft"), false);
    LaunchEditor();
    EXPECT_EQ(told_.errors, QStringList{kNotEnabled});
    EXPECT_EQ(told_.messages, QStringList{});
    EXPECT_EQ(infos_, 0) << "the information is not given for an engine that cannot be used";
    EXPECT_TRUE(calls_.empty());
    EXPECT_FALSE(driver_->TTS1.Active());
    EXPECT_EQ(scripted_.last, nullptr) << "no voice of the engine was activated";
}

TEST_F(Launch, TheInformationIsWantedOnlyWhenOtherMakersEnginesAreThereAndItIsOn) {
    SKIP_WITHOUT_SOUND_DEVICE();
    prefs_.ShowPronEditWarning = true;
    LaunchEditor();
    EXPECT_EQ(infos_, 1);
    EXPECT_EQ(told_.errors, QStringList{kScriptedHasNoDialog});
    EXPECT_FALSE(driver_->TTS1.Active());

    prefs_.ShowPronEditWarning = false;
    told_.clear();
    LaunchEditor();
    EXPECT_EQ(infos_, 1) << "turned off";
    EXPECT_EQ(told_.errors, QStringList{kScriptedHasNoDialog});

    // Only the Microsoft engine: the information would say nothing new.
    Start({&scripted_});
    prefs_.ShowPronEditWarning = true;
    LaunchEditor();
    EXPECT_EQ(infos_, 0);
    EXPECT_EQ(told_.errors, QStringList{kScriptedHasNoDialog});
    EXPECT_FALSE(driver_->TTS1.Active());
}

TEST_F(Launch, TheMicrosoftVoiceOpensTheDialogWhateverTheDefaultVoice) {
    SKIP_WITHOUT_SOUND_DEVICE();
    const QString mary = Mary();
    ASSERT_FALSE(mary.isEmpty());
    const QUuid maryMode = driver_->FindVoice(mary)->ModeID;
    UseDialog();  // the program's dialog is for its own engines: Mary's engine answers itself

    // A reading into a file first: the launch must not open that file again.
    const QString wave = dir_.filePath(QStringLiteral("earlier.wav"));
    ASSERT_TRUE(driver_->PlayToFileInit(kEspeakVoice, wave));
    ASSERT_TRUE(driver_->PlayTextToFile(kEspeakVoice, QStringLiteral("Written before.")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return completions_ == 1; }, kSpeechTimeoutMs));
    driver_->TTS1.SetActive(false);
    QFile file(wave);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    ASSERT_GT(written.size(), 1000);

    for (const QString& defaultVoice : {kEspeakVoice, mary}) {
        SCOPED_TRACE(defaultVoice.toStdString());
        prefs_.TTS_DefaultVoiceName = defaultVoice;
        told_.clear();
        LaunchEditor();
        EXPECT_EQ(driver_->TTS1.ModeID(), maryMode);
        EXPECT_EQ(told_.errors, QStringList{kScriptedHasNoDialog})
            << "the dialog was asked of Mary's engine";
        EXPECT_FALSE(driver_->TTS1.Active());
        EXPECT_EQ(driver_->TTS1.OutputDest, odAudioDevice);
    }
    EXPECT_TRUE(calls_.empty());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), written) << "the earlier file is left alone";
}

TEST_F(Launch, WithoutAMicrosoftEngineTheDefaultVoiceOpensTheProgramsDialog) {
    Start({});  // the installed engines only
    SKIP_WITHOUT_SOUND_DEVICE();
    ASSERT_EQ(driver_->Catalogue.engines.FindEngineByName(QStringLiteral("Microsoft")), nullptr);
    prefs_.ShowPronEditWarning = true;

    // No dialog of the program's: the engine answers as the service does.
    prefs_.TTS_DefaultVoiceName = kEspeakVoice;
    LaunchEditor();
    EXPECT_EQ(told_.errors,
              QStringList{QStringLiteral(
                  "The ShowLexiconDlg function is not implemented in the eSpeak NG engine")});
    EXPECT_FALSE(driver_->TTS1.Active());

    // The program's dialog, which tries a word with the voice while it is open.
    QSignalSpy stops(&driver_->TTS1, &TTTS::OnAudioStop);
    PronunciationLexicon::setDialog([&](const PronunciationLexicon::DialogRequest& request) {
        calls_.push_back({request, driver_->TTS1.Active(), driver_->TTS1.ModeID()});
        const qsizetype before = stops.count();
        request.speaker->sayWithLexicon(QStringLiteral("Nguyen."));
        EXPECT_TRUE(QTest::qWaitFor([&] { return stops.count() > before; }, kSpeechTimeoutMs));
        return S_OK;
    });
    const struct {
        QString voice;
        bool phonemes;
    } voices[] = {{kEspeakVoice, true}, {kFliteVoice, false}};
    for (const auto& v : voices) {
        SCOPED_TRACE(v.voice.toStdString());
        prefs_.TTS_DefaultVoiceName = v.voice;
        told_.clear();
        calls_.clear();
        LaunchEditor();
        ASSERT_EQ(calls_.size(), 1u);
        const DialogCall& call = calls_.front();
        EXPECT_EQ(call.request.window, &window_);
        EXPECT_EQ(call.request.title, kTitle);
        EXPECT_NE(call.request.speaker, nullptr);
        EXPECT_EQ(call.request.voiceLanguage, QStringLiteral("en-us"));
        EXPECT_EQ(call.request.acceptsPhonemes, v.phonemes);
        EXPECT_TRUE(call.active);
        EXPECT_EQ(call.mode, driver_->FindVoice(v.voice)->ModeID);
        EXPECT_EQ(told_.all, QStringList{});
        EXPECT_EQ(infos_, 0) << "the lexicon serves every engine: nothing to warn about";
        EXPECT_FALSE(driver_->TTS1.Active());
        EXPECT_FALSE(driver_->Reading());
    }
    EXPECT_FALSE(QTest::qWaitFor([this] { return completions_ > 0; }, 1500))
        << "what the dialog says is no reading";
}
