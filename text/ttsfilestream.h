#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>

// A large text file read piece by piece for speaking: chunks of at least ChunkSize bytes,
// extended to the end of a sentence (a full stop followed by a blank). The fields after the
// reader's own record the progress of the speaking through the chunks.
class TTTSFileStream {
  public:
    static constexpr int kChunkSize = 5120;
    // A chunk without a sentence end stops growing here, so a file without one never has to
    // be held whole in memory.
    static constexpr int64_t kMaxChunk = 1 << 20;

    explicit TTTSFileStream(const QString& fileName);

    // The next chunk into text and its size in bytes; 0 once the file is exhausted or on a
    // read error (which is logged and shown).
    int64_t ReadChunk(QByteArray& text);

    // Called while a chunk is extended, so the window stays responsive.
    std::function<void()> ProcessEvents;

    bool EndOfFile = false;
    int32_t ChunkSize = kChunkSize;
    int64_t CurrentBufferSize = -1;
    int64_t NextBufferSize = -1;
    int64_t PrefetchPosition = 1024;
    bool NextAllowed = true;
    int64_t SpokenTotal = 0;
    int64_t LastPosition = 0;
    bool AudioComplete = false;

  private:
    int64_t Finish(QByteArray& text, QByteArray&& chunk);
    bool Extend(QByteArray& chunk);
    int64_t ReadError();
    void RecordSize(int64_t size);

    QFile file_;
};
