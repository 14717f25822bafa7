#include "speech/voicecatalogue.h"

#include <QDir>
#include <QLocale>

#include "platform/shell/debuglog.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/utilsclass.h"
#include "platform/speechapi/languageids.h"
#include "settings/preferences.h"
#include "speech/languagetables.h"
#include "speech/tts.h"
#include "text/grabbaseclass.h"

namespace {

bool isUsersLanguage(uint16_t languageId) {
    return languageId == kUsEnglish || sameLanguage(languageId, userLanguageId());
}

bool isPlatformMaker(const TEngineEntry& engine) {
    return engine.Maker == QStringLiteral("eSpeak NG") || engine.Maker == QStringLiteral("Flite");
}

}  // namespace

void VoiceCatalogue::Initialize(TPreferences& prefs) {
    UtilsClass::WriteDebugLine(QStringLiteral("Entering TTSForm.Initialize"));
    TTTS tts;
    QStringList names;
    ListTTSModeNames(names);
    for (const QString& name : names) {
        tts.SetModeID(FindTTSModeID(name));
        TEngineEntry* engine = engines.FindOrAddEngine(tts, &prefs);
        if (!engine || name.contains(QStringLiteral("Telephone"))) {
            continue;
        }
        addVoice(name, engine, tts, prefs);
    }
    if (voiceList.empty()) {
        return;
    }
    if (!prefs.TTS_DefaultVoiceName.trimmed().isEmpty() && !FindVoice(prefs.TTS_DefaultVoiceName)) {
        prefs.TTS_DefaultVoiceName.clear();
    }
    if (prefs.TTS_DefaultVoiceName.trimmed().isEmpty()) {
        prefs.TTS_DefaultVoiceName = voiceList.front()->Name;
    }
}

void VoiceCatalogue::addVoice(const QString& modeName, TEngineEntry* engine, const TTTS& tts,
                              TPreferences& prefs) {
    auto voice = std::make_unique<TVoiceEntry>();
    voice->Engine = engine;
    const QString speaker = tts.GetModeInfo().szSpeaker;
    const QString key = engine->Code + speaker + QString::number(engine->LanguageID);
    if (engine->Name == QStringLiteral("Microsoft")) {
        voice->Name = voice->Key = modeName;
    } else {
        voice->Key = key;
        if (engine->Name == QStringLiteral("Digalo - US English")) {
            voice->Name = QStringLiteral("Digalo ") + speaker;
        } else if (engine->Maker == QStringLiteral("eSpeak NG")) {
            // The mode name already says the language: "English (America)".
            voice->Name = QStringLiteral("eSpeak ") +
                          QString(modeName).replace(QLatin1Char('_'), QLatin1Char(' '));
        } else if (engine->Maker == QStringLiteral("Flite")) {
            voice->Name = QStringLiteral("Flite ") + speaker;
        } else {
            voice->Name = speaker;
        }
    }
    if (engine->Language != QStringLiteral("US English") &&
        engine->Maker != QStringLiteral("eSpeak NG")) {
        voice->Name += QStringLiteral(" (") + engine->Language + QLatin1Char(')');
    }
    voice->ModeID = FindTTSModeID(modeName);
    bool favourite = true;
    if (engine->Name == QStringLiteral("Microsoft") ||
        engine->Name == QStringLiteral("L & H TruVoice")) {
        favourite = QStringLiteral("MaryMikeSamPeterSidneyEddie").contains(voice->Name);
    } else if (isPlatformMaker(*engine)) {
        // Some hundred languages: only the user's own and US English are offered at first.
        favourite = isUsersLanguage(engine->LanguageID);
    }
    prefs.RegisterValue(QStringLiteral("FAV_") + voice->Key, RegLocation::ProductKey, QString(),
                        favourite, RegType::Bool);
    prefs.RegisterValue(QStringLiteral("SPD_") + voice->Key, RegLocation::ProductKey, QString(), 0,
                        RegType::Int);
    prefs.RegisterValue(QStringLiteral("PIT_") + voice->Key, RegLocation::ProductKey, QString(), 0,
                        RegType::Int);
    UtilsClass::WriteDebugLine(QStringLiteral("Loaded voice ") + voice->Name);
    voiceList.push_back(std::move(voice));
}

namespace {

// A voice's pitch or speed as stored; 0 stands for the engine's own. The engines take 16 bits
// of pitch, so anything negative or past that was not written by this program: the default.
int storedVoiceValue(const TPreferences& prefs, const QString& name) {
    constexpr int kLargestVoiceValue = 0xFFFF;
    const int value = prefs.GetValue(name).toInt();
    return value >= 0 && value <= kLargestVoiceValue ? value : 0;
}

}  // namespace

void VoiceCatalogue::LoadVoiceSettings(const TPreferences& prefs) {
    engines.LoadEngineSettings(prefs);
    for (const auto& voice : voiceList) {
        voice->Favourite = prefs.GetValue(QStringLiteral("FAV_") + voice->Key).toBool();
        voice->Speed = storedVoiceValue(prefs, QStringLiteral("SPD_") + voice->Key);
        voice->Pitch = storedVoiceValue(prefs, QStringLiteral("PIT_") + voice->Key);
    }
}

void VoiceCatalogue::SaveVoiceSettings(TPreferences& prefs) const {
    engines.SaveEngineSettings(prefs);
    for (const auto& voice : voiceList) {
        // Registered with the voice: an unknown name would be a mistake of this program.
        debugLogFailure(prefs.SetValue(QStringLiteral("FAV_") + voice->Key, voice->Favourite));
        debugLogFailure(prefs.SetValue(QStringLiteral("SPD_") + voice->Key, voice->Speed));
        debugLogFailure(prefs.SetValue(QStringLiteral("PIT_") + voice->Key, voice->Pitch));
    }
}

TVoiceEntry* VoiceCatalogue::FindVoice(const QString& name) const {
    for (const auto& voice : voiceList) {
        if (voice->Name == name) {
            return voice.get();
        }
    }
    return nullptr;
}

TVoiceEntry* VoiceCatalogue::FindEnglishVoice() const {
    for (const auto& voice : voiceList) {
        if (QStringLiteral("MaryMikeSam").contains(voice->Name)) {
            return voice.get();
        }
    }
    for (const auto& voice : voiceList) {
        if (LanguageCode(voice->Engine->LanguageID) == QStringLiteral("eng")) {
            return voice.get();
        }
    }
    return nullptr;
}

void VoiceCatalogue::SetMakerEnabled(const QString& maker, bool value) {
    for (const auto& voice : voiceList) {
        if (voice->Engine->Maker == maker) {
            voice->Favourite = value;
        }
    }
    engines.SetMakerEnabled(maker, value);
}

void VoiceCatalogue::ReadVoiceLimits(TVoiceEntry& voice) const {
    // A file destination that is never written: the probe needs no sound card and leaves any
    // reading on the sound card alone.
    TTTS probe;
    probe.SetActive(false);
    probe.OutputDest = odFile;
    probe.SetOutputFile(QDir::tempPath() + QStringLiteral("/quillsong-voice-probe.wav"));
    probe.SetModeID(voice.ModeID);
    probe.SetActive(true);
    voice.MinPitch = uint16_t(probe.MinPitch());
    voice.MaxPitch = uint16_t(probe.MaxPitch());
    voice.DefaultPitch = probe.Pitch();
    voice.MinSpeed = int(probe.MinSpeed());
    voice.MaxSpeed = int(probe.MaxSpeed());
    voice.DefaultSpeed = int(probe.Speed());
    probe.SetActive(false);
    if (voice.Pitch <= 0) {
        voice.Pitch = voice.DefaultPitch;
    }
    if (voice.Speed <= 0) {
        voice.Speed = voice.DefaultSpeed;
    }
}

QString VoiceCatalogue::TestSentence(const TEngineEntry& engine) const {
    GrabBaseClass file;
    file.LoadFile(ProgramFolders::programFolder() + QStringLiteral("/AudioTest.chl"));
    return file.GetValue(QStringLiteral("/"), LanguageCode(engine.LanguageID));
}

QString VoiceCatalogue::TestText(const TVoiceEntry& voice) const {
    const QString sentence = voice.Engine ? TestSentence(*voice.Engine).trimmed() : QString();
    return sentence.isEmpty() ? QStringLiteral("Thanks for trying Quillsong MP3") : sentence;
}

QList<VoiceChoice> VoiceCatalogue::voices() const {
    QList<VoiceChoice> voices;
    for (const auto& voice : voiceList) {
        voices.append({voice->Name, voice->Favourite, voice->Engine->Enabled});
    }
    return voices;
}
