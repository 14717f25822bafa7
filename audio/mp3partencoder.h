#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "audio/audiotags.h"
#include "audio/mmwave.h"
#include "platform/lameenc/lameenc.h"

// A stretch of a wave file, in samples (blocks of the source format).
struct Mp3Part {
    int64_t first = 0;
    int64_t count = 0;
};

// One encoder stream over one stretch of a wave file, writing its frames to an output device.
// Several of them, each on a thread of its own, encode one wave at once; one alone over the
// whole wave is the plain single-stream encoding.
class Mp3PartEncoder {
  public:
    // source: the parsed wave, not open when the wave has no samples at all. displayName: the
    // file the user knows, named in failures whatever output the frames go to.
    // targetRate: the rate the samples are converted to on the way (one second of the source
    // at a time, as a wave file is converted); 0 or the source's own rate: none.
    Mp3PartEncoder(const TMMWave& source, Mp3Part part, const QString& displayName,
                   uint32_t targetRate = 0);
    ~Mp3PartEncoder();
    Mp3PartEncoder(const Mp3PartEncoder&) = delete;
    Mp3PartEncoder& operator=(const Mp3PartEncoder&) = delete;

    // Opens the encoder stream writing into output. head: this stream begins the file, so it
    // reserves the header frame, and the tags (when any is given) go first as an ID3v2 tag.
    bool start(int32_t bitRate, int32_t sampleRate, bool head, const AudioTags& tags,
               QIODevice* output);
    // Encodes the stretch to its end and ends the stream. afterChunk(samples done) is asked
    // after every chunk; false stops there, still ending the stream well-formed. limit, when
    // given, replaces the stretch's count: asked before every chunk, it says how far the
    // samples may be read now (it may wait for more); no further than done ends the stretch.
    bool encode(const std::function<bool(int64_t done)>& afterChunk,
                const std::function<int64_t(int64_t done)>& limit = {});

    HBE_STREAM stream() const { return m_stream; }
    // The source samples taken at a time: a chunk of the encoder's, or a second of the source
    // when converting.
    int64_t samplesPerRead() const;
    const QString& failure() const { return m_failure; }

    // Why a write to device failed, with the system's reason.
    static QString writeError(QIODevice* device);
    // Reads count 16-bit mono samples of source from sample first on (converted from the
    // source's own format); false with why when they cannot be read.
    static bool readMono(QFile& wave, const TMMWave& source, int64_t first, int64_t count,
                         std::vector<int16_t>& samples, QString* failure);

    // Reads count samples of source from sample first on, converted to target.
    static bool readAs(QFile& wave, const TMMWave& source, const TWaveFormatEx& target,
                       int64_t first, int64_t count, std::vector<int16_t>& samples,
                       QString* failure);
    // Reads count samples of source from sample first on, as they are in the file.
    static bool readRaw(QFile& wave, const TMMWave& source, int64_t first, int64_t count,
                        std::vector<char>& bytes, QString* failure);

  private:
    bool converting() const;
    bool encodeChunk(const int16_t* samples, int64_t count, std::vector<uint8_t>& output);
    bool end(std::vector<uint8_t>& output);
    bool fail(const QString& message);
    // Writes the tags as an ID3v2 tag at the head of the output; a failure is logged only.
    void writeTags(const AudioTags& tags);
    bool failWrite(const char* what);
    bool writeOut(const uint8_t* data, uint32_t size, const char* what);

    const TMMWave& m_source;
    const Mp3Part m_part;
    const QString m_displayName;
    const uint32_t m_targetRate;
    QFile m_wave;
    QIODevice* m_output = nullptr;
    HBE_STREAM m_stream = 0;
    uint32_t m_samplesPerChunk = 0;
    uint32_t m_outputSize = 0;
    QString m_failure;
};
