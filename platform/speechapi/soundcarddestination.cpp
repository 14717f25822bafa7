#include "platform/speechapi/soundcarddestination.h"

#include <QAudioFormat>

#include "platform/wavedevices/waveoutdevices.h"

namespace {

constexpr int kBufferSeconds = 3;
// How often the device is given more of the buffer.
constexpr int kFeedIntervalMs = 10;

// What happened to a device, as the end of a sentence that names it.
QString reason(QAudio::Error error) {
    switch (error) {
        case QAudio::OpenError:
            return QStringLiteral("cannot be opened");
        case QAudio::IOError:
            return QStringLiteral("takes no more audio");
        case QAudio::FatalError:
            return QStringLiteral("is gone (the audio server stopped, or the device was removed)");
        default:
            return QStringLiteral("has stopped");
    }
}

}  // namespace

SoundCardDestination::SoundCardDestination(int deviceId) {
    m_valid = WaveOutDevices::device(deviceId, &m_device);
    m_feedTimer.setInterval(kFeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &SoundCardDestination::feed);
    m_feedTimer.start();
}

SoundCardDestination::~SoundCardDestination() {
    reset();
    m_feedTimer.stop();
    if (m_sink) {
        m_sink->stop();
    }
}

bool SoundCardDestination::open(int sampleRate) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_discarding = false;
    m_rate = sampleRate;
    return m_valid && m_failure.isEmpty();
}

bool SoundCardDestination::write(const int16_t* samples, int count) {
    std::unique_lock<std::mutex> guard(m_lock);
    const qsizetype limit = qsizetype(m_rate) * 2 * kBufferSeconds;
    m_space.wait(guard,
                 [&] { return m_discarding || !m_failure.isEmpty() || m_buffer.size() < limit; });
    if (m_discarding || !m_failure.isEmpty()) {
        return false;
    }
    m_buffer.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
    m_written += count;
    m_finishing = false;
    return true;
}

void SoundCardDestination::finish() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_finishing = true;
}

void SoundCardDestination::startSink(int rate) {
    if (m_sink) {
        m_sink->stop();
    }
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(m_device, format);
    m_sink->setBufferSize(rate * 2 / 5);  // 200 ms: the highlight stays close to the voice
    // The audio server reports a lost connection as a stop with an error. Queued: the sink
    // changes state inside calls made with the lock held.
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &SoundCardDestination::checkSink,
            Qt::QueuedConnection);
    m_io = m_sink->start();
    m_sinkRate = rate;
    m_fed = 0;
    if (!m_io) {
        fail(reason(m_sink->error() == QAudio::NoError ? QAudio::OpenError : m_sink->error()));
        return;
    }
    if (m_paused) {
        m_sink->suspend();
    }
}

void SoundCardDestination::checkSink() {
    if (m_sink && m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError &&
        m_sink->error() != QAudio::UnderrunError) {
        fail(reason(m_sink->error()));
    }
}

void SoundCardDestination::fail(const QString& reason) {
    QString message;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_failure.isEmpty()) {
            return;
        }
        m_failure = QStringLiteral("The reading stopped: the sound device \"%1\" %2.")
                        .arg(m_device.description(), reason);
        message = m_failure;
        m_buffer.clear();
        m_space.notify_all();  // the synthesis stops writing
    }
    Q_EMIT deviceFailed(message);
}

void SoundCardDestination::feed() {
    checkSink();
    std::unique_lock<std::mutex> guard(m_lock);
    if (m_paused || !m_valid || !m_failure.isEmpty()) {
        return;
    }
    if (m_buffer.isEmpty()) {
        playOutTail();
        return;
    }
    if (!m_sink || m_sinkRate != m_rate) {
        m_base = m_written - m_buffer.size() / 2;  // what came before this sink counts as played
        guard.unlock();
        startSink(m_rate);
        guard.lock();
    }
    if (!m_io || !m_failure.isEmpty()) {
        return;
    }
    const qsizetype room = qMin<qsizetype>(m_sink->bytesFree(), m_buffer.size()) & ~qsizetype(1);
    if (room <= 0) {
        return;
    }
    const qint64 taken = m_io->write(m_buffer.constData(), room);
    if (taken > 0) {
        m_buffer.remove(0, taken & ~qint64(1));
        m_fed += taken / 2;
        m_space.notify_all();
    }
    if (m_buffer.isEmpty()) {
        playOutTail();
    }
}

void SoundCardDestination::playOutTail() {
    // The audio server starts (and, after running dry, restarts) a stream only once it holds a
    // buffer's worth of audio; a text shorter than that would wait for ever. Silence after the
    // end of a text fills the buffer, so the tail is played. It is not counted as fed.
    if (!m_finishing || !m_sink || !m_io) {
        return;
    }
    m_finishing = false;
    const qsizetype room = m_sink->bytesFree() & ~qsizetype(1);
    if (room > 0) {
        m_io->write(QByteArray(room, '\0'));
    }
}

int64_t SoundCardDestination::played() const {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_sink || m_sinkRate <= 0) {
        return m_base;
    }
    if (m_buffer.isEmpty() && m_sink->bytesFree() >= m_sink->bufferSize()) {
        return m_base + m_fed;  // the device has played everything it was given
    }
    const int64_t processed = (m_sink->processedUSecs() * m_sinkRate + 500000) / 1000000;
    // Processed counts what the device has taken; what is still in its buffer is not heard yet.
    const int64_t queued = (m_sink->bufferSize() - m_sink->bytesFree()) / 2;
    return m_base + qBound<int64_t>(0, processed - queued, m_fed);
}

bool SoundCardDestination::draining() const {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_buffer.isEmpty()) {
        return true;
    }
    return m_sink && m_sink->state() == QAudio::ActiveState &&
           m_sink->bytesFree() < m_sink->bufferSize();
}

void SoundCardDestination::pause(bool paused) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_paused = paused;
    if (m_sink) {
        paused ? m_sink->suspend() : m_sink->resume();
    }
}

void SoundCardDestination::reset() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_discarding = true;
        m_finishing = false;
        m_buffer.clear();
        m_paused = false;
        m_base = m_written;
        m_sinkRate = 0;  // the next audio starts a fresh sink
        m_space.notify_all();
    }
    if (m_sink) {
        m_sink->stop();
        m_sink.reset();
        m_io = nullptr;
    }
}

int64_t SoundCardDestination::fed() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_fed;
}
