#include "platform/speechapi/soundcarddestination.h"

#include <QAudioFormat>

#include "platform/wavedevices/waveoutdevices.h"

namespace {

constexpr int kBufferSeconds = 3;

// What happened to a device, as the end of a sentence that names it.
QString Reason(QAudio::Error error) {
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
    valid_ = WaveOutDevices::device(deviceId, &device_);
    feedTimer_.setInterval(10);
    connect(&feedTimer_, &QTimer::timeout, this, &SoundCardDestination::Feed);
    feedTimer_.start();
}

SoundCardDestination::~SoundCardDestination() {
    Reset();
    feedTimer_.stop();
    if (sink_) {
        sink_->stop();
    }
}

bool SoundCardDestination::Open(int sampleRate) {
    std::lock_guard<std::mutex> guard(lock_);
    discarding_ = false;
    rate_ = sampleRate;
    return valid_ && failure_.isEmpty();
}

bool SoundCardDestination::Write(const int16_t* samples, int count) {
    std::unique_lock<std::mutex> guard(lock_);
    const qsizetype limit = qsizetype(rate_) * 2 * kBufferSeconds;
    space_.wait(guard,
                [&] { return discarding_ || !failure_.isEmpty() || buffer_.size() < limit; });
    if (discarding_ || !failure_.isEmpty()) {
        return false;
    }
    buffer_.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
    written_ += count;
    finishing_ = false;
    return true;
}

void SoundCardDestination::Finish() {
    std::lock_guard<std::mutex> guard(lock_);
    finishing_ = true;
}

void SoundCardDestination::StartSink(int rate) {
    if (sink_) {
        sink_->stop();
    }
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    sink_ = std::make_unique<QAudioSink>(device_, format);
    sink_->setBufferSize(rate * 2 / 5);  // 200 ms: the highlight stays close to the voice
    // The audio server reports a lost connection as a stop with an error. Queued: the sink
    // changes state inside calls made with the lock held.
    connect(sink_.get(), &QAudioSink::stateChanged, this, &SoundCardDestination::CheckSink,
            Qt::QueuedConnection);
    io_ = sink_->start();
    sinkRate_ = rate;
    fed_ = 0;
    if (!io_) {
        Fail(Reason(sink_->error() == QAudio::NoError ? QAudio::OpenError : sink_->error()));
        return;
    }
    if (paused_) {
        sink_->suspend();
    }
}

void SoundCardDestination::CheckSink() {
    if (sink_ && sink_->state() == QAudio::StoppedState && sink_->error() != QAudio::NoError &&
        sink_->error() != QAudio::UnderrunError) {
        Fail(Reason(sink_->error()));
    }
}

void SoundCardDestination::Fail(const QString& reason) {
    QString message;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (!failure_.isEmpty()) {
            return;
        }
        failure_ = QStringLiteral("The reading stopped: the sound device \"%1\" %2.")
                       .arg(device_.description(), reason);
        message = failure_;
        buffer_.clear();
        space_.notify_all();  // the synthesis stops writing
    }
    Q_EMIT deviceFailed(message);
}

void SoundCardDestination::Feed() {
    CheckSink();
    std::unique_lock<std::mutex> guard(lock_);
    if (paused_ || !valid_ || !failure_.isEmpty()) {
        return;
    }
    if (buffer_.isEmpty()) {
        PlayOutTail();
        return;
    }
    if (!sink_ || sinkRate_ != rate_) {
        base_ = written_ - buffer_.size() / 2;  // what came before this sink counts as played
        guard.unlock();
        StartSink(rate_);
        guard.lock();
    }
    if (!io_ || !failure_.isEmpty()) {
        return;
    }
    const qsizetype room = qMin<qsizetype>(sink_->bytesFree(), buffer_.size()) & ~qsizetype(1);
    if (room <= 0) {
        return;
    }
    const qint64 taken = io_->write(buffer_.constData(), room);
    if (taken > 0) {
        buffer_.remove(0, taken & ~qint64(1));
        fed_ += taken / 2;
        space_.notify_all();
    }
    if (buffer_.isEmpty()) {
        PlayOutTail();
    }
}

void SoundCardDestination::PlayOutTail() {
    // The audio server starts (and, after running dry, restarts) a stream only once it holds a
    // buffer's worth of audio; a text shorter than that would wait for ever. Silence after the
    // end of a text fills the buffer, so the tail is played. It is not counted as fed.
    if (!finishing_ || !sink_ || !io_) {
        return;
    }
    finishing_ = false;
    const qsizetype room = sink_->bytesFree() & ~qsizetype(1);
    if (room > 0) {
        io_->write(QByteArray(room, '\0'));
    }
}

int64_t SoundCardDestination::Played() const {
    std::lock_guard<std::mutex> guard(lock_);
    if (!sink_ || sinkRate_ <= 0) {
        return base_;
    }
    if (buffer_.isEmpty() && sink_->bytesFree() >= sink_->bufferSize()) {
        return base_ + fed_;  // the device has played everything it was given
    }
    const int64_t processed = (sink_->processedUSecs() * sinkRate_ + 500000) / 1000000;
    // Processed counts what the device has taken; what is still in its buffer is not heard yet.
    const int64_t queued = (sink_->bufferSize() - sink_->bytesFree()) / 2;
    return base_ + qBound<int64_t>(0, processed - queued, fed_);
}

bool SoundCardDestination::Draining() const {
    std::lock_guard<std::mutex> guard(lock_);
    if (!buffer_.isEmpty()) {
        return true;
    }
    return sink_ && sink_->state() == QAudio::ActiveState &&
           sink_->bytesFree() < sink_->bufferSize();
}

void SoundCardDestination::Pause(bool paused) {
    std::lock_guard<std::mutex> guard(lock_);
    paused_ = paused;
    if (sink_) {
        paused ? sink_->suspend() : sink_->resume();
    }
}

void SoundCardDestination::Reset() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        discarding_ = true;
        finishing_ = false;
        buffer_.clear();
        paused_ = false;
        base_ = written_;
        sinkRate_ = 0;  // the next audio starts a fresh sink
        space_.notify_all();
    }
    if (sink_) {
        sink_->stop();
        sink_.reset();
        io_ = nullptr;
    }
}

int64_t SoundCardDestination::Fed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return fed_;
}
