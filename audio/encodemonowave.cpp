#include "audio/encodemonowave.h"

#include <QFile>
#include <QFileInfo>
#include <vector>

#include "audio/encodedoutput.h"
#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "audio/mp3partencoder.h"

namespace {

// Reads the wave, encodes it and writes the output; the failure, if any, in m_failure.
class MonoWaveJob {
  public:
    MonoWaveJob(const QString& waveFile, const QString& formatName, MonoSampleEncoder& encoder,
                EncodedOutput& output, const EncodeHooks& hooks)
        : m_waveName(waveFile),
          m_formatName(formatName),
          m_encoder(encoder),
          m_output(output),
          m_hooks(hooks) {}

    bool run() {
        if (!openWave() || !m_output.open()) {
            return false;
        }
        if (!m_encoder.start(
                m_source.IsOpen() ? m_source.Format.nSamplesPerSec : TMMWave::kNoFileRate,
                m_output)) {
            return false;
        }
        return encodeAll() && m_encoder.finish() && m_output.close();
    }

    QString failure() const {
        if (!m_failure.isEmpty()) {
            return m_failure;
        }
        const QString encoder = m_encoder.failure();
        return encoder.isEmpty() ? m_output.failure() : encoder;
    }

  private:
    bool fail(const QString& message) {
        m_failure = message;
        return false;
    }

    bool openWave() {
        // A wave with nothing in it at all (nothing was spoken) is encoded as silence of no
        // length, as the MP3 writer does.
        if (QFileInfo(m_waveName).size() == 0 && QFileInfo::exists(m_waveName)) {
            return true;
        }
        try {
            m_source.SetFileName(m_waveName);
        } catch (const EMMWaveError& error) {
            const QString why = QString::fromUtf8(error.what());
            return fail(why.contains(m_waveName) ? why : why + QStringLiteral(" ") + m_waveName);
        }
        const TWaveFormatEx& format = m_source.Format;
        const bool mono16 = format.wFormatTag == TWaveFormatEx::kPcm && format.nChannels == 1 &&
                            format.wBitsPerSample == 16;
        if (!mono16 && !IsValidForConversion(format)) {
            return fail(QStringLiteral("This wave file is not valid for conversion: ") +
                        m_waveName);
        }
        m_wave.setFileName(m_waveName);
        if (!m_wave.open(QIODevice::ReadOnly)) {
            return fail(m_wave.errorString() + QStringLiteral(": ") + m_waveName);
        }
        return true;
    }

    bool stopped() {
        if (m_hooks.ProcessEvents) {
            m_hooks.ProcessEvents();
        }
        return m_hooks.Stopped && m_hooks.Stopped();
    }

    bool encodeAll() {
        const int64_t total = m_source.IsOpen() ? m_source.SampleCount : 0;
        // A second of the wave at a time: few enough reads to be fast, few enough samples
        // that a stop or the window's messages wait for no longer than that.
        const int64_t perChunk = m_source.IsOpen() ? int64_t(m_source.Format.nSamplesPerSec) : 1;
        if (m_hooks.SetProgress) {
            m_hooks.SetProgress(0);
        }
        std::vector<int16_t> samples;
        QString failure;
        for (int64_t done = 0; done < total;) {
            const int64_t count = qMin(perChunk, total - done);
            if (!Mp3PartEncoder::readMono(m_wave, m_source, done, count, samples, &failure)) {
                return fail(failure);
            }
            // Only the sample format changes on the way, never the rate: as many samples
            // come out as went in (the converter may round a block's end up by one).
            samples.resize(size_t(qMin(int64_t(samples.size()), count)));
            if (!m_encoder.encode(samples.data(), int64_t(samples.size()))) {
                return false;
            }
            done += count;
            if (m_hooks.SetProgress) {
                m_hooks.SetProgress(EncodeProgress(done, total));
            }
            if (stopped()) {
                return fail(QStringLiteral("The %1 encoding of %2 was stopped")
                                .arg(m_formatName, m_output.fileName()));
            }
        }
        return true;
    }

    const QString m_waveName;
    const QString m_formatName;
    MonoSampleEncoder& m_encoder;
    EncodedOutput& m_output;
    const EncodeHooks& m_hooks;
    TMMWave m_source;
    QFile m_wave;
    QString m_failure;
};

}  // namespace

Outcome EncodeMonoWave(const QString& waveFile, const QString& outFile, const QString& formatName,
                       std::unique_ptr<MonoSampleEncoder> encoder, const EncodeHooks& hooks) {
    EncodedOutput output(outFile);
    bool ok = false;
    QString failure;
    {
        MonoWaveJob job(waveFile, formatName, *encoder, output, hooks);
        ok = job.run();
        failure = job.failure();
        encoder.reset();  // the encoder writes nothing more once it is gone
    }
    const bool closed = output.close();
    if (ok && closed) {
        return Outcome::success();
    }
    if (failure.isEmpty()) {
        failure = output.failure();
    }
    // A half-written file is worse than none; the wave stays for the user. A file of that name
    // that was never opened (the wave could not be read) is someone else's and stays too.
    if (output.opened()) {
        QFile::remove(outFile);
    }
    return Outcome::failure(failure);
}
