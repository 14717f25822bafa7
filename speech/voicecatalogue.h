#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "speech/enginelist.h"
#include "speech/voiceentry.h"
#include "speech/voicesource.h"

class TPreferences;

// The engines and voices of the installed modes under the program's own names, with each
// voice's stored favourite mark, pitch and speed.
class VoiceCatalogue : public VoiceSource {
  public:
    // Builds both lists from the installed modes, registering the settings of every engine and
    // voice in the preferences store; fixes a default voice that is gone.
    void Initialize(TPreferences& prefs);
    void LoadVoiceSettings(const TPreferences& prefs);
    void SaveVoiceSettings(TPreferences& prefs) const;
    TVoiceEntry* FindVoice(const QString& name) const;
    TVoiceEntry* FindEnglishVoice() const;
    void SetMakerEnabled(const QString& maker, bool value);
    // Probes the engine's pitch and speed limits for the voice (without touching any reading).
    void ReadVoiceLimits(TVoiceEntry& voice) const;
    // The test sentence of the engine's language from "AudioTest.chl".
    QString TestSentence(const TEngineEntry& engine) const;
    // What a test of the voice speaks: its engine's test sentence, or a thank-you when its
    // language has none.
    QString TestText(const TVoiceEntry& voice) const;

    QList<VoiceChoice> voices() const override;

    TEngineList engines;
    std::vector<std::unique_ptr<TVoiceEntry>> voiceList;

  private:
    void addVoice(const QString& modeName, TEngineEntry* engine, const class TTTS& tts,
                  TPreferences& prefs);
};
