#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QWaitCondition>
#include <atomic>

#include "platform/speechapi/audiodestination.h"

// Writes the speech into a RIFF/WAVE file (16-bit mono at the engine's rate). The sizes in the
// header are completed by Flush.
class WaveFileDestination : public AudioDestination {
    Q_OBJECT
  public:
    explicit WaveFileDestination(const QString& fileName);
    ~WaveFileDestination() override;

    // Switches to another file (the current one is completed first).
    bool SetFile(const QString& fileName);
    QString FileName() const { return file_.fileName(); }

    bool Open(int sampleRate) override;
    bool Write(const int16_t* samples, int count) override;
    int64_t Written() const override { return written_; }
    int64_t Played() const override { return written_; }
    bool Draining() const override { return false; }
    void Pause(bool paused) override;
    void Reset() override;
    bool Flush() override;

  private:
    bool WriteHeader();
    void WaitForPace(int64_t samplesAfter);

    mutable QMutex lock_;
    QWaitCondition wake_;
    QFile file_;
    int rate_ = 0;
    std::atomic<int64_t> written_{0};  // over all files of this destination
    int64_t dataBytes_ = 0;
    bool paused_ = false;
    bool reset_ = false;
    QElapsedTimer clock_;
    int64_t pacedFrom_ = 0;  // samples of this file written when the pacing clock started
    int64_t fileStart_ = 0;  // written_ when this file was opened
};
