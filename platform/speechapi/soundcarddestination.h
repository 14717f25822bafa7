#pragma once

#include <QAudioSink>
#include <QByteArray>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/speechapi/audiodestination.h"

// Plays the speech on a wave output device (-1 the default) through QAudioSink. The synthesis
// thread fills a buffer of a few seconds; a timer on the owning thread feeds the device from it.
// A device that cannot be opened or stops playing (the audio server went away) fails the
// destination for good: it takes no more audio and says why once, through deviceFailed.
class SoundCardDestination : public AudioDestination {
    Q_OBJECT
  public:
    explicit SoundCardDestination(int deviceId);
    ~SoundCardDestination() override;

    // False when there is no such device.
    bool IsValid() const { return valid_; }

    bool Open(int sampleRate) override;
    bool Write(const int16_t* samples, int count) override;
    void Finish() override;
    int64_t Written() const override { return written_; }
    int64_t Played() const override;
    bool Draining() const override;
    void Pause(bool paused) override;
    void Reset() override;
    bool Flush() override { return true; }
    // Samples given to the device so far by the current sink.
    int64_t Fed() const;

  Q_SIGNALS:
    void deviceFailed(const QString& message);

  private:
    void Feed();
    void StartSink(int rate);
    void PlayOutTail();  // with the lock held
    // Fails the destination when the sink has stopped with an error.
    void CheckSink();
    void Fail(const QString& reason);

    QAudioDevice device_;
    bool valid_ = false;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
    int sinkRate_ = 0;
    QTimer feedTimer_;

    mutable std::mutex lock_;
    std::condition_variable space_;
    QByteArray buffer_;  // written, not yet given to the sink
    std::atomic<int> rate_{0};
    std::atomic<int64_t> written_{0};
    int64_t fed_ = 0;   // samples given to the current sink
    int64_t base_ = 0;  // samples counted as played before the current sink started
    bool discarding_ = false;
    bool paused_ = false;
    bool finishing_ = false;  // a text has ended: its tail is played out
    QString failure_;
};
