#include "audio/vorbisencoder.h"

#include <vorbis/vorbisenc.h>

#include <QRandomGenerator>
#include <memory>

#include "audio/encodedoutput.h"
#include "audio/encodemonowave.h"
#include "audio/vorbiscomments.h"

namespace {

// libvorbis analysis and libogg pages, written into the output as they come.
class VorbisStream : public MonoSampleEncoder {
  public:
    VorbisStream(int quality, const AudioTags& tags) : m_quality(quality), m_tags(tags) {
        vorbis_info_init(&m_info);
        vorbis_comment_init(&m_comment);
    }

    ~VorbisStream() override {
        if (m_streaming) {
            ogg_stream_clear(&m_stream);
            vorbis_block_clear(&m_block);
            vorbis_dsp_clear(&m_dsp);
        }
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
    }

    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;

    bool start(uint32_t rate, EncodedOutput& output) override {
        m_output = &output;
        if (m_quality < -1 || m_quality > 10) {
            return fail(QStringLiteral("%1 is not a Vorbis quality level (-1 to 10): %2")
                            .arg(m_quality)
                            .arg(output.fileName()));
        }
        const int error = vorbis_encode_init_vbr(&m_info, 1, long(rate), float(m_quality) / 10.0f);
        if (error != 0) {
            return fail(QStringLiteral("The Vorbis encoder cannot encode %1 Hz at quality %2 "
                                       "(error %3): %4")
                            .arg(rate)
                            .arg(m_quality)
                            .arg(error)
                            .arg(output.fileName()));
        }
        for (const auto& [name, value] : VorbisComments(m_tags)) {
            vorbis_comment_add_tag(&m_comment, name.constData(), value.constData());
        }
        vorbis_analysis_init(&m_dsp, &m_info);
        vorbis_block_init(&m_dsp, &m_block);
        ogg_stream_init(&m_stream, int(QRandomGenerator::global()->generate() & 0x7FFFFFFF));
        m_streaming = true;

        ogg_packet identification, comments, codebooks;
        vorbis_analysis_headerout(&m_dsp, &m_comment, &identification, &comments, &codebooks);
        ogg_stream_packetin(&m_stream, &identification);
        ogg_stream_packetin(&m_stream, &comments);
        ogg_stream_packetin(&m_stream, &codebooks);
        // The headers end their own pages, so that the sound begins on a page of its own.
        return writePages(true);
    }

    bool encode(const int16_t* samples, int64_t count) override {
        float** buffer = vorbis_analysis_buffer(&m_dsp, int(count));
        for (int64_t i = 0; i < count; ++i) {
            buffer[0][i] = float(samples[i]) / 32768.0f;
        }
        vorbis_analysis_wrote(&m_dsp, int(count));
        return writeBlocks();
    }

    bool finish() override {
        vorbis_analysis_wrote(&m_dsp, 0);  // the end of the stream
        return writeBlocks() && writePages(true);
    }

    QString failure() const override { return m_failure; }

  private:
    bool fail(const QString& message) {
        if (m_failure.isEmpty()) {
            m_failure = message;
        }
        return false;
    }

    bool writePages(bool flush) {
        ogg_page page;
        while (flush ? ogg_stream_flush(&m_stream, &page) : ogg_stream_pageout(&m_stream, &page)) {
            if (!m_output->write(page.header, page.header_len) ||
                !m_output->write(page.body, page.body_len)) {
                return false;
            }
        }
        return true;
    }

    bool writeBlocks() {
        ogg_packet packet;
        while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
            vorbis_analysis(&m_block, nullptr);
            vorbis_bitrate_addblock(&m_block);
            while (vorbis_bitrate_flushpacket(&m_dsp, &packet)) {
                ogg_stream_packetin(&m_stream, &packet);
                if (!writePages(false)) {
                    return false;
                }
            }
        }
        return true;
    }

    const int m_quality;
    const AudioTags m_tags;
    EncodedOutput* m_output = nullptr;
    vorbis_info m_info;
    vorbis_comment m_comment;
    vorbis_dsp_state m_dsp;
    vorbis_block m_block;
    ogg_stream_state m_stream;
    bool m_streaming = false;
    QString m_failure;
};

}  // namespace

Outcome EncodeVorbis(const QString& waveFile, const QString& oggFile, int quality,
                     const AudioTags& tags, const EncodeHooks& hooks) {
    return EncodeMonoWave(waveFile, oggFile, QStringLiteral("Ogg Vorbis"),
                          std::make_unique<VorbisStream>(quality, tags), hooks);
}
