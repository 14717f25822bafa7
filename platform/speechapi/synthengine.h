#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/speechapi/speechapi.h"
#include "platform/speechapi/synthsink.h"

// A voice that a speech engine offers.
struct SynthVoice {
    QString engine;        // "eSpeak NG", "Flite"
    QString manufacturer;  // as the mode records give it
    QString product;
    QString name;        // the engine's own name of the voice
    QString identifier;  // what the engine selects the voice by
    QString language;    // language tag, e.g. "en-us"
    int gender = 0;      // 0 unknown, 1 male, 2 female
};

// Speed and pitch in the engine's own units (see each engine's range).
struct SynthParams {
    int speed = 0;
    int pitch = 0;
    bool phonemeInput = false;  // the text holds phonemes between "[[" and "]]"
};

// A speech engine of this platform. speak runs synchronously on the calling thread; engines
// serialise their use internally.
class SynthEngine {
  public:
    virtual ~SynthEngine() = default;
    virtual QString name() const = 0;
    virtual QList<SynthVoice> voices() = 0;
    virtual int sampleRate(const SynthVoice& voice) = 0;
    virtual SynthParams defaultParams(const SynthVoice& voice) = 0;
    virtual SynthParams minParams() const = 0;
    virtual SynthParams maxParams() const = 0;
    // False when the voice cannot be used or the engine failed.
    virtual bool speak(const SynthVoice& voice, const QString& text, const SynthParams& params,
                       SynthSink& sink) = 0;
    // The engine's phonetic form of text (IPA when ipa, else its own notation); false when the
    // engine cannot give one.
    virtual bool phonemes(const SynthVoice&, const QString&, bool, QString*) { return false; }
    // A new reading begins: its first text is spoken as if nothing had been spoken before, and
    // its later texts carry on from the one before (a text handed over in pieces).
    virtual void restart() {}
    // Whether the engine reads its own phonemes between "[[" and "]]" when asked to.
    virtual bool acceptsPhonemes() const { return false; }
    // The central object of one of this engine's modes, speaking into destination.
    virtual std::unique_ptr<ITTSCentralW> makeCentral(
        const SynthVoice& voice, const TTSMODEINFO& mode,
        std::unique_ptr<AudioDestination> destination);
};
