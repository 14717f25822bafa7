#include "audio/mp3job.h"

#include <QFileInfo>
#include <QThread>
#include <chrono>
#include <cmath>

#include "platform/shell/threadname.h"
#include "platform/shell/utilsclass.h"

namespace {

// How often the calling thread reports progress and processes messages while workers encode.
constexpr std::chrono::milliseconds kProgressTick{40};
// Bytes copied at a time when the parts are joined.
constexpr qint64 kCopyBlock = 1 << 20;
// What the encoder takes.
constexpr uint16_t kEncoderBits = 16;
constexpr uint16_t kEncoderChannels = 1;

}  // namespace

Mp3Job::Mp3Job(const QString& waveFile, const QString& mp3File, const Mp3EncodeHooks& hooks)
    : m_waveName(waveFile), m_mp3(mp3File), m_hooks(hooks) {}

Mp3Job::~Mp3Job() {
    stop();
}

void Mp3Job::stop() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    for (const auto& worker : m_workers) {
        if (worker->thread.joinable()) {
            worker->thread.join();  // the thread has ended, not only its work
        }
    }
}

int Mp3Job::threads() const {
    return m_hooks.Threads > 0 ? m_hooks.Threads : QThread::idealThreadCount();
}

bool Mp3Job::openFiles(int32_t sampleRate) {
    if (QFileInfo(m_waveName).size() != 0 || !QFileInfo::exists(m_waveName)) {
        try {
            m_source.SetFileName(m_waveName);
        } catch (const EMMWaveError& error) {
            return fail(QString::fromUtf8(error.what()) + QStringLiteral(" ") + m_waveName);
        }
        const TWaveFormatEx& format = m_source.Format;
        if (format.nSamplesPerSec != uint32_t(sampleRate)) {
            m_targetRate = uint32_t(sampleRate);  // converted on the way
        }
        const bool mono16 = format.wFormatTag == TWaveFormatEx::kPcm &&
                            format.nChannels == kEncoderChannels &&
                            format.wBitsPerSample == kEncoderBits;
        if ((!mono16 || m_targetRate) && !IsValidForConversion(format)) {
            return fail(QStringLiteral("This wave file is not valid for conversion"));
        }
        QFile wave(m_waveName);
        if (!wave.open(QIODevice::ReadOnly) || !wave.seek(m_source.DataOffset)) {
            return fail(wave.errorString() + QStringLiteral(": ") + m_waveName);
        }
        m_total = m_source.SampleCount;
    }  // else no samples at all: the encoder is only started and flushed
    if (!m_mp3.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(m_mp3.errorString() + QStringLiteral(": ") + m_mp3.fileName());
    }
    return true;
}

int Mp3Job::encoderRate(const TMMWave& wave) const {
    return int(m_targetRate ? m_targetRate : wave.Format.nSamplesPerSec);
}

bool Mp3Job::layout(int32_t bitRate, const TMMWave& wave, Mp3PartPlan::Layout* layout) {
    // A stream of this configuration tells how it lays samples into frames.
    Mp3PartEncoder probe(wave, {}, m_mp3.fileName());
    QFile nowhere;
    layout->rate = int(wave.Format.nSamplesPerSec);
    uint32_t perFrame = 0, added = 0;
    if (!probe.start(bitRate, encoderRate(wave), false, {}, &nowhere) ||
        beGetFrameLayout(probe.stream(), &perFrame, &added) != BE_ERR_SUCCESSFUL) {
        return false;
    }
    // In samples of the wave: converted, a cut keeps its time to within a sample or so.
    const double ratio = double(layout->rate) / double(encoderRate(wave));
    layout->samplesPerFrame = uint32_t(std::lround(perFrame * ratio));
    layout->added = uint32_t(std::lround(added * ratio));
    return layout->samplesPerFrame > 0;
}

Mp3PartPlan::Reader Mp3Job::reader(const TMMWave& wave) {
    return [&wave](int64_t first, int64_t count, std::vector<int16_t>& out) {
        QFile file(wave.FileName());
        QString why;
        const bool ok = Mp3PartEncoder::readMono(file, wave, first, count, out, &why);
        if (!ok) {
            UtilsClass::WriteDebugLine(why);
        }
        return ok;
    };
}

std::vector<Mp3Part> Mp3Job::plan(int32_t bitRate) {
    const int parts =
        m_source.IsOpen()
            ? Mp3PartPlan::partCount(m_total, int(m_source.Format.nSamplesPerSec), threads())
            : 1;
    Mp3PartPlan::Layout frames;
    if (parts <= 1 || !layout(bitRate, m_source, &frames)) {
        return {{0, m_total}};
    }
    std::vector<Mp3Part> cuts = Mp3PartPlan::make(0, m_total, parts, frames, reader(m_source));
    if (cuts.empty()) {
        return {{0, m_total}};  // the reading fails again where the encoding reads it
    }
    return cuts;
}

bool Mp3Job::encodeAlone(int32_t bitRate, int32_t sampleRate) {
    m_encoders.push_back(std::make_unique<Mp3PartEncoder>(m_source, Mp3Part{0, m_total},
                                                          m_mp3.fileName(), m_targetRate));
    Mp3PartEncoder& encoder = *m_encoders.front();
    if (!encoder.start(bitRate, sampleRate, true, m_hooks.Tags, &m_mp3)) {
        return fail(encoder.failure());
    }
    if (m_hooks.SetProgress) {
        m_hooks.SetProgress(0);
    }
    const int64_t all = m_total;
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

// Starts the streams of parts from the index from on, each writing into a part file of its
// own; the first part writes into the MP3 file itself.
bool Mp3Job::startParts(const std::vector<Mp3Part>& parts, size_t from, const TMMWave& wave,
                        int32_t bitRate) {
    const QString folder = QFileInfo(m_mp3.fileName()).absolutePath();
    for (size_t i = from; i < parts.size(); ++i) {
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
            std::make_unique<Mp3PartEncoder>(wave, parts[i], m_mp3.fileName(), m_targetRate));
        if (!m_encoders.back()->start(bitRate, encoderRate(wave), i == 0, m_hooks.Tags, output)) {
            return fail(m_encoders.back()->failure());
        }
    }
    return true;
}

// Runs work on a worker thread of its own, named after its part, and records how it ended.
void Mp3Job::startWorker(Worker& worker, size_t index, std::function<bool()> work) {
    worker.running = true;
    worker.thread = std::thread([this, index, &worker, work = std::move(work)] {
        nameThisThread(QStringLiteral("mp3 part %1").arg(index + 1));
        const bool ok = work();
        std::lock_guard<std::mutex> guard(m_lock);
        worker.ok = ok;
        worker.running = false;
        m_wake.notify_all();
    });
}

std::function<bool(int64_t)> Mp3Job::progressOf(Worker& worker) {
    return [this, &worker](int64_t samples) {
        worker.done = samples;
        return !m_stop.load();
    };
}

// Runs the stream of encoder index on a worker of its own.
void Mp3Job::launch(size_t index) {
    while (m_workers.size() <= index) {
        m_workers.push_back(std::make_unique<Worker>());
    }
    Worker& worker = *m_workers[index];
    Mp3PartEncoder* encoder = m_encoders[index].get();
    startWorker(worker, index,
                [this, encoder, &worker] { return encoder->encode(progressOf(worker)); });
}

// Reports progress, processes messages and passes a stop on, until every worker has ended.
bool Mp3Job::superviseWorkers() {
    int shown = -1;
    for (bool finished = false; !finished;) {
        {
            std::unique_lock<std::mutex> guard(m_lock);
            finished = m_wake.wait_for(guard, kProgressTick, [this] {
                for (const auto& worker : m_workers) {
                    if (worker->running) {
                        return false;
                    }
                }
                return true;
            });
        }
        int64_t sum = 0;
        for (const auto& worker : m_workers) {
            sum += worker->done.load();
        }
        const int percent = EncodeProgress(sum, m_total);
        if (m_hooks.SetProgress && percent != shown) {
            m_hooks.SetProgress(shown = percent);
        }
        if (m_hooks.ProcessEvents) {
            m_hooks.ProcessEvents();
        }
        if (m_hooks.Stopped && m_hooks.Stopped()) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_stop = true;
            m_wake.notify_all();
        }
    }
    for (const auto& worker : m_workers) {
        if (worker->thread.joinable()) {
            worker->thread.join();
        }
    }
    for (size_t i = 0; i < m_workers.size(); ++i) {
        if (!m_workers[i]->ok) {
            const QString why = i < m_encoders.size() ? m_encoders[i]->failure() : QString();
            return fail(why.isEmpty() ? m_followFailure : why);
        }
    }
    if (m_stop) {
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
                                .arg(m_mp3.fileName(), Mp3PartEncoder::writeError(&m_mp3)));
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
                        .arg(m_mp3.fileName(), Mp3PartEncoder::writeError(&m_mp3)));
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
    if (!openFiles(sampleRate)) {
        return false;
    }
    const std::vector<Mp3Part> parts = plan(bitRate);
    if (m_hooks.Planned) {
        m_hooks.Planned(parts);
    }
    if (parts.size() == 1) {
        return encodeAlone(bitRate, sampleRate);
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Encoding in %1 parts at once").arg(parts.size()));
    if (!startParts(parts, 0, m_source, bitRate)) {
        return false;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        launch(i);
    }
    return superviseWorkers() && joinParts() && finish();
}
