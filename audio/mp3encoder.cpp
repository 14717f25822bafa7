#include "audio/mp3encoder.h"

#include <QFile>
#include <cmath>

#include "audio/mp3job.h"

int EncodeProgress(int64_t done, int64_t total) {
    if (total <= 0) {
        return 0;
    }
    return int(std::nearbyint(double(done) * 100.0 / double(total) + 0.5));
}

Outcome EncodeMp3(const QString& waveFile, const QString& mp3File, int32_t bitRate,
                  int32_t sampleRate, const Mp3EncodeHooks& hooks) {
    bool ok = false;
    QString failure;
    {
        Mp3Job job(waveFile, mp3File, hooks);
        ok = job.run(bitRate, sampleRate);
        failure = job.failure();
    }  // every file is closed and every worker ended here
    if (ok) {
        return Outcome::success();
    }
    // A half-written MP3 is worse than none; the wave stays for the user.
    QFile::remove(mp3File);
    return Outcome::failure(failure);
}
