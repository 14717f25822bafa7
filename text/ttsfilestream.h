#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <cstdint>
#include <optional>

// A large text file read piece by piece for speaking: chunks of at least ChunkSize bytes,
// extended to the end of a sentence (a full stop followed by a blank). The fields after the
// reader's own record the progress of the speaking through the chunks.
//
// A UTF-16 or UTF-32 file (told by its byte order mark) is handed out as UTF-8, decoded across
// the reads, so chunks always end between characters and TextFile::Decode reads each of them.
// A character 26 ends the file.
class TTTSFileStream {
  public:
    static constexpr int kChunkSize = 5120;
    // A chunk without a sentence end stops growing here, so a file without one never has to
    // be held whole in memory.
    static constexpr int64_t kMaxChunk = 1 << 20;

    explicit TTTSFileStream(const QString& fileName);

    // The next chunk into text and its size in bytes; 0 once the file is exhausted. A file that
    // cannot be read raises std::runtime_error with the system's reason, for the caller to show
    // (the failure is logged here).
    int64_t ReadChunk(QByteArray& text);

    bool EndOfFile = false;
    int32_t ChunkSize = kChunkSize;
    int64_t CurrentBufferSize = -1;
    int64_t NextBufferSize = -1;
    int64_t PrefetchPosition = 1024;
    bool NextAllowed = true;
    int64_t SpokenTotal = 0;
    int64_t LastPosition = 0;
    bool AudioComplete = false;
    // The same progress in bytes of the file, for a gauge measured against the file's size.
    int64_t CurrentFileBytes = 0;
    int64_t NextFileBytes = 0;
    int64_t SpokenFileBytes = 0;

    // Bytes of the file for one character of a chunk's text: 2 or 4 for a UTF-16 or UTF-32
    // file, 0 when the chunk's own bytes are the file's.
    int WideUnitBytes() const { return wideUnit_; }

  private:
    int64_t Finish(QByteArray& text, QByteArray&& chunk);
    bool Extend(QByteArray& chunk);
    [[noreturn]] void ThrowReadError() const;
    void RecordSize(int64_t size);
    // Up to size bytes of the text (fewer only at its end); false on a read error.
    bool Pull(qsizetype size, QByteArray& bytes);
    // Gives bytes back to be pulled again first.
    void Unread(QByteArrayView bytes);
    void Refill(qsizetype size);
    // Adds bytes read from the file to the pending text, as UTF-8 for a wide file.
    void Append(const QByteArray& raw);

    QFile file_;
    std::optional<QStringDecoder> wide_;  // for UTF-16 and UTF-32 files
    int wideUnit_ = 0;
    QString highSurrogate_;     // the first half of a pair the next read completes
    QByteArray pending_;        // text read from the file and not yet handed out
    bool sourceEnded_ = false;  // the file or its end-of-file mark has been reached
    bool sourceFailed_ = false;
};
