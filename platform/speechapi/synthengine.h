#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/speechapi/speechapi.h"

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

// A word the engine is about to speak: where its audio starts, and where it stands in the text
// (UTF-16 positions, as QString counts them).
struct SynthWord {
    int64_t Sample = 0;
    int Position = 0;
    int Length = 0;
};

// Receives the synthesised audio (16-bit mono at the engine's rate) and the word events, in
// order. Returning false from Audio stops the synthesis.
class SynthSink {
  public:
    virtual ~SynthSink() = default;
    virtual bool Audio(const int16_t* samples, int count) = 0;
    virtual void Word(const SynthWord& word) = 0;
};

// Speed and pitch in the engine's own units (see each engine's range).
struct SynthParams {
    int Speed = 0;
    int Pitch = 0;
};

// A speech engine of this platform. Speak runs synchronously on the calling thread; engines
// serialise their use internally.
class TSynthEngine {
  public:
    virtual ~TSynthEngine() = default;
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
