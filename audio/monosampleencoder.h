#pragma once

#include <QString>
#include <cstdint>

class EncodedOutput;

// An encoder of 16-bit mono samples into a file of its format, driven by EncodeMonoWave.
class MonoSampleEncoder {
  public:
    virtual ~MonoSampleEncoder() = default;

    // Begins the stream, for samples at rate (Hz), writing into output, which outlives it.
    virtual bool start(uint32_t rate, EncodedOutput& output) = 0;
    virtual bool encode(const int16_t* samples, int64_t count) = 0;
    // Ends the stream: the last samples and the end of stream are written.
    virtual bool finish() = 0;
    // Why the encoder failed, naming the file; empty when a write failed (the output says why).
    virtual QString failure() const = 0;
};
