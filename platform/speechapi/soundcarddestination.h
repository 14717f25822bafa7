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
    bool isValid() const { return m_valid; }

    bool open(int sampleRate) override;
    bool write(const int16_t* samples, int count) override;
    void finish() override;
    int64_t written() const override { return m_written; }
    int64_t played() const override;
    bool draining() const override;
    void pause(bool paused) override;
    void reset() override;
    bool flush() override { return true; }
    // Samples given to the device so far by the current sink.
    int64_t fed() const;

  Q_SIGNALS:
    void deviceFailed(const QString& message);

  private:
    void feed();
    void startSink(int rate);
    void playOutTail();  // with the lock held
    // Fails the destination when the sink has stopped with an error.
    void checkSink();
    void fail(const QString& reason);

    QAudioDevice m_device;
    bool m_valid = false;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr;
    int m_sinkRate = 0;
    QTimer m_feedTimer;

    mutable std::mutex m_lock;
    std::condition_variable m_space;
    QByteArray m_buffer;  // written, not yet given to the sink
    std::atomic<int> m_rate{0};
    std::atomic<int64_t> m_written{0};
    int64_t m_fed = 0;   // samples given to the current sink
    int64_t m_base = 0;  // samples counted as played before the current sink started
    bool m_discarding = false;
    bool m_paused = false;
    bool m_finishing = false;  // a text has ended: its tail is played out
    QString m_failure;
};
