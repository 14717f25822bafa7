#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include "audio/waveformat.h"

// The size a RIFF header gives to samples that run to the end of a file (past 4 GB, or while
// it is still being written).
constexpr uint32_t kRiffUnknownSize = 0xFFFFFFFF;

class EMMWaveError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A text item of a "LIST"/"INFO" chunk: its four-character code and its text.
struct TWaveInfoItem {
    QByteArray Id;
    QByteArray Text;
};

// A "DISP" chunk: a clipboard format (1 text, 8 bitmap) and its content.
struct TWaveDisplayItem {
    uint32_t Format = 0;
    QByteArray Content;
};

// A RIFF/WAVE file: its format, where its samples are, its text and display items, and its
// conversion into a new PCM wave file.
class TMMWave {
  public:
    static constexpr uint32_t kNoFileRate = 11025;

    // Opens the file and reads its chunks; raises EMMWaveError. An empty name closes.
    void SetFileName(const QString& fileName);
    QString FileName() const { return fileName_; }
    bool IsOpen() const { return open_; }
    uint32_t SampleRate() const { return open_ ? Format.nSamplesPerSec : kNoFileRate; }

    // Writes the samples converted to target into outFile, through a temporary file in the
    // same folder that replaces outFile only when the whole conversion succeeded.
    void ConvertToFile(const QString& outFile, const TWaveFormatEx* target);

    TWaveFormatEx Format;
    int64_t DataOffset = 0;
    int64_t DataLength = 0;  // whole blocks only
    int64_t SampleCount = 0;
    QList<TWaveInfoItem> Info;
    QList<TWaveDisplayItem> Display;

    bool FileMustExist = true;
    int IOBufferSize = 32768;
    // Bytes the user may still write in a folder, -1 when unknown; the disk's by default.
    std::function<int64_t(const QString& folder)> FreeSpace;
    // Called after every second of converted audio, so the window stays responsive.
    std::function<void()> ProcessEvents;

  private:
    void Parse(class QFile& file);
    void ReadInfo(class QFile& file, int64_t start, int64_t end);

    QString fileName_;
    int64_t fileSize_ = -1;
    bool open_ = false;
};
