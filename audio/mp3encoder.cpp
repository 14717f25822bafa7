#include "audio/mp3encoder.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/mmwave.h"
#include "audio/pcmconvert.h"
#include "platform/lameenc/lameenc.h"
#include "platform/shell/utilsclass.h"

namespace {

// One encoding job: the two files, the encoder stream and the buffers.
class Mp3Job {
  public:
    Mp3Job(const QString& waveFile, const QString& mp3File) : wave_(waveFile), mp3_(mp3File) {}
    ~Mp3Job() {
        if (stream_) {
            beCloseStream(stream_);
        }
    }

    bool Run(int32_t bitRate, int32_t sampleRate, const Mp3EncodeHooks& hooks);
    // Why Run failed.
    const QString& Failure() const { return failure_; }

  private:
    bool Fail(const QString& message) {
        failure_ = message;
        return false;
    }
    // A failed write of the MP3 file, naming the file and the system's reason.
    bool FailWrite(const char* what) {
        return Fail(QStringLiteral("%1: cannot write %2: %3")
                        .arg(QString::fromLatin1(what), mp3_.fileName(), mp3_.errorString()));
    }
    bool OpenFiles();
    bool Encode(const Mp3EncodeHooks& hooks);

    QFile wave_;
    QFile mp3_;
    TMMWave source_;
    bool empty_ = false;
    HBE_STREAM stream_ = 0;
    uint32_t samplesPerChunk_ = 0;
    uint32_t outputSize_ = 0;
    QString failure_;
};

bool Mp3Job::OpenFiles() {
    if (QFileInfo(wave_.fileName()).size() == 0 && QFileInfo::exists(wave_.fileName())) {
        empty_ = true;  // no samples at all: the encoder is only started and flushed
    } else {
        try {
            source_.SetFileName(wave_.fileName());
        } catch (const EMMWaveError& error) {
            return Fail(QString::fromUtf8(error.what()) + QStringLiteral(" ") + wave_.fileName());
        }
        const TWaveFormatEx& format = source_.Format;
        const bool mono16 = format.wFormatTag == TWaveFormatEx::kPcm && format.nChannels == 1 &&
                            format.wBitsPerSample == 16;
        if (!mono16 && !IsValidForConversion(format)) {
            return Fail(QStringLiteral("This wave file is not valid for conversion"));
        }
        if (!wave_.open(QIODevice::ReadOnly) || !wave_.seek(source_.DataOffset)) {
            return Fail(wave_.errorString() + QStringLiteral(": ") + wave_.fileName());
        }
    }
    if (!mp3_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return Fail(mp3_.errorString() + QStringLiteral(": ") + mp3_.fileName());
    }
    return true;
}

bool Mp3Job::Run(int32_t bitRate, int32_t sampleRate, const Mp3EncodeHooks& hooks) {
    UtilsClass::WriteDebugLine(QStringLiteral("Starting Lame MP3 conversion"));
    if (!OpenFiles()) {
        return false;
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
    // The first frame carries the length and encoder delay, so the MP3 plays back exactly as
    // long as the speech.
    config.bWriteVBRHeader = -1;
    config.nVBRQuality = 4;
    const BE_ERR error = beInitStream(&config, &samplesPerChunk_, &outputSize_, &stream_);
    if (error != BE_ERR_SUCCESSFUL) {
        stream_ = 0;
        return Fail(QStringLiteral("Error opening encoding stream ") + QString::number(error));
    }
    if (!hooks.Title.isEmpty()) {
        std::vector<uint8_t> tag(4096);
        uint32_t size = 0;
        if (beSetTitle(stream_, hooks.Title.toUtf8().constData(), tag.data(), uint32_t(tag.size()),
                       &size) != BE_ERR_SUCCESSFUL ||
            mp3_.write(reinterpret_cast<const char*>(tag.data()), size) != qint64(size)) {
            UtilsClass::WriteDebugLine(QStringLiteral("The MP3 title could not be set: ") +
                                       hooks.Title);
        }
    }
    return Encode(hooks);
}

bool Mp3Job::Encode(const Mp3EncodeHooks& hooks) {
    const TWaveFormatEx mono16 = BuildPcmFormat(16, 1, source_.Format.nSamplesPerSec);
    const bool convert = !empty_ && !(source_.Format == mono16);
    const int64_t frameBytes = empty_ ? 2 : source_.Format.nBlockAlign;
    const int64_t total = empty_ ? 0 : source_.DataLength;
    std::vector<char> input(size_t(samplesPerChunk_ * frameBytes));
    std::vector<int16_t> samples(samplesPerChunk_ + 2);
    std::vector<uint8_t> output(outputSize_);
    if (hooks.SetProgress) {
        hooks.SetProgress(0);
    }
    for (int64_t done = 0; done != total;) {
        const int64_t n = qMin<int64_t>(int64_t(samplesPerChunk_) * frameBytes, total - done);
        if (wave_.read(input.data(), n) != n) {
            return Fail(QStringLiteral("Read Error: ") + wave_.fileName() + QStringLiteral(": ") +
                        wave_.errorString());
        }
        int64_t bytes = n;
        const int16_t* pcm = reinterpret_cast<const int16_t*>(input.data());
        if (convert) {
            bytes = PcmConvert(n, reinterpret_cast<const uint8_t*>(input.data()), source_.Format,
                               reinterpret_cast<uint8_t*>(samples.data()), mono16);
            pcm = samples.data();
        }
        uint32_t written = 0;
        const BE_ERR error =
            beEncodeChunk(stream_, uint32_t(bytes / 2), pcm, output.data(), &written);
        if (error != BE_ERR_SUCCESSFUL) {
            return Fail(QStringLiteral("beEncodeChunk failed ") + QString::number(error));
        }
        if (mp3_.write(reinterpret_cast<const char*>(output.data()), written) != written) {
            return FailWrite("Write Error (1)");
        }
        if (hooks.Stopped && hooks.Stopped()) {
            break;
        }
        done += n;
        if (hooks.SetProgress) {
            hooks.SetProgress(EncodeProgress(done, total));
        }
        if (hooks.ProcessEvents) {
            hooks.ProcessEvents();
        }
    }
    uint32_t written = 0;
    const BE_ERR error = beDeinitStream(stream_, output.data(), &written);
    if (error != BE_ERR_SUCCESSFUL) {
        return Fail(QStringLiteral("beExitStream failed ") + QString::number(error));
    }
    if (mp3_.write(reinterpret_cast<const char*>(output.data()), written) != written ||
        !mp3_.flush()) {
        return FailWrite("Write error (2)");
    }
    mp3_.close();
    if (beWriteInfoTag(stream_, QFile::encodeName(mp3_.fileName()).constData()) !=
        BE_ERR_SUCCESSFUL) {
        return Fail(QStringLiteral("Write error (2): the length could not be written into ") +
                    mp3_.fileName());
    }
    return true;
}

}  // namespace

int EncodeProgress(int64_t done, int64_t total) {
    if (total <= 0) {
        return 0;
    }
    return int(std::nearbyint(double(done) * 100.0 / double(total) + 0.5));
}

Outcome EncodeMp3(const QString& waveFile, const QString& mp3File, int32_t bitRate,
                  int32_t sampleRate, const Mp3EncodeHooks& hooks) {
    bool ok = false;
    QString failure;
    {
        Mp3Job job(waveFile, mp3File);
        ok = job.Run(bitRate, sampleRate, hooks);
        failure = job.Failure();
    }  // both files are closed here
    if (ok) {
        return Outcome::success();
    }
    // A half-written MP3 is worse than none; the wave stays for the user.
    QFile::remove(mp3File);
    return Outcome::failure(failure);
}
