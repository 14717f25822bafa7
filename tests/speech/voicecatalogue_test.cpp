#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/speechapi/synthengine.h"
#include "platform/speechapi/ttsenumerator.h"
#include "platform/speechapi/wavefiledestination.h"
#include "settings/preferences.h"
#include "speech/languagetables.h"
#include "speech/voicecatalogue.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"

namespace {

// An engine of the makers of old, which this machine does not have: it lists the voices it is
// given and speaks silence.
class ScriptedEngine : public SynthEngine {
  public:
    struct Voice {
        const char* maker;
        const char* name;
        const char* speaker;
        const char* language;
    };
    explicit ScriptedEngine(std::initializer_list<Voice> voices) : m_voices(voices) {}
    QString name() const override { return QStringLiteral("Scripted"); }
    QList<SynthVoice> voices() override {
        QList<SynthVoice> list;
        for (const Voice& v : m_voices) {
            list.append({QStringLiteral("Scripted"), QString::fromUtf8(v.maker),
                         QStringLiteral("Scripted TTS"), QString::fromUtf8(v.name),
                         QString::fromUtf8(v.speaker), QString::fromUtf8(v.language), 0});
        }
        return list;
    }
    int sampleRate(const SynthVoice&) override { return 11025; }
    SynthParams defaultParams(const SynthVoice&) override { return {100, 100}; }
    SynthParams minParams() const override { return {50, 50}; }
    SynthParams maxParams() const override { return {200, 200}; }
    bool speak(const SynthVoice&, const QString&, const SynthParams&, SynthSink&) override {
        return true;
    }

  private:
    std::vector<Voice> m_voices;
};

class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        testprofile::Reset();
        m_prefs.ReadAll();
        m_prefs.ApplyStoredValues();
    }
    void TearDown() override { TtsEnumerator::useEngines({}); }
    TPreferences m_prefs;
    QTemporaryDir m_dir;
};

QStringList voiceNames(const VoiceCatalogue& catalogue) {
    QStringList names;
    for (const auto& voice : catalogue.voiceList) {
        names << voice->Name;
    }
    return names;
}

}  // namespace

TEST_F(Catalogue, TheMakersOfOldAreNamedByTheirRules) {
    ScriptedEngine engine{{"Microsoft", "Mary", "Mary", "en-us"},
                          {"Microsoft", "Mike (Telephone)", "Mike", "en-us"},
                          {"Microsoft", "Robo", "Robo", "en-us"},
                          {"Lernout & Hauspie", "Kathrin", "Kathrin", "de"},
                          {"ELAN Informatique", "Ben", "Ben", "en-us"},
                          {"Other Corp", "Nobody", "Nobody", "en-us"},
                          {"Lernout & Hauspie", "Nameless", "Nameless", "xx"}};
    TtsEnumerator::useEngines({&engine});
    m_prefs.TTS_DefaultVoiceName = QStringLiteral("Gone Voice");
    VoiceCatalogue catalogue;
    catalogue.Initialize(m_prefs);
    // In enumeration order: the user's language (the tests run in US English) first.
    EXPECT_EQ(voiceNames(catalogue),
              (QStringList{"Mary", "Robo", "Digalo Ben", "Kathrin (German)"}));
    QStringList engines;
    for (int i = 0; i < catalogue.engines.count(); ++i) {
        engines << catalogue.engines.at(i)->Name;
    }
    EXPECT_EQ(engines, (QStringList{"Microsoft", "Digalo - US English", "L & H - German"}));
    EXPECT_EQ(catalogue.FindVoice(QStringLiteral("Kathrin (German)"))->Key,
              QStringLiteral("Lrn2Kathrin1031"));
    EXPECT_EQ(catalogue.FindVoice(QStringLiteral("Mary"))->Engine->FilterFlags, 3u);
    EXPECT_EQ(m_prefs.TTS_DefaultVoiceName, QStringLiteral("Mary"))
        << "a voice that is gone gives way to the first";
    EXPECT_EQ(catalogue.FindVoice(QStringLiteral("mary")), nullptr);

    m_prefs.ReadAll();
    catalogue.LoadVoiceSettings(m_prefs);
    EXPECT_TRUE(catalogue.FindVoice(QStringLiteral("Mary"))->Favourite);
    EXPECT_FALSE(catalogue.FindVoice(QStringLiteral("Robo"))->Favourite);
    EXPECT_TRUE(catalogue.FindVoice(QStringLiteral("Digalo Ben"))->Favourite);
    QVariant value(QStringLiteral("untouched"));
    ASSERT_TRUE(m_prefs.GetValue(QStringLiteral("ENG_L & H - German"), value));
    EXPECT_TRUE(value.toBool());
    int engSettings = 0;
    for (const auto& item : m_prefs.items()) {
        engSettings += item->Name.startsWith(QStringLiteral("ENG_")) ? 1 : 0;
    }
    EXPECT_EQ(engSettings, 3) << "no setting for a maker the program does not know";
    EXPECT_EQ(catalogue.FindEnglishVoice()->Name, QStringLiteral("Mary"));
}

TEST_F(Catalogue, AnEnglishVoiceNamedSamIsPreferredWhereverItStands) {
    ScriptedEngine engine{{"ELAN Informatique", "Ben", "Ben", "en-us"},
                          {"Microsoft", "Sam", "Sam", "en-us"}};
    TtsEnumerator::useEngines({&engine});
    VoiceCatalogue catalogue;
    catalogue.Initialize(m_prefs);
    ASSERT_NE(catalogue.FindEnglishVoice(), nullptr);
    EXPECT_EQ(catalogue.FindEnglishVoice()->Name, QStringLiteral("Sam"));
}

TEST_F(Catalogue, TheInstalledEnginesGiveReadableUniqueVoices) {
    VoiceCatalogue catalogue;
    catalogue.Initialize(m_prefs);
    const QStringList names = voiceNames(catalogue);
    EXPECT_GT(names.size(), 60);
    QStringList unique = names;
    unique.removeDuplicates();
    EXPECT_EQ(unique.size(), names.size());
    EXPECT_TRUE(names.contains(QStringLiteral("Flite slt")));
    EXPECT_TRUE(names.contains(QStringLiteral("eSpeak English (America)")));
    EXPECT_FALSE(m_prefs.TTS_DefaultVoiceName.isEmpty());

    m_prefs.ReadAll();
    catalogue.LoadVoiceSettings(m_prefs);
    TVoiceEntry* american = catalogue.FindVoice(QStringLiteral("eSpeak English (America)"));
    ASSERT_NE(american, nullptr);
    EXPECT_TRUE(american->Favourite);
    EXPECT_EQ(american->Engine->FilterFlags, 0u);
    int favourites = 0;
    for (const auto& voice : catalogue.voiceList) {
        favourites += voice->Favourite ? 1 : 0;
    }
    EXPECT_LT(favourites, 20) << "not every language is offered at first";
    EXPECT_TRUE(catalogue.TestSentence(*american->Engine).startsWith(QStringLiteral("Hello")));
    TVoiceEntry* german = nullptr;
    for (const auto& voice : catalogue.voiceList) {
        if (voice->Engine->LanguageID == 1031) {
            german = voice.get();
        }
    }
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(german->Engine->FilterFlags, 2u);
    EXPECT_TRUE(catalogue.TestSentence(*german->Engine).startsWith(QStringLiteral("Hallo")));

    catalogue.ReadVoiceLimits(*american);
    EXPECT_LT(american->MinSpeed, american->MaxSpeed);
    EXPECT_LE(american->MinSpeed, american->DefaultSpeed);
    EXPECT_LE(american->DefaultSpeed, american->MaxSpeed);
    EXPECT_LT(american->MinPitch, american->MaxPitch);
    EXPECT_LE(american->MinPitch, american->DefaultPitch);
    EXPECT_LE(american->DefaultPitch, american->MaxPitch);
    EXPECT_EQ(american->Speed, american->DefaultSpeed) << "a voice never set speaks at its own";

    // The limits are the engine's: a value inside them is kept, one outside is brought to them.
    const int speedInside = (american->MinSpeed + american->MaxSpeed) / 2;
    const int pitchInside = (american->MinPitch + american->MaxPitch) / 2;
    {
        std::unique_ptr<ITTSCentralW> central;
        ASSERT_EQ(TtsEnumerator().Select(american->ModeID, &central,
                                         std::make_unique<WaveFileDestination>(
                                             m_dir.path() + QStringLiteral("/limits.wav"))),
                  S_OK);
        ITTSAttributesW* attributes = central->attributes();
        uint32_t speed = 0;
        uint16_t pitch = 0;
        attributes->SpeedSet(uint32_t(speedInside));
        attributes->SpeedGet(&speed);
        EXPECT_EQ(int(speed), speedInside);
        attributes->SpeedSet(uint32_t(american->MaxSpeed) + 100);
        attributes->SpeedGet(&speed);
        EXPECT_EQ(int(speed), american->MaxSpeed);
        attributes->PitchSet(uint16_t(pitchInside));
        attributes->PitchGet(&pitch);
        EXPECT_EQ(int(pitch), pitchInside);
        attributes->PitchSet(uint16_t(american->MaxPitch + 100));
        attributes->PitchGet(&pitch);
        EXPECT_EQ(int(pitch), american->MaxPitch);
    }

    american->Speed = speedInside;
    catalogue.SaveVoiceSettings(m_prefs);
    EXPECT_EQ(m_prefs.GetValue(QStringLiteral("SPD_") + american->Key).toInt(), speedInside);
    catalogue.LoadVoiceSettings(m_prefs);
    EXPECT_EQ(american->Speed, speedInside);

    // Values this program never writes read as "the engine's own".
    ASSERT_TRUE(m_prefs.SetValue(QStringLiteral("SPD_") + american->Key, -40).ok());
    ASSERT_TRUE(m_prefs.SetValue(QStringLiteral("PIT_") + american->Key, 2147483647).ok());
    catalogue.LoadVoiceSettings(m_prefs);
    EXPECT_EQ(american->Speed, 0);
    EXPECT_EQ(american->Pitch, 0);
}

TEST(LanguageTables, NamesAndCodesWithTheSublanguageFallback) {
    EXPECT_EQ(LanguageName(3081), QStringLiteral("US English"));
    EXPECT_EQ(LanguageCode(3081), QStringLiteral("eng"));
    EXPECT_EQ(LanguageName(2057), QStringLiteral("UK English"));
    EXPECT_EQ(LanguageCode(2057), QStringLiteral("eng"));
    EXPECT_EQ(LanguageName(1035), QStringLiteral("Finish"));
    EXPECT_EQ(LanguageCode(1031), QStringLiteral("deu"));
    EXPECT_EQ(LanguageCode(0x0452), QStringLiteral("wel"));
    EXPECT_EQ(LanguageName(0x7F7F), QString());
}
