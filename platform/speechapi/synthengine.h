#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/speechapi/speechapi.h"
#include "platform/speechapi/synthsink.h"

// A voice that a speech engine offers.
struct SynthVoice {
    QString Engine;        // "eSpeak NG", "Flite"
    QString Manufacturer;  // as the mode records give it
    QString Product;
    QString Name;        // the engine's own name of the voice
    QString Identifier;  // what the engine selects the voice by
    QString Language;    // language tag, e.g. "en-us"
    int Gender = 0;      // 0 unknown, 1 male, 2 female
};

// Speed and pitch in the engine's own units (see each engine's range).
struct SynthParams {
    int Speed = 0;
    int Pitch = 0;
};

// A speech engine of this platform. Speak runs synchronously on the calling thread; engines
// serialise their use internally.
class SynthEngine {
  public:
    virtual ~SynthEngine() = default;
    virtual QString Name() const = 0;
    virtual QList<SynthVoice> Voices() = 0;
    virtual int SampleRate(const SynthVoice& voice) = 0;
    virtual SynthParams DefaultParams(const SynthVoice& voice) = 0;
    virtual SynthParams MinParams() const = 0;
    virtual SynthParams MaxParams() const = 0;
    // False when the voice cannot be used or the engine failed.
    virtual bool Speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
                       SynthSink& sink) = 0;
    // The engine's phonetic form of text (IPA when ipa, else its own notation); false when the
    // engine cannot give one.
    virtual bool Phonemes(const SynthVoice&, const QString&, bool, QString*) { return false; }
    // The central object of one of this engine's modes, speaking into destination.
    virtual std::unique_ptr<ITTSCentralW> MakeCentral(
        const SynthVoice& voice, const TTSMODEINFO& mode,
        std::unique_ptr<AudioDestination> destination);
};
