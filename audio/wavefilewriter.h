#pragma once

#include <QList>
#include <QSaveFile>
#include <QString>

#include "audio/mmwave.h"
#include "audio/waveformat.h"

// Writes a RIFF/WAVE file in the program's layout: "fmt " (18 bytes), "data", "fact", then
// any display chunks and one "LIST"/"INFO" chunk. The file appears under its name only when
// Commit succeeds; until then it is a temporary file in the same folder.
class WaveFileWriter {
  public:
    explicit WaveFileWriter(const QString& fileName) : file_(fileName) {}

    bool Open(const TWaveFormatEx& format);
    bool Write(const char* bytes, int64_t count);
    // Fixes the sizes, appends the trailing chunks and puts the file in place.
    bool Commit(const QList<TWaveDisplayItem>& display = {}, const QList<TWaveInfoItem>& info = {});
    int64_t DataBytes() const { return dataBytes_; }
    QString TemporaryFolder() const;
    QString ErrorString() const { return file_.errorString(); }

  private:
    bool WriteChunk(const QByteArray& id, const QByteArray& content);

    QSaveFile file_;
    TWaveFormatEx format_;
    int64_t dataBytes_ = 0;
};
