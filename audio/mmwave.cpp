#include "audio/mmwave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <vector>

#include "audio/pcmconvert.h"
#include "audio/wavefilewriter.h"
#include "platform/shell/diskspace.h"

namespace {

const char* const kInvalidWave = "Invalid wave file...";
const char* const kReadError = "Error reading wave file";

struct ChunkHeader {
    QByteArray id;
    int64_t size = 0;
};

bool ReadHeader(QFile& file, int64_t at, ChunkHeader* header) {
    if (!file.seek(at)) {
        return false;
    }
    const QByteArray bytes = file.read(8);
    if (bytes.size() != 8) {
        return false;
    }
    header->id = bytes.left(4);
    header->size = qFromLittleEndian<uint32_t>(bytes.constData() + 4);
    return true;
}

}  // namespace

void TMMWave::SetFileName(const QString& name) {
    const QString full = name.isEmpty() ? QString() : QFileInfo(name).absoluteFilePath();
    const bool exists = !full.isEmpty() && QFileInfo(full).isFile();
    if (open_ && full == fileName_ && exists && QFileInfo(full).size() == fileSize_) {
        return;
    }
    open_ = false;
    fileName_ = full;
    Format = {};
    DataOffset = DataLength = SampleCount = 0;
    Info.clear();
    Display.clear();
    if (full.isEmpty()) {
        return;
    }
    QFile file(full);
    if (!exists || !file.open(QIODevice::ReadOnly)) {
        if (exists || FileMustExist) {
            const QString reason = exists ? file.errorString() : QStringLiteral("no such file");
            throw EMMWaveError(QStringLiteral("%1 %2: %3")
                                   .arg(QLatin1String(kReadError), full, reason)
                                   .toStdString());
        }
        return;
    }
    fileSize_ = file.size();
    Parse(file);
    open_ = true;
}

void TMMWave::Parse(QFile& file) {
    const int64_t fileSize = file.size();
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        throw EMMWaveError(kInvalidWave);
    }
    const int64_t riffEnd = 8 + int64_t(qFromLittleEndian<uint32_t>(riff.constData() + 4));
    bool haveFormat = false, haveData = false, haveFact = false;
    int64_t dataEnd = -1;
    int64_t dataPad = 0;  // the pad byte after an odd data chunk holds no sample
    uint32_t factCount = 0;
    ChunkHeader chunk;
    for (int64_t at = 12; at + 8 <= fileSize && ReadHeader(file, at, &chunk);) {
        const int64_t start = at + 8;
        const bool toTheEnd = chunk.id == "data" && chunk.size == kRiffUnknownSize;
        const int64_t end = toTheEnd ? fileSize : qMin(start + chunk.size, fileSize);
        if (haveData && dataEnd < 0) {
            dataEnd = at - dataPad;  // the samples run up to the header of the chunk after them
        }
        if (end > riffEnd && haveFormat && haveData) {
            break;
        }
        if (chunk.id == "fmt ") {
            if (haveFormat) {
                break;
            }
            haveFormat = true;
            file.seek(start);
            Format = TWaveFormatEx::Parse(file.read(qMin<int64_t>(end - start, 64)));
        } else if (chunk.id == "data") {
            if (haveData) {
                break;
            }
            haveData = true;
            DataOffset = start;
            dataPad = toTheEnd ? 0 : chunk.size % 2;
        } else if (chunk.id == "fact") {
            if (haveFact) {
                break;
            }
            haveFact = true;
            file.seek(start);
            const QByteArray count = file.read(4);
            factCount = count.size() == 4 ? qFromLittleEndian<uint32_t>(count.constData()) : 0;
        } else if (chunk.id == "LIST") {
            file.seek(start);
            if (file.read(4) == "INFO") {
                ReadInfo(file, start + 4, end);
            }
        } else if (chunk.id == "DISP" && end - start >= 4) {
            file.seek(start);
            const QByteArray bytes = file.read(qMin<int64_t>(end - start, 1 << 20));
            if (bytes.size() >= 4) {
                Display.append({qFromLittleEndian<uint32_t>(bytes.constData()), bytes.mid(4)});
            }
        }
        at = end + (chunk.size % 2);
    }
    if (!haveFormat || !haveData) {
        throw EMMWaveError(kInvalidWave);
    }
    if (dataEnd < 0) {
        dataEnd = fileSize;
    }
    if (Format.wFormatTag == TWaveFormatEx::kPcm) {
        // Header fields are 16 and 32 bits wide: their products are worked out in 64 bits,
        // and a block or a byte rate that cannot be written in its own field is no wave.
        const int64_t blockAlign = int64_t(Format.wBitsPerSample) * Format.nChannels / 8;
        const int64_t bytesPerSec = blockAlign * int64_t(Format.nSamplesPerSec);
        if (blockAlign > UINT16_MAX || bytesPerSec > int64_t(UINT32_MAX)) {
            throw EMMWaveError(kInvalidWave);
        }
        Format.nBlockAlign = uint16_t(blockAlign);
        Format.nAvgBytesPerSec = uint32_t(bytesPerSec);
    }
    const int64_t align = Format.nBlockAlign;
    DataLength = align > 0 ? (qMax<int64_t>(0, dataEnd - DataOffset) / align) * align : 0;
    SampleCount = align > 0 ? DataLength / align : 0;
    Q_UNUSED(factCount);  // the count of the samples themselves replaces it
}

void TMMWave::ReadInfo(QFile& file, int64_t at, int64_t end) {
    ChunkHeader item;
    while (at + 8 <= end && ReadHeader(file, at, &item)) {
        const int64_t size = qMin(item.size, end - at - 8);
        QByteArray text = file.read(qMin<int64_t>(size, 1 << 16));
        const qsizetype zero = text.indexOf('\0');
        if (zero >= 0) {
            text.truncate(zero);
        }
        Info.append({item.id, text});
        at += 8 + size + (size % 2);
    }
}

void TMMWave::ConvertToFile(const QString& outFile, const TWaveFormatEx* target) {
    if (!open_ || !target || outFile.isEmpty()) {
        throw EMMWaveError("Invalid param passed!");
    }
    if (!IsValidForConversion(Format) || !IsValidForConversion(*target)) {
        throw EMMWaveError("This wave file is not valid for conversion");
    }
    QFile source(fileName_);
    if (!source.open(QIODevice::ReadOnly) || !source.seek(DataOffset)) {
        throw EMMWaveError("Unable to open wave file");
    }
    const int64_t total = DataLength;
    WaveFileWriter out(QFileInfo(outFile).absoluteFilePath());
    bool ok = out.Open(*target);
    // One second of source audio at a time.
    const int64_t chunk = (Format.nAvgBytesPerSec / Format.nBlockAlign) * Format.nBlockAlign;
    std::vector<uint8_t> in(size_t(chunk), 0);
    std::vector<uint8_t> converted(
        size_t(PcmDestBytes(chunk, Format, *target) + 2 * target->nBlockAlign));
    const auto freeSpace =
        FreeSpace ? FreeSpace : [](const QString& folder) { return DiskSpace::freeBytes(folder); };
    QString reason = ok ? QString() : out.ErrorString();
    for (int64_t done = 0; ok && done < total;) {
        const int64_t n = qMin(chunk, total - done);
        const int64_t got = source.read(reinterpret_cast<char*>(in.data()), n);
        if (got <= 0) {
            break;
        }
        done += got;
        const int64_t bytes = PcmConvert(got, in.data(), Format, converted.data(), *target);
        if (bytes <= 0) {
            break;
        }
        const int64_t room = freeSpace(out.TemporaryFolder());
        ok = room >= 0 && room >= bytes + IOBufferSize + 10240;
        if (!ok) {
            reason = room < 0 ? QStringLiteral("the free space cannot be told")
                              : QStringLiteral("not enough free space");
        } else if (!out.Write(reinterpret_cast<const char*>(converted.data()), bytes)) {
            ok = false;
            reason = out.ErrorString();
        }
        if (ProcessEvents) {
            ProcessEvents();
        }
    }
    if (ok && !out.Commit(Display, Info)) {
        ok = false;
        reason = out.ErrorString();
    }
    if (!ok) {
        throw EMMWaveError(QStringLiteral("Unable to convert wave file %1: %2")
                               .arg(outFile, reason)
                               .toStdString());
    }
}
