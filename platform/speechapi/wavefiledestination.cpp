#include "platform/speechapi/wavefiledestination.h"

#include <QThread>
#include <QtEndian>

#include "platform/speechapi/speechapi.h"

namespace {

constexpr int64_t kUnknownSize = 0xFFFFFFFF;

QByteArray Le32(uint32_t v) {
    const uint32_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

QByteArray Le16(uint16_t v) {
    const uint16_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 2);
}

}  // namespace

WaveFileDestination::WaveFileDestination(const QString& fileName) : file_(fileName) {}

WaveFileDestination::~WaveFileDestination() = default;

WaveFileDestination* WaveFileDestination::Of(const ITTSCentralW* central) {
    return central ? qobject_cast<WaveFileDestination*>(central->Destination()) : nullptr;
}

bool WaveFileDestination::SetFile(const QString& fileName) {
    const bool flushed = !file_.isOpen() || Flush();
    QMutexLocker lock(&lock_);
    file_.setFileName(fileName);
    failed_ = false;  // the new file has not failed yet
    error_.clear();
    return flushed;
}

QString WaveFileDestination::FileName() const {
    QMutexLocker lock(&lock_);
    return file_.fileName();
}

QString WaveFileDestination::ErrorText() const {
    QMutexLocker lock(&lock_);
    return error_;
}

QString WaveFileDestination::Fail() {
    if (failed_) {
        return {};
    }
    failed_ = true;
    error_ = QStringLiteral("Cannot write %1: %2").arg(file_.fileName(), file_.errorString());
    return error_;
}

bool WaveFileDestination::WriteAll(const char* data, qint64 size) {
    // A short write is tried again, so a full disk is reported with its own reason.
    for (qint64 done = 0; done < size;) {
        const qint64 n = file_.write(data + done, size - done);
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return true;
}

bool WaveFileDestination::WriteHeader() {
    // Past 4 GB the sizes say "to the end of the file", as readers of long recordings expect.
    const uint32_t data = uint32_t(qMin<int64_t>(dataBytes_, kUnknownSize));
    const uint32_t riff = uint32_t(qMin<int64_t>(36 + dataBytes_, kUnknownSize));
    const QByteArray header = "RIFF" + Le32(riff) + "WAVE" + "fmt " + Le32(16) + Le16(1) + Le16(1) +
                              Le32(uint32_t(rate_)) + Le32(uint32_t(rate_ * 2)) + Le16(2) +
                              Le16(16) + "data" + Le32(data);
    return file_.seek(0) && WriteAll(header.constData(), header.size());
}

bool WaveFileDestination::Open(int sampleRate) {
    QString failure;
    {
        QMutexLocker lock(&lock_);
        if (file_.isOpen()) {
            reset_ = false;                          // a new text after a reset is written again
            return rate_ == sampleRate && !failed_;  // one file holds one rate
        }
        rate_ = sampleRate;
        dataBytes_ = 0;
        reset_ = false;
        failed_ = false;
        error_.clear();
        // Unbuffered: a write that fails says so at once, not when a buffer is flushed later.
        if (file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) &&
            WriteHeader()) {
            clock_.start();
            fileStart_ = written_;
            pacedFrom_ = 0;
            return true;
        }
        failure = Fail();
    }
    Q_EMIT writeFailed(failure);
    return false;
}

void WaveFileDestination::WaitForPace(int64_t samplesAfter) {
    // At most n/256 times real time: the audio may not run ahead of the clock by more.
    while (realTime_ > 0 && !reset_) {
        const double allowed = double(clock_.elapsed()) / 1000.0 * rate_ * realTime_ / 256.0;
        const double ahead = double(samplesAfter - pacedFrom_) - allowed;
        if (ahead <= 0 && !paused_) {
            return;
        }
        const unsigned long waitMs =
            paused_ ? 50
                    : (unsigned long)qBound(1.0, ahead * 1000.0 * 256.0 / realTime_ / rate_, 50.0);
        wake_.wait(&lock_, waitMs);
    }
    while (paused_ && !reset_) {
        wake_.wait(&lock_, 50);
    }
}

bool WaveFileDestination::Write(const int16_t* samples, int count) {
    QString failure;
    {
        QMutexLocker lock(&lock_);
        WaitForPace(written_ - fileStart_ + count);
        if (reset_ || !file_.isOpen() || failed_) {
            return false;
        }
        const qint64 bytes = qint64(count) * 2;
        if (WriteAll(reinterpret_cast<const char*>(samples), bytes)) {
            dataBytes_ += bytes;
            written_ += count;
            return true;
        }
        failure = Fail();
    }
    if (!failure.isEmpty()) {
        Q_EMIT writeFailed(failure);
    }
    return false;
}

void WaveFileDestination::Pause(bool paused) {
    QMutexLocker lock(&lock_);
    paused_ = paused;
    if (!paused) {
        // Pacing starts afresh, so the time paused is not made up in a burst.
        pacedFrom_ = written_ - fileStart_;
        clock_.restart();
    }
    wake_.wakeAll();
}

void WaveFileDestination::Reset() {
    QMutexLocker lock(&lock_);
    reset_ = true;
    paused_ = false;
    wake_.wakeAll();
}

bool WaveFileDestination::Flush() {
    QMutexLocker lock(&lock_);
    if (!file_.isOpen()) {
        return !failed_;
    }
    // A file that missed some of its audio is not complete, whatever its header says.
    bool ok = !failed_;
    if (ok && !(WriteHeader() && file_.flush())) {
        Fail();
        ok = false;
    }
    file_.close();
    reset_ = false;
    return ok;
}
