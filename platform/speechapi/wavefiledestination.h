#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>
#include <atomic>

#include "platform/speechapi/audiodestination.h"

class ITTSCentralW;

// Writes the speech into a RIFF/WAVE file (16-bit mono at the engine's rate). The sizes in the
// header are completed by Flush. A file that cannot be created or written stops taking audio:
// ErrorText says which file and why, and writeFailed tells the owner while speech is written.
class WaveFileDestination : public AudioDestination {
    Q_OBJECT
  public:
    explicit WaveFileDestination(const QString& fileName);
    ~WaveFileDestination() override;

    // The wave file destination of an engine object; null for any other destination.
    static WaveFileDestination* Of(const ITTSCentralW* central);

    // Switches to another file (the current one is completed first).
    bool SetFile(const QString& fileName);
    QString FileName() const;
    // Why the file could not be created or written ("Cannot write <file>: <reason>"); empty
    // while nothing failed.
    QString ErrorText() const;

    bool Open(int sampleRate) override;
    bool Write(const int16_t* samples, int count) override;
    int64_t Written() const override { return written_; }
    // After a failure nothing more is written, so nothing waits for audio that cannot come.
    int64_t Played() const override { return failed_ ? kEverything : written_.load(); }
    bool Draining() const override { return false; }
    void Pause(bool paused) override;
    void Reset() override;
    // False when the file is not complete: it could not be written, or not to its end.
    bool Flush() override;

  Q_SIGNALS:
    // Creating or writing the file failed while speech was written (sent from the synthesis
    // thread, so receivers on the owning thread get it queued).
    void writeFailed(const QString& message);

  private:
    // More samples than any reading has (over a year at 22050 Hz), small enough for time stamps.
    static constexpr int64_t kEverything = int64_t(1) << 40;

    bool WriteHeader();
    bool WriteAll(const char* data, qint64 size);
    // Records the first failure of the current file; the message to send, or empty when one
    // was recorded already.
    QString Fail();
    void WaitForPace(int64_t samplesAfter);

    mutable QMutex lock_;
    QWaitCondition wake_;
    QFile file_;
    int rate_ = 0;
    std::atomic<int64_t> written_{0};  // over all files of this destination
    std::atomic<bool> failed_{false};
    QString error_;
    int64_t dataBytes_ = 0;
    bool paused_ = false;
    bool reset_ = false;
    QElapsedTimer clock_;
    int64_t pacedFrom_ = 0;  // samples of this file written when the pacing clock started
    int64_t fileStart_ = 0;  // written_ when this file was opened
};
