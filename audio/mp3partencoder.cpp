#include "audio/mp3partencoder.h"

#include <cstring>

#include "audio/pcmconvert.h"
#include "platform/shell/utilsclass.h"

namespace {

constexpr uint16_t kEncoderBits = 16;
constexpr uint16_t kEncoderChannels = 1;
// Room for most ID3v2 tags; a larger one is asked for again in its own size.
constexpr uint32_t kTagSize = 4096;

bool HasTags(const AudioTags& tags) {
    return !tags.title.isEmpty() || !tags.album.isEmpty() || tags.track > 0 ||
           !tags.artist.isEmpty() || !tags.year.isEmpty() || !tags.comment.isEmpty();
}

}  // namespace

Mp3PartEncoder::Mp3PartEncoder(const TMMWave& source, Mp3Part part, const QString& displayName,
                               uint32_t targetRate)
    : m_source(source), m_part(part), m_displayName(displayName), m_targetRate(targetRate) {}

bool Mp3PartEncoder::converting() const {
    return m_targetRate != 0 && m_source.IsOpen() && m_targetRate != m_source.Format.nSamplesPerSec;
}

int64_t Mp3PartEncoder::samplesPerRead() const {
    return converting() ? int64_t(m_source.Format.nSamplesPerSec) : int64_t(m_samplesPerChunk);
}

Mp3PartEncoder::~Mp3PartEncoder() {
    if (m_stream) {
        beCloseStream(m_stream);
    }
}

bool Mp3PartEncoder::fail(const QString& message) {
    if (m_failure.isEmpty()) {
        m_failure = message;
    }
    return false;
}

QString Mp3PartEncoder::writeError(QIODevice* device) {
    // A write the disk took only in part fails without the system's reason; trying the rest
    // again fails at once, with it.
    auto* file = qobject_cast<QFileDevice*>(device);
    if (!file) {
        return device->errorString();
    }
    const QString first = file->errorString();
    file->unsetError();
    if (file->flush()) {
        return first;
    }
    return file->errorString();
}

bool Mp3PartEncoder::failWrite(const char* what) {
    return fail(QStringLiteral("%1: cannot write %2: %3")
                    .arg(QString::fromLatin1(what), m_displayName, writeError(m_output)));
}

bool Mp3PartEncoder::writeOut(const uint8_t* data, uint32_t size, const char* what) {
    if (m_output->write(reinterpret_cast<const char*>(data), size) != qint64(size)) {
        return failWrite(what);
    }
    return true;
}

bool Mp3PartEncoder::readRaw(QFile& wave, const TMMWave& source, int64_t first, int64_t count,
                             std::vector<char>& bytes, QString* failure) {
    const int64_t blockBytes = source.Format.nBlockAlign;
    const int64_t size = count * blockBytes;
    bytes.resize(size_t(size));
    if ((!wave.isOpen() && !wave.open(QIODevice::ReadOnly)) ||
        !wave.seek(source.DataOffset + first * blockBytes) ||
        wave.read(bytes.data(), size) != size) {
        if (failure) {
            *failure = QStringLiteral("Read Error: ") + wave.fileName() + QStringLiteral(": ") +
                       wave.errorString();
        }
        return false;
    }
    return true;
}

bool Mp3PartEncoder::readAs(QFile& wave, const TMMWave& source, const TWaveFormatEx& target,
                            int64_t first, int64_t count, std::vector<int16_t>& samples,
                            QString* failure) {
    std::vector<char> input;
    if (!readRaw(wave, source, first, count, input, failure)) {
        return false;
    }
    if (source.Format == target) {
        samples.resize(input.size() / sizeof(int16_t));
        std::memcpy(samples.data(), input.data(), samples.size() * sizeof(int16_t));
        return true;
    }
    const int64_t bytes = int64_t(input.size());
    samples.resize(size_t(PcmDestBytes(bytes, source.Format, target)) / sizeof(int16_t) + 2);
    const int64_t converted =
        PcmConvert(bytes, reinterpret_cast<const uint8_t*>(input.data()), source.Format,
                   reinterpret_cast<uint8_t*>(samples.data()), target);
    samples.resize(size_t(qMax<int64_t>(0, converted)) / sizeof(int16_t));
    return true;
}

bool Mp3PartEncoder::readMono(QFile& wave, const TMMWave& source, int64_t first, int64_t count,
                              std::vector<int16_t>& samples, QString* failure) {
    return readAs(wave, source,
                  BuildPcmFormat(kEncoderBits, kEncoderChannels, source.Format.nSamplesPerSec),
                  first, count, samples, failure);
}

bool Mp3PartEncoder::start(int32_t bitRate, int32_t sampleRate, bool head, const AudioTags& tags,
                           QIODevice* output) {
    m_output = output;
    if (m_source.IsOpen()) {
        m_wave.setFileName(m_source.FileName());
        if (!m_wave.open(QIODevice::ReadOnly)) {
            return fail(m_wave.errorString() + QStringLiteral(": ") + m_wave.fileName());
        }
    }
    BE_CONFIG config;
    std::memset(&config, 0, sizeof(config));
    config.dwConfig = BE_CONFIG_LAME;
    config.dwStructVersion = 1;
    config.dwStructSize = sizeof(BE_CONFIG);
    config.dwSampleRate = uint32_t(sampleRate);
    config.dwReSampleRate = 0;
    config.nMode = BE_MP3_MODE_MONO;
    config.dwBitrate = uint32_t(bitRate);
    config.dwMaxBitrate = uint32_t(bitRate);
    config.dwMpegVersion = MPEG1;
    config.bPrivate = -1;
    // The first frame of the file carries the length and encoder delay (where the bit rate
    // leaves room for it), so the MP3 plays back exactly as long as the speech.
    config.bWriteVBRHeader = head ? -1 : 0;
    config.nVBRQuality = 4;
    const BE_ERR error = beInitStream(&config, &m_samplesPerChunk, &m_outputSize, &m_stream);
    if (error != BE_ERR_SUCCESSFUL) {
        m_stream = 0;
        return fail(QStringLiteral("Error opening encoding stream ") + QString::number(error));
    }
    if (head && HasTags(tags)) {
        writeTags(tags);
    }
    return true;
}

void Mp3PartEncoder::writeTags(const AudioTags& tags) {
    // The track goes as players read it: "3/12", or "3" when the count is not known.
    const QString track = tags.track <= 0 ? QString()
                          : tags.trackCount <= 0
                              ? QString::number(tags.track)
                              : QStringLiteral("%1/%2").arg(tags.track).arg(tags.trackCount);
    const QByteArray title = tags.title.toUtf8(), album = tags.album.toUtf8(),
                     trackText = track.toUtf8(), artist = tags.artist.toUtf8(),
                     year = tags.year.toUtf8(), comment = tags.comment.toUtf8();
    BeTagTexts texts;
    texts.title = title.constData();
    texts.album = album.constData();
    texts.track = trackText.constData();
    texts.artist = artist.constData();
    texts.year = year.constData();
    texts.comment = comment.constData();
    std::vector<uint8_t> tag(kTagSize);
    uint32_t size = 0;
    BE_ERR error = beSetTags(m_stream, &texts, tag.data(), uint32_t(tag.size()), &size);
    if (error == BE_ERR_BUFFER_TOO_SMALL && size > tag.size()) {
        tag.resize(size);
        error = beSetTags(m_stream, &texts, tag.data(), uint32_t(tag.size()), &size);
    }
    if (error != BE_ERR_SUCCESSFUL) {
        UtilsClass::WriteDebugLine(
            QStringLiteral("The MP3 tags could not be made (error %1): ").arg(error) + tags.title);
        return;
    }
    if (m_output->write(reinterpret_cast<const char*>(tag.data()), size) != qint64(size)) {
        UtilsClass::WriteDebugLine(QStringLiteral("The MP3 tags could not be written: ") +
                                   m_output->errorString());
    }
}

bool Mp3PartEncoder::encodeChunk(const int16_t* samples, int64_t count,
                                 std::vector<uint8_t>& output) {
    uint32_t written = 0;
    const BE_ERR error = beEncodeChunk(m_stream, uint32_t(count), samples, output.data(), &written);
    if (error != BE_ERR_SUCCESSFUL) {
        return fail(QStringLiteral("beEncodeChunk failed ") + QString::number(error));
    }
    return writeOut(output.data(), written, "Write Error (1)");
}

bool Mp3PartEncoder::end(std::vector<uint8_t>& output) {
    uint32_t written = 0;
    const BE_ERR error = beDeinitStream(m_stream, output.data(), &written);
    if (error != BE_ERR_SUCCESSFUL) {
        return fail(QStringLiteral("beExitStream failed ") + QString::number(error));
    }
    return writeOut(output.data(), written, "Write error (2)");
}

bool Mp3PartEncoder::encode(const std::function<bool(int64_t done)>& afterChunk,
                            const std::function<int64_t(int64_t done)>& limit) {
    // Converting, a second of the source at a time is raised to the target rate, as a wave
    // file is converted; the samples are encoded in the encoder's own chunks either way.
    const TWaveFormatEx target =
        BuildPcmFormat(kEncoderBits, kEncoderChannels,
                       converting() ? m_targetRate : m_source.Format.nSamplesPerSec);
    const int64_t perRead = samplesPerRead();
    std::vector<uint8_t> output(m_outputSize);
    std::vector<int16_t> samples;
    std::vector<int16_t> pending;
    QString failure;
    for (int64_t done = 0;;) {
        const int64_t until = limit ? limit(done) : m_part.count;
        if (until <= done) {
            break;
        }
        const int64_t n = qMin<int64_t>(perRead, until - done);
        if (!readAs(m_wave, m_source, target, m_part.first + done, n, samples, &failure)) {
            return fail(failure);
        }
        pending.insert(pending.end(), samples.begin(), samples.end());
        size_t used = 0;
        for (; pending.size() - used >= m_samplesPerChunk; used += m_samplesPerChunk) {
            if (!encodeChunk(&pending[used], m_samplesPerChunk, output)) {
                return false;
            }
        }
        pending.erase(pending.begin(), pending.begin() + std::ptrdiff_t(used));
        done += n;
        if (afterChunk && !afterChunk(done)) {
            break;
        }
    }
    return (pending.empty() || encodeChunk(pending.data(), int64_t(pending.size()), output)) &&
           end(output);
}
