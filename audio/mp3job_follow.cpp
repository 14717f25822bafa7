#include "audio/mp3job.h"

#include <QFileInfo>
#include <chrono>

#include "platform/shell/utilsclass.h"

// Encoding while the wave is being written: the first stream follows the writer.

namespace {

// How often a worker that has caught up with the writer looks for more samples.
constexpr std::chrono::milliseconds kWriterPoll{20};
// The engine's kind of wave.
constexpr uint16_t kEngineBits = 16;
constexpr uint16_t kEngineChannels = 1;

}  // namespace

void Mp3Job::startBehindWriter(int32_t bitRate, uint32_t leastRate) {
    m_bitRate = bitRate;
    m_leastRate = leastRate;
    m_workers.push_back(std::make_unique<Worker>());
    Worker& worker = *m_workers.front();
    startWorker(worker, 0, [this, &worker] { return followWriter(worker); });
}

// Waits until the writer has put the wave's header in the file; false when stopped first.
bool Mp3Job::waitForHeader() {
    for (;;) {
        try {
            m_source.SetFileName(m_waveName);
            return true;
        } catch (const EMMWaveError&) {
            // not written yet
        }
        std::unique_lock<std::mutex> guard(m_lock);
        if (m_wake.wait_for(guard, kWriterPoll, [this] { return m_stop.load(); })) {
            return false;
        }
    }
}

// The first stream, following the writer until the end of its part is known. True when it
// ended well, or when the wave is not one it can follow (then nothing was made).
bool Mp3Job::followWriter(Worker& worker) {
    if (!waitForHeader()) {
        return true;
    }
    const TWaveFormatEx& format = m_source.Format;
    if (format.wFormatTag != TWaveFormatEx::kPcm || format.nChannels != kEngineChannels ||
        format.wBitsPerSample != kEngineBits) {
        return true;  // not the engine's kind of wave: it is encoded once complete
    }
    m_targetRate = format.nSamplesPerSec < m_leastRate ? m_leastRate : 0;
    auto encoder =
        std::make_unique<Mp3PartEncoder>(m_source, Mp3Part{}, m_mp3.fileName(), m_targetRate);
    Mp3PartEncoder* first = encoder.get();
    const bool opened = m_mp3.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const bool started =
        opened && first->start(m_bitRate, encoderRate(m_source), true, m_hooks.Tags, &m_mp3);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_encoders.push_back(std::move(encoder));
        m_samplesPerRead = first->samplesPerRead();
        m_following = true;
        if (!opened) {
            m_followFailure = m_mp3.errorString() + QStringLiteral(": ") + m_mp3.fileName();
        }
    }
    if (!started) {
        return false;
    }
    return first->encode(progressOf(worker), [this](int64_t done) { return behindWriter(done); });
}

int64_t Mp3Job::behindWriter(int64_t done) {
    std::unique_lock<std::mutex> guard(m_lock);
    m_position = done;
    for (;;) {
        if (m_stop) {
            return done;
        }
        if (m_firstEnd >= 0) {
            return m_firstEnd;
        }
        // Only whole reads of what the writer has put in the file, as a single stream takes
        // them from a complete wave.
        const int64_t written = (QFileInfo(m_waveName).size() - m_source.DataOffset) /
                                qMax<int64_t>(1, m_source.Format.nBlockAlign);
        if (written - done >= m_samplesPerRead) {
            return done + m_samplesPerRead;
        }
        m_wake.wait_for(guard, kWriterPoll);
    }
}

// With the wave complete and the first stream at position: the end of the first part and the
// parts after it, so that every worker gets about as much left to encode.
std::vector<Mp3Part> Mp3Job::planRest(int64_t position) {
    const int64_t least = position + m_samplesPerRead;
    const int parts =
        Mp3PartPlan::partCount(m_total - position, int(m_whole.Format.nSamplesPerSec), threads());
    Mp3PartPlan::Layout frames;
    if (parts <= 1 || least >= m_total || !layout(m_bitRate, m_whole, &frames)) {
        return {{0, m_total}};
    }
    const int64_t target = std::max(least, position + (m_total - position) / parts);
    bool ok = false;
    const int64_t end =
        Mp3PartPlan::cutNear(0, target, least, m_total, frames, reader(m_whole), &ok);
    if (!ok) {
        return {{0, m_total}};
    }
    std::vector<Mp3Part> rest =
        Mp3PartPlan::make(end + frames.added, m_total, parts - 1, frames, reader(m_whole));
    if (rest.empty()) {
        return {{0, m_total}};
    }
    rest.insert(rest.begin(), Mp3Part{0, end});
    return rest;
}

bool Mp3Job::finishBehindWriter(const Mp3EncodeHooks& hooks, bool* applied) {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        *applied = m_following;
    }
    if (!*applied) {
        stop();
        return false;
    }
    const AudioTags tags = m_hooks.Tags;
    m_hooks = hooks;
    m_hooks.Tags = tags;
    try {
        m_whole.SetFileName(m_waveName);
    } catch (const EMMWaveError& error) {
        stop();
        return fail(QString::fromUtf8(error.what()) + QStringLiteral(" ") + m_waveName);
    }
    m_total = m_whole.SampleCount;
    std::vector<Mp3Part> parts;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        parts = planRest(m_position);
        m_firstEnd = parts.front().count;
    }
    m_wake.notify_all();
    if (m_hooks.Planned) {
        m_hooks.Planned(parts);
    }
    if (parts.size() > 1) {
        UtilsClass::WriteDebugLine(
            QStringLiteral("Encoding the rest in %1 parts at once").arg(parts.size()));
        if (!startParts(parts, 1, m_whole, m_bitRate)) {
            stop();
            return false;
        }
        for (size_t i = 1; i < parts.size(); ++i) {
            launch(i);
        }
    }
    return superviseWorkers() && joinParts() && finish();
}
