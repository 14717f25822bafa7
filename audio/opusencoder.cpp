#include "audio/opusencoder.h"

#include <opusenc.h>

#include <memory>

#include "audio/encodedoutput.h"
#include "audio/encodemonowave.h"
#include "audio/vorbiscomments.h"

namespace {

// libopusenc, writing its pages into the output through callbacks (so a write failure keeps
// the system's reason).
class OpusStream : public MonoSampleEncoder {
  public:
    OpusStream(int bitRateKbps, const AudioTags& tags) : m_bitRate(bitRateKbps), m_tags(tags) {}

    ~OpusStream() override {
        if (m_encoder) {
            ope_encoder_destroy(m_encoder);
        }
    }

    OpusStream(const OpusStream&) = delete;
    OpusStream& operator=(const OpusStream&) = delete;

    bool start(uint32_t rate, EncodedOutput& output) override {
        m_output = &output;
        if (m_bitRate < 6 || m_bitRate > 256) {
            return fail(QStringLiteral("%1 kbit/s is not an Opus bit rate (6 to 256): %2")
                            .arg(m_bitRate)
                            .arg(output.fileName()));
        }
        std::unique_ptr<OggOpusComments, decltype(&ope_comments_destroy)> comments(
            ope_comments_create(), &ope_comments_destroy);
        if (!comments) {
            return fail(QStringLiteral("Out of memory: ") + output.fileName());
        }
        for (const auto& [name, value] : VorbisComments(m_tags)) {
            ope_comments_add(comments.get(), name.constData(), value.constData());
        }
        const OpusEncCallbacks callbacks{&OpusStream::writeOut, &OpusStream::closeOut};
        int error = OPE_OK;
        m_encoder = ope_encoder_create_callbacks(&callbacks, this, comments.get(), opus_int32(rate),
                                                 1, 0, &error);
        if (!m_encoder) {
            return failCode(QStringLiteral("The Opus encoder cannot start"), error);
        }
        error = ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(opus_int32(m_bitRate) * 1000));
        if (error == OPE_OK) {
            error = ope_encoder_ctl(m_encoder, OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
        }
        if (error != OPE_OK) {
            return failCode(QStringLiteral("The Opus encoder refuses its settings"), error);
        }
        return true;
    }

    bool encode(const int16_t* samples, int64_t count) override {
        m_written = m_written || count > 0;
        const int error = ope_encoder_write(m_encoder, samples, int(count));
        return !m_output->failed() &&
               (error == OPE_OK || failCode(QStringLiteral("Opus encoding failed"), error));
    }

    bool finish() override {
        if (!m_written) {
            // libopusenc cannot end a stream that holds no sample at all (it reads memory it
            // never wrote, and may abort the program): an empty wave gives one sample of
            // silence.
            const opus_int16 silence = 0;
            if (!encode(&silence, 1)) {
                return false;
            }
        }
        const int error = ope_encoder_drain(m_encoder);
        return !m_output->failed() &&
               (error == OPE_OK || failCode(QStringLiteral("Opus encoding failed"), error));
    }

    QString failure() const override { return m_failure; }

  private:
    static int writeOut(void* self, const unsigned char* data, opus_int32 size) {
        return static_cast<OpusStream*>(self)->m_output->write(data, size) ? 0 : 1;
    }
    // The output is closed by its owner.
    static int closeOut(void*) { return 0; }

    bool fail(const QString& message) {
        if (m_failure.isEmpty()) {
            m_failure = message;
        }
        return false;
    }

    bool failCode(const QString& what, int error) {
        return fail(QStringLiteral("%1 (%2): %3")
                        .arg(what, QString::fromUtf8(ope_strerror(error)), m_output->fileName()));
    }

    const int m_bitRate;
    const AudioTags m_tags;
    EncodedOutput* m_output = nullptr;
    OggOpusEnc* m_encoder = nullptr;
    bool m_written = false;
    QString m_failure;
};

}  // namespace

Outcome EncodeOpus(const QString& waveFile, const QString& opusFile, int bitRateKbps,
                   const AudioTags& tags, const EncodeHooks& hooks) {
    return EncodeMonoWave(waveFile, opusFile, QStringLiteral("Opus"),
                          std::make_unique<OpusStream>(bitRateKbps, tags), hooks);
}
