#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryFile>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "audio/mp3partencoder.h"
#include "audio/mp3partplan.h"

// One encoding of a wave file into an MP3 file by as many encoder streams as there are parts,
// each on a worker thread of its own, while the calling thread reports progress, processes
// messages and passes a stop on to every worker.
//
// The wave may also be encoded while it is being written: startBehindWriter lets the first
// stream follow the writer (reading only what is already in the file), and once the writer
// has completed the wave, finishBehindWriter cuts what is left between that stream and new
// ones.
class Mp3Job {
  public:
    Mp3Job(const QString& waveFile, const QString& mp3File, const Mp3EncodeHooks& hooks);
    // Stops every worker and waits for it to end.
    ~Mp3Job();
    Mp3Job(const Mp3Job&) = delete;
    Mp3Job& operator=(const Mp3Job&) = delete;

    // Encodes the whole wave file for an encoder taking sampleRate: a wave at another rate is
    // converted to it on the way, part by part.
    bool run(int32_t bitRate, int32_t sampleRate);

    // Starts a worker that encodes the wave as it is written, once its header shows 16-bit
    // mono audio (else it does nothing, and finishBehindWriter says so). A wave below leastRate
    // is converted to leastRate on the way.
    void startBehindWriter(int32_t bitRate, uint32_t leastRate);
    // After the writer completed the wave: the rest is encoded on every core. False when the
    // worker never started (applied is false then: encode with run instead) or the encoding
    // failed (failure says why).
    bool finishBehindWriter(const Mp3EncodeHooks& hooks, bool* applied);
    // Stops the worker that follows the writer and waits for it to end.
    void stop();

    const QString& failure() const { return m_failure; }

  private:
    // What one worker did; kept apart so that every worker writes only its own.
    // The flags shared between threads are atomic as well as written under the lock, so no
    // reader depends on the wait's own locking to see them.
    struct Worker {
        std::atomic<int64_t> done{0};
        std::atomic<bool> ok{false};
        std::atomic<bool> running{false};
        std::thread thread;
    };

    bool fail(const QString& message) {
        m_failure = message;
        return false;
    }
    bool openFiles(int32_t sampleRate);
    int threads() const;
    bool layout(int32_t bitRate, const TMMWave& wave, Mp3PartPlan::Layout* layout);
    // The rate the encoder takes: the target when converting, else the wave's own.
    int encoderRate(const TMMWave& wave) const;
    Mp3PartPlan::Reader reader(const TMMWave& wave);
    std::vector<Mp3Part> plan(int32_t bitRate);
    bool encodeAlone(int32_t bitRate, int32_t sampleRate);
    bool startParts(const std::vector<Mp3Part>& parts, size_t from, const TMMWave& wave,
                    int32_t bitRate);
    void startWorker(Worker& worker, size_t index, std::function<bool()> work);
    // Records a worker's progress after each chunk; false once the job is stopping.
    std::function<bool(int64_t)> progressOf(Worker& worker);
    void launch(size_t index);
    bool superviseWorkers();
    bool joinParts();
    bool finish();
    // The end of the first part for the worker that follows the writer, as samples it may
    // read now; waits for more while the wave grows.
    int64_t behindWriter(int64_t done);
    bool waitForHeader();
    bool followWriter(Worker& worker);
    std::vector<Mp3Part> planRest(int64_t position);

    const QString m_waveName;
    QFile m_mp3;
    Mp3EncodeHooks m_hooks;
    TMMWave m_source;  // not open for a wave without any samples
    TMMWave m_whole;   // the wave once its writer completed it, when it was followed
    int64_t m_total = 0;
    std::vector<std::unique_ptr<Mp3PartEncoder>> m_encoders;
    std::vector<std::unique_ptr<QTemporaryFile>> m_partFiles;  // frames of the later parts
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::atomic<bool> m_stop{false};
    QString m_failure;

    // Following the writer.
    int32_t m_bitRate = 0;
    uint32_t m_leastRate = 0;
    uint32_t m_targetRate = 0;  // the rate samples are converted to on the way; 0: none
    int64_t m_samplesPerRead = 0;
    std::atomic<int64_t> m_position{0};    // samples the first stream has taken
    std::atomic<int64_t> m_firstEnd{-1};   // where the first part ends, once known
    std::atomic<bool> m_following{false};  // the first stream has started on the written wave
    QString m_followFailure;               // why it could not start
};
