#include "audio/mp3encoder.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "audio/mp3partplan.h"
#include "platform/shell/threadname.h"
#include "platform/shell/utilsclass.h"

namespace {

// How often the calling thread reports progress and processes messages while workers encode.
constexpr std::chrono::milliseconds kProgressTick{40};
// Bytes copied at a time when the parts are joined.
constexpr qint64 kCopyBlock = 1 << 20;

// One encoding: the wave, the MP3 file and the streams that encode the one into the other.
class Mp3Job {
  public:
    Mp3Job(const QString& waveFile, const QString& mp3File, const Mp3EncodeHooks& hooks)
        : m_waveName(waveFile), m_mp3(mp3File), m_hooks(hooks) {}

    bool run(int32_t bitRate, int32_t sampleRate);
    const QString& failure() const { return m_failure; }

  private:
    bool fail(const QString& message) {
        m_failure = message;
        return false;
    }
    bool openFiles();
    int64_t total() const { return m_source.IsOpen() ? m_source.SampleCount : 0; }
    std::vector<Mp3Part> plan(int32_t bitRate, int32_t sampleRate);
    bool encodeAlone(int32_t bitRate, int32_t sampleRate);
    bool encodeParts(const std::vector<Mp3Part>& parts, int32_t bitRate, int32_t sampleRate);
    bool runWorkers();
    bool joinParts();
    bool finish();

    const QString m_waveName;
    QFile m_mp3;
    const Mp3EncodeHooks& m_hooks;
    TMMWave m_source;  // not open for a wave without any samples
    std::vector<std::unique_ptr<Mp3PartEncoder>> m_encoders;
    std::vector<std::unique_ptr<QTemporaryFile>>
        m_partFiles;  // the frames of parts after the first
    QString m_failure;
};

bool Mp3Job::openFiles() {
    if (QFileInfo(m_waveName).size() != 0 || !QFileInfo::exists(m_waveName)) {
        try {
            m_source.SetFileName(m_waveName);
        } catch (const EMMWaveError& error) {
            return fail(QString::fromUtf8(error.what()) + QStringLiteral(" ") + m_waveName);
        }
        const TWaveFormatEx& format = m_source.Format;
        const bool mono16 = format.wFormatTag == TWaveFormatEx::kPcm && format.nChannels == 1 &&
                            format.wBitsPerSample == 16;
        if (!mono16 && !IsValidForConversion(format)) {
            return fail(QStringLiteral("This wave file is not valid for conversion"));
        }
        QFile wave(m_waveName);
        if (!wave.open(QIODevice::ReadOnly) || !wave.seek(m_source.DataOffset)) {
            return fail(wave.errorString() + QStringLiteral(": ") + m_waveName);
        }
    }  // else no samples at all: the encoder is only started and flushed
    if (!m_mp3.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(m_mp3.errorString() + QStringLiteral(": ") + m_mp3.fileName());
    }
    return true;
}

std::vector<Mp3Part> Mp3Job::plan(int32_t bitRate, int32_t sampleRate) {
    const int threads = m_hooks.Threads > 0 ? m_hooks.Threads : QThread::idealThreadCount();
    const int parts = Mp3PartPlan::partCount(total(), sampleRate, threads);
    if (parts <= 1) {
        return {{0, total()}};
    }
    // A stream of this configuration tells how it lays samples into frames.
    Mp3PartEncoder probe(m_source, {}, m_mp3.fileName());
    QFile nowhere;
    uint32_t perFrame = 0, added = 0;
    if (!probe.start(bitRate, sampleRate, false, {}, &nowhere) ||
        beGetFrameLayout(probe.stream(), &perFrame, &added) != BE_ERR_SUCCESSFUL) {
        return {{0, total()}};
    }
    QFile wave(m_waveName);
    const auto read = [this, &wave](int64_t first, int64_t count, std::vector<int16_t>& out) {
        QString why;
        const bool ok = Mp3PartEncoder::readMono(wave, m_source, first, count, out, &why);
        if (!ok) {
            UtilsClass::WriteDebugLine(why);
        }
        return ok;
    };
    std::vector<Mp3Part> cuts =
        Mp3PartPlan::make(total(), sampleRate, parts, perFrame, added, read);
    if (cuts.empty()) {
        return {{0, total()}};  // the reading fails again where the encoding reads it
    }
    return cuts;
}

bool Mp3Job::encodeAlone(int32_t bitRate, int32_t sampleRate) {
    m_encoders.push_back(
        std::make_unique<Mp3PartEncoder>(m_source, Mp3Part{0, total()}, m_mp3.fileName()));
    Mp3PartEncoder& encoder = *m_encoders.front();
    if (!encoder.start(bitRate, sampleRate, true, m_hooks.Title, &m_mp3)) {
        return fail(encoder.failure());
    }
    if (m_hooks.SetProgress) {
        m_hooks.SetProgress(0);
    }
    const int64_t all = total();
    const bool encoded = encoder.encode([this, all](int64_t done) {
        if (m_hooks.Stopped && m_hooks.Stopped()) {
            return false;
        }
        if (m_hooks.SetProgress) {
            m_hooks.SetProgress(EncodeProgress(done, all));
        }
        if (m_hooks.ProcessEvents) {
            m_hooks.ProcessEvents();
        }
        return true;
    });
    return encoded ? finish() : fail(encoder.failure());
}

bool Mp3Job::encodeParts(const std::vector<Mp3Part>& parts, int32_t bitRate, int32_t sampleRate) {
    const QString folder = QFileInfo(m_mp3.fileName()).absolutePath();
    for (size_t i = 0; i < parts.size(); ++i) {
        QIODevice* output = &m_mp3;
        if (i > 0) {
            m_partFiles.push_back(std::make_unique<QTemporaryFile>(
                folder + QStringLiteral("/.quillsong-XXXXXX.part")));
            if (!m_partFiles.back()->open()) {
                return fail(QStringLiteral("Write Error (1): cannot write %1: %2")
                                .arg(m_mp3.fileName(), m_partFiles.back()->errorString()));
            }
            output = m_partFiles.back().get();
        }
        m_encoders.push_back(
            std::make_unique<Mp3PartEncoder>(m_source, parts[i], m_mp3.fileName()));
        if (!m_encoders.back()->start(bitRate, sampleRate, i == 0, m_hooks.Title, output)) {
            return fail(m_encoders.back()->failure());
        }
    }
    return runWorkers() && joinParts() && finish();
}

// Runs every stream on a worker of its own, while this thread reports progress, processes
// messages and passes a stop on to every worker; returns once all workers have ended.
bool Mp3Job::runWorkers() {
    const size_t count = m_encoders.size();
    std::vector<std::atomic<int64_t>> done(count);
    std::vector<char> ok(count, 0);
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable ended;
    size_t running = count;
    std::vector<std::thread> workers;
    for (size_t i = 0; i < count; ++i) {
        workers.emplace_back([&, i] {
            nameThisThread(QStringLiteral("mp3 part %1").arg(i + 1));
            ok[i] = m_encoders[i]->encode([&done, &stop, i](int64_t samples) {
                done[i] = samples;
                return !stop.load();
            });
            std::lock_guard<std::mutex> guard(lock);
            --running;
            ended.notify_all();
        });
    }
    const int64_t all = total();
    int shown = -1;
    for (bool finished = false; !finished;) {
        {
            std::unique_lock<std::mutex> guard(lock);
            finished = ended.wait_for(guard, kProgressTick, [&running] { return running == 0; });
        }
        int64_t sum = 0;
        for (const auto& part : done) {
            sum += part.load();
        }
        const int percent = EncodeProgress(sum, all);
        if (m_hooks.SetProgress && percent != shown) {
            m_hooks.SetProgress(shown = percent);
        }
        if (m_hooks.ProcessEvents) {
            m_hooks.ProcessEvents();
        }
        if (m_hooks.Stopped && m_hooks.Stopped()) {
            stop = true;
        }
    }
    for (std::thread& worker : workers) {
        worker.join();  // the thread has ended, not only its work
    }
    for (size_t i = 0; i < count; ++i) {
        if (!ok[i]) {
            return fail(m_encoders[i]->failure());
        }
    }
    if (stop) {
        return fail(QStringLiteral("The MP3 encoding of %1 was stopped").arg(m_mp3.fileName()));
    }
    return true;
}

// Appends the frames of the later parts to the file, in order.
bool Mp3Job::joinParts() {
    QByteArray block;
    for (const auto& part : m_partFiles) {
        if (!part->seek(0)) {
            return fail(part->errorString() + QStringLiteral(": ") + part->fileName());
        }
        while (!(block = part->read(kCopyBlock)).isEmpty()) {
            if (m_mp3.write(block) != block.size()) {
                return fail(QStringLiteral("Write error (2): cannot write %1: %2")
                                .arg(m_mp3.fileName(), m_mp3.errorString()));
            }
        }
        if (part->error() != QFileDevice::NoError) {
            return fail(part->errorString() + QStringLiteral(": ") + part->fileName());
        }
        part->remove();
    }
    return true;
}

// Closes the file and fills its header frame with the length of the whole.
bool Mp3Job::finish() {
    if (!m_mp3.flush()) {
        return fail(QStringLiteral("Write error (2): cannot write %1: %2")
                        .arg(m_mp3.fileName(), m_mp3.errorString()));
    }
    m_mp3.close();
    std::vector<HBE_STREAM> streams;
    for (const auto& encoder : m_encoders) {
        streams.push_back(encoder->stream());
    }
    const QByteArray name = QFile::encodeName(m_mp3.fileName());
    const BE_ERR tagged =
        streams.size() == 1
            ? beWriteInfoTag(streams.front(), name.constData())
            : beWriteJoinedInfoTag(streams.data(), uint32_t(streams.size()), name.constData());
    if (tagged != BE_ERR_SUCCESSFUL) {
        return fail(QStringLiteral("Write error (2): the length could not be written into ") +
                    m_mp3.fileName());
    }
    return true;
}

bool Mp3Job::run(int32_t bitRate, int32_t sampleRate) {
    UtilsClass::WriteDebugLine(QStringLiteral("Starting Lame MP3 conversion"));
    if (!openFiles()) {
        return false;
    }
    const std::vector<Mp3Part> parts = plan(bitRate, sampleRate);
    if (m_hooks.Planned) {
        m_hooks.Planned(parts);
    }
    if (parts.size() == 1) {
        return encodeAlone(bitRate, sampleRate);
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Encoding in %1 parts at once").arg(parts.size()));
    return encodeParts(parts, bitRate, sampleRate);
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
        Mp3Job job(waveFile, mp3File, hooks);
        ok = job.run(bitRate, sampleRate);
        failure = job.failure();
    }  // every file is closed and every worker ended here
    if (ok) {
        return Outcome::success();
    }
    // A half-written MP3 is worse than none; the wave stays for the user.
    QFile::remove(mp3File);
    return Outcome::failure(failure);
}
