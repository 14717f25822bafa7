#include "audio/mp3partencoder.h"

#include <cstring>

#include "audio/pcmconvert.h"
#include "platform/shell/utilsclass.h"

namespace {

constexpr uint16_t kEncoderBits = 16;
constexpr uint16_t kEncoderChannels = 1;
// Room for the ID3v2 title tag.
constexpr uint32_t kTitleTagSize = 4096;

}  // namespace

Mp3PartEncoder::Mp3PartEncoder(const TMMWave& source, Mp3Part part, const QString& displayName)
    : m_source(source), m_part(part), m_displayName(displayName) {}

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

bool Mp3PartEncoder::failWrite(const char* what) {
    return fail(QStringLiteral("%1: cannot write %2: %3")
                    .arg(QString::fromLatin1(what), m_displayName, m_output->errorString()));
}

bool Mp3PartEncoder::writeOut(const uint8_t* data, uint32_t size, const char* what) {
    if (m_output->write(reinterpret_cast<const char*>(data), size) != qint64(size)) {
        return failWrite(what);
    }
    return true;
}

bool Mp3PartEncoder::readMono(QFile& wave, const TMMWave& source, int64_t first, int64_t count,
                              std::vector<int16_t>& samples, QString* failure) {
    const TWaveFormatEx mono16 =
        BuildPcmFormat(kEncoderBits, kEncoderChannels, source.Format.nSamplesPerSec);
    const int64_t blockBytes = source.Format.nBlockAlign;
    const int64_t bytes = count * blockBytes;
    samples.resize(size_t(count));
    std::vector<char> input;
    char* target = reinterpret_cast<char*>(samples.data());
    const bool convert = !(source.Format == mono16);
    if (convert) {
        input.resize(size_t(bytes));
        target = input.data();
    }
    if ((!wave.isOpen() && !wave.open(QIODevice::ReadOnly)) ||
        !wave.seek(source.DataOffset + first * blockBytes) || wave.read(target, bytes) != bytes) {
        if (failure) {
            *failure = QStringLiteral("Read Error: ") + wave.fileName() + QStringLiteral(": ") +
                       wave.errorString();
        }
        return false;
    }
    if (convert) {
        PcmConvert(bytes, reinterpret_cast<const uint8_t*>(input.data()), source.Format,
                   reinterpret_cast<uint8_t*>(samples.data()), mono16);
    }
    return true;
}

bool Mp3PartEncoder::start(int32_t bitRate, int32_t sampleRate, bool head, const QString& title,
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
    if (head && !title.isEmpty()) {
        std::vector<uint8_t> tag(kTitleTagSize);
        uint32_t size = 0;
        if (beSetTitle(m_stream, title.toUtf8().constData(), tag.data(), uint32_t(tag.size()),
                       &size) != BE_ERR_SUCCESSFUL ||
            m_output->write(reinterpret_cast<const char*>(tag.data()), size) != qint64(size)) {
            UtilsClass::WriteDebugLine(QStringLiteral("The MP3 title could not be set: ") + title);
        }
    }
    return true;
}

bool Mp3PartEncoder::encode(const std::function<bool(int64_t done)>& afterChunk) {
    std::vector<int16_t> samples;
    std::vector<uint8_t> output(m_outputSize);
    QString failure;
    for (int64_t done = 0; done != m_part.count;) {
        const int64_t n = qMin<int64_t>(m_samplesPerChunk, m_part.count - done);
        if (!readMono(m_wave, m_source, m_part.first + done, n, samples, &failure)) {
            return fail(failure);
        }
        uint32_t written = 0;
        const BE_ERR error =
            beEncodeChunk(m_stream, uint32_t(n), samples.data(), output.data(), &written);
        if (error != BE_ERR_SUCCESSFUL) {
            return fail(QStringLiteral("beEncodeChunk failed ") + QString::number(error));
        }
        if (!writeOut(output.data(), written, "Write Error (1)")) {
            return false;
        }
        done += n;
        if (afterChunk && !afterChunk(done)) {
            break;
        }
    }
    uint32_t written = 0;
    const BE_ERR error = beDeinitStream(m_stream, output.data(), &written);
    if (error != BE_ERR_SUCCESSFUL) {
        return fail(QStringLiteral("beExitStream failed ") + QString::number(error));
    }
    return writeOut(output.data(), written, "Write error (2)");
}
