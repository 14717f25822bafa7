#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>
#include <atomic>

#include "platform/speechapi/audiodestination.h"

class ITTSCentralW;

// Writes the speech into a RIFF/WAVE file (16-bit mono at the engine's rate). The sizes in the
// header are completed by flush. A file that cannot be created or written stops taking audio:
// errorText says which file and why, and writeFailed tells the owner while speech is written.
// A file stops the same way at the most samples its 32-bit header sizes can count (4 GB).
class WaveFileDestination : public AudioDestination {
    Q_OBJECT
  public:
    // The most sample bytes a file takes: the RIFF size, 36 bytes of header more, must fit in
    // 32 bits; whole 16-bit samples.
    static constexpr int64_t kMaxDataBytes = (int64_t(0xFFFFFFFF) - 36) & ~int64_t(1);

    // maxDataBytes lower than kMaxDataBytes lets tests reach the limit without writing 4 GB.
    explicit WaveFileDestination(const QString& fileName, int64_t maxDataBytes = kMaxDataBytes);
    ~WaveFileDestination() override;

    // The wave file destination of an engine object; null for any other destination.
    static WaveFileDestination* of(const ITTSCentralW* central);

    // Switches to another file (the current one is completed first).
    bool setFile(const QString& fileName);
    QString fileName() const;
    // Why the file could not be created or written ("Cannot write <file>: <reason>"); empty
    // while nothing failed.
    QString errorText() const;

    bool open(int sampleRate) override;
    bool write(const int16_t* samples, int count) override;
    int64_t written() const override { return m_written; }
    // After a failure nothing more is written, so nothing waits for audio that cannot come.
    int64_t played() const override { return m_failed ? kEverything : m_written.load(); }
    bool draining() const override { return false; }
    void pause(bool paused) override;
    void reset() override;
    // False when the file is not complete: it could not be written, or not to its end.
    bool flush() override;

  Q_SIGNALS:
    // Creating or writing the file failed while speech was written (sent from the synthesis
    // thread, so receivers on the owning thread get it queued).
    void writeFailed(const QString& message);

  private:
    // More samples than any reading has (over a year at 22050 Hz), small enough for time stamps.
    static constexpr int64_t kEverything = int64_t(1) << 40;

    bool writeHeader();
    bool writeAll(const char* data, qint64 size);
    // Records the first failure of the current file, with its reason (the file's error when
    // none is given); the message to send, or empty when one was recorded already.
    QString fail(const QString& reason = QString());
    // Why a file that has reached kMaxDataBytes takes no more.
    QString limitReason() const;
    void waitForPace(int64_t samplesAfter);

    mutable QMutex m_lock;
    QWaitCondition m_wake;
    QFile m_file;
    const int64_t m_maxDataBytes;
    int m_rate = 0;
    std::atomic<int64_t> m_written{0};  // over all files of this destination
    std::atomic<bool> m_failed{false};
    QString m_error;
    int64_t m_dataBytes = 0;
    bool m_paused = false;
    bool m_reset = false;
    QElapsedTimer m_clock;
    int64_t m_pacedFrom = 0;  // samples of this file written when the pacing clock started
    int64_t m_fileStart = 0;  // m_written when this file was opened
};
