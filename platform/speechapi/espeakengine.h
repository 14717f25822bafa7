#pragma once

#include "platform/speechapi/synthengine.h"

// eSpeak NG: every installed voice. The library keeps global state, so one synthesis runs at a
// time across the process.
class EspeakEngine : public SynthEngine {
  public:
    static constexpr int kMinSpeed = 80;  // words per minute
    static constexpr int kMaxSpeed = 450;
    static constexpr int kNormalSpeed = 175;
    static constexpr int kMinPitch = 0;
    static constexpr int kMaxPitch = 100;
    static constexpr int kNormalPitch = 50;

    QString Name() const override { return QStringLiteral("eSpeak NG"); }
    QList<SynthVoice> Voices() override;
    int SampleRate(const SynthVoice& voice) override;
    SynthParams DefaultParams(const SynthVoice&) override { return {kNormalSpeed, kNormalPitch}; }
    SynthParams MinParams() const override { return {kMinSpeed, kMinPitch}; }
    SynthParams MaxParams() const override { return {kMaxSpeed, kMaxPitch}; }
    bool Speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
               SynthSink& sink) override;

    bool Phonemes(const SynthVoice& voice, const QString& text, bool ipa,
                  QString* phonemes) override;

    // False when the library or its data cannot be loaded.
    static bool Available();
};
