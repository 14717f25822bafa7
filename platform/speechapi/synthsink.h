#pragma once

#include <cstdint>

// A word the engine is about to speak: where its audio starts, and where it stands in the text
// (UTF-16 positions, as QString counts them).
struct SynthWord {
    int64_t sample = 0;
    int position = 0;
    int length = 0;
};

// Receives the synthesised audio (16-bit mono at the engine's rate) and the word events, in
// order. Returning false from audio stops the synthesis.
class SynthSink {
  public:
    virtual ~SynthSink() = default;
    virtual bool audio(const int16_t* samples, int count) = 0;
    virtual void word(const SynthWord& word) = 0;
};
