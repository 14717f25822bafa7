#pragma once

#include "platform/speechapi/synthengine.h"

// eSpeak NG: every installed voice. The library keeps global state, so one synthesis runs at a
// time across the process, and each reading starts from the library's initial state.
class EspeakEngine : public SynthEngine {
  public:
    static constexpr int kMinSpeed = 80;  // words per minute
    static constexpr int kMaxSpeed = 450;
    static constexpr int kNormalSpeed = 175;
    static constexpr int kMinPitch = 0;
    static constexpr int kMaxPitch = 100;
    static constexpr int kNormalPitch = 50;

    QString name() const override { return QStringLiteral("eSpeak NG"); }
    QList<SynthVoice> voices() override;
    int sampleRate(const SynthVoice& voice) override;
    SynthParams defaultParams(const SynthVoice&) override { return {kNormalSpeed, kNormalPitch}; }
    SynthParams minParams() const override { return {kMinSpeed, kMinPitch}; }
    SynthParams maxParams() const override { return {kMaxSpeed, kMaxPitch}; }
    bool speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
               SynthSink& sink) override;

    void restart() override;
    bool acceptsPhonemes() const override { return true; }
    bool phonemes(const SynthVoice& voice, const QString& text, bool ipa,
                  QString* phonemes) override;

    // False when the library or its data cannot be loaded.
    static bool available();
    // The version of the library loaded; empty when it cannot be loaded.
    static QString libraryVersion();
};
