#include "platform/speechapi/wavefiledestination.h"

#include <QThread>
#include <QtEndian>

#include "platform/speechapi/speechapi.h"

namespace {

constexpr int64_t kUnknownSize = 0xFFFFFFFF;
// The fields of the header: 16-bit mono PCM, and how many bytes come before the data.
constexpr uint32_t kFormatChunkSize = 16;
constexpr uint16_t kPcmFormat = 1;
constexpr uint16_t kChannels = 1;
constexpr uint16_t kBytesPerSample = 2;
constexpr uint16_t kBitsPerSample = 16;
constexpr int64_t kHeaderBytesAfterRiffSize = 36;

QByteArray le32(uint32_t v) {
    const uint32_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

QByteArray le16(uint16_t v) {
    const uint16_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 2);
}

}  // namespace

static_assert(WaveFileDestination::kMaxDataBytes + kHeaderBytesAfterRiffSize <= kUnknownSize,
              "the largest file's RIFF size fits its field");

WaveFileDestination::WaveFileDestination(const QString& fileName, int64_t maxDataBytes)
    : m_file(fileName), m_maxDataBytes(qBound<int64_t>(0, maxDataBytes, kMaxDataBytes)) {}

WaveFileDestination::~WaveFileDestination() = default;

WaveFileDestination* WaveFileDestination::of(const ITTSCentralW* central) {
    return central ? qobject_cast<WaveFileDestination*>(central->destination()) : nullptr;
}

bool WaveFileDestination::setFile(const QString& fileName) {
    const bool flushed = !m_file.isOpen() || flush();
    QMutexLocker lock(&m_lock);
    m_file.setFileName(fileName);
    m_failed = false;  // the new file has not failed yet
    m_error.clear();
    return flushed;
}

QString WaveFileDestination::fileName() const {
    QMutexLocker lock(&m_lock);
    return m_file.fileName();
}

QString WaveFileDestination::errorText() const {
    QMutexLocker lock(&m_lock);
    return m_error;
}

QString WaveFileDestination::fail(const QString& reason) {
    if (m_failed) {
        return {};
    }
    m_failed = true;
    m_error = QStringLiteral("Cannot write %1: %2")
                  .arg(m_file.fileName(), reason.isEmpty() ? m_file.errorString() : reason);
    return m_error;
}

QString WaveFileDestination::limitReason() const {
    constexpr double kSecondsPerHour = 3600;
    const double hours =
        double(kMaxDataBytes) / kBytesPerSample / qMax(1, m_rate) / kSecondsPerHour;
    // An MP3 file is made from such a wave, so it has the same limit.
    return QStringLiteral(
               "a reading to a file holds at most 4 GB of sound (%1 hours at this "
               "voice's %2 Hz); the reading stopped there. Read the text in parts")
        .arg(QString::number(hours, 'f', 1))
        .arg(m_rate);
}

bool WaveFileDestination::writeAll(const char* data, qint64 size) {
    // A short write is tried again, so a full disk is reported with its own reason.
    for (qint64 done = 0; done < size;) {
        const qint64 n = m_file.write(data + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

bool WaveFileDestination::writeHeader() {
    // write keeps the samples within kMaxDataBytes, so both sizes fit their fields.
    const uint32_t data = uint32_t(m_dataBytes);
    const uint32_t riff = uint32_t(kHeaderBytesAfterRiffSize + m_dataBytes);
    const QByteArray header = "RIFF" + le32(riff) + "WAVE" + "fmt " + le32(kFormatChunkSize) +
                              le16(kPcmFormat) + le16(kChannels) + le32(uint32_t(m_rate)) +
                              le32(uint32_t(m_rate * kBytesPerSample)) + le16(kBytesPerSample) +
                              le16(kBitsPerSample) + "data" + le32(data);
    return m_file.seek(0) && writeAll(header.constData(), header.size());
}

bool WaveFileDestination::open(int sampleRate) {
    QString failure;
    {
        QMutexLocker lock(&m_lock);
        if (m_file.isOpen()) {
            m_reset = false;                           // a new text after a reset is written again
            return m_rate == sampleRate && !m_failed;  // one file holds one rate
        }
        m_rate = sampleRate;
        m_dataBytes = 0;
        m_reset = false;
        m_failed = false;
        m_error.clear();
        // Unbuffered: a write that fails says so at once, not when a buffer is flushed later.
        if (m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
            writeHeader()) {
            m_clock.start();
            m_fileStart = m_written;
            m_pacedFrom = 0;
            return true;
        }
        failure = fail();
    }
    Q_EMIT writeFailed(failure);
    return false;
}

void WaveFileDestination::waitForPace(int64_t samplesAfter) {
    // At most n/256 times real time: the audio may not run ahead of the clock by more.
    while (m_realTime > 0 && !m_reset) {
        const double allowed = double(m_clock.elapsed()) / 1000.0 * m_rate * m_realTime / 256.0;
        const double ahead = double(samplesAfter - m_pacedFrom) - allowed;
        if (ahead <= 0 && !m_paused) {
            return;
        }
        const unsigned long waitMs =
            m_paused
                ? 50
                : (unsigned long)qBound(1.0, ahead * 1000.0 * 256.0 / m_realTime / m_rate, 50.0);
        m_wake.wait(&m_lock, waitMs);
    }
    while (m_paused && !m_reset) {
        m_wake.wait(&m_lock, 50);
    }
}

bool WaveFileDestination::write(const int16_t* samples, int count) {
    QString failure;
    {
        QMutexLocker lock(&m_lock);
        waitForPace(m_written - m_fileStart + count);
        if (m_reset || !m_file.isOpen() || m_failed) {
            return false;
        }
        const qint64 bytes = qint64(count) * kBytesPerSample;
        if (m_dataBytes + bytes > m_maxDataBytes) {
            // Past this the header could not say how long the file is.
            failure = fail(limitReason());
        } else if (writeAll(reinterpret_cast<const char*>(samples), bytes)) {
            m_dataBytes += bytes;
            m_written += count;
            return true;
        } else {
            failure = fail();
        }
    }
    if (!failure.isEmpty()) {
        Q_EMIT writeFailed(failure);
    }
    return false;
}

void WaveFileDestination::pause(bool paused) {
    QMutexLocker lock(&m_lock);
    m_paused = paused;
    if (!paused) {
        // Pacing starts afresh, so the time paused is not made up in a burst.
        m_pacedFrom = m_written - m_fileStart;
        m_clock.restart();
    }
    m_wake.wakeAll();
}

void WaveFileDestination::reset() {
    QMutexLocker lock(&m_lock);
    m_reset = true;
    m_paused = false;
    m_wake.wakeAll();
}

bool WaveFileDestination::flush() {
    QMutexLocker lock(&m_lock);
    if (!m_file.isOpen()) {
        return !m_failed;
    }
    // A file that missed some of its audio is not complete, whatever its header says.
    bool ok = !m_failed;
    if (ok && !(writeHeader() && m_file.flush())) {
        fail();
        ok = false;
    }
    m_file.close();
    m_reset = false;
    return ok;
}
