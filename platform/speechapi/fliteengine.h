#pragma once

#include "platform/speechapi/synthengine.h"

// Flite: the US English voices kal, kal16, awb, rms and slt. Speed is a percentage of the
// voice's own pace (100 normal, larger is faster), pitch the voice's target mean in Hz.
class FliteEngine : public SynthEngine {
  public:
    static constexpr int kMinSpeed = 25;  // a quarter of the normal pace
    static constexpr int kMaxSpeed = 400;
    static constexpr int kNormalSpeed = 100;
    static constexpr int kMinPitch = 50;
    static constexpr int kMaxPitch = 400;

    QString name() const override { return QStringLiteral("Flite"); }
    QList<SynthVoice> voices() override;
    int sampleRate(const SynthVoice& voice) override;
    SynthParams defaultParams(const SynthVoice& voice) override;
    SynthParams minParams() const override { return {kMinSpeed, kMinPitch}; }
    SynthParams maxParams() const override { return {kMaxSpeed, kMaxPitch}; }
    bool speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
               SynthSink& sink) override;
};
