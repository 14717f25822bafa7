#include "audio/wavefilewriter.h"

#include <QFileInfo>
#include <QtEndian>

namespace {

QByteArray Le32(uint32_t value) {
    const uint32_t little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), 4);
}

constexpr int64_t kDataSizeAt = 42;
constexpr int64_t kHeaderSize = 46;

}  // namespace

bool WaveFileWriter::Open(const TWaveFormatEx& format) {
    format_ = format;
    if (!file_.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray header = "RIFF" + Le32(0) + "WAVE" + "fmt " + Le32(TWaveFormatEx::kSize) +
                        format.Serialize() + "data" + Le32(0);
    return file_.write(header) == kHeaderSize;
}

bool WaveFileWriter::Write(const char* bytes, int64_t count) {
    if (file_.write(bytes, count) != count) {
        return false;
    }
    dataBytes_ += count;
    return true;
}

bool WaveFileWriter::WriteChunk(const QByteArray& id, const QByteArray& content) {
    QByteArray chunk = id + Le32(uint32_t(content.size())) + content;
    if (content.size() % 2) {
        chunk.append('\0');
    }
    return file_.write(chunk) == chunk.size();
}

bool WaveFileWriter::Commit(const QList<TWaveDisplayItem>& display,
                            const QList<TWaveInfoItem>& info) {
    bool ok = true;
    if (dataBytes_ % 2) {
        ok = file_.write("\0", 1) == 1;
    }
    // Beyond 4 GB the sizes cannot be told: both say "to the end of the file", and no chunk may
    // follow the samples.
    const bool oversized = dataBytes_ > int64_t(kRiffUnknownSize) - 1024;
    const uint32_t frames = format_.nBlockAlign ? uint32_t(dataBytes_ / format_.nBlockAlign) : 0;
    ok = ok && (oversized || WriteChunk("fact", Le32(frames)));
    for (const TWaveDisplayItem& item : display) {
        ok = ok && !oversized && WriteChunk("DISP", Le32(item.Format) + item.Content);
    }
    if (ok && !oversized && !info.isEmpty()) {
        QByteArray list = "INFO";
        for (const TWaveInfoItem& item : info) {
            QByteArray text = item.Text + '\0';
            list += item.Id.left(4).leftJustified(4, ' ') + Le32(uint32_t(text.size())) + text;
            if (text.size() % 2) {
                list.append('\0');
            }
        }
        ok = WriteChunk("LIST", list);
    }
    const int64_t end = file_.pos();
    ok = ok && file_.seek(4) &&
         file_.write(Le32(oversized ? kRiffUnknownSize : uint32_t(end - 8))) == 4;
    ok = ok && file_.seek(kDataSizeAt) &&
         file_.write(Le32(oversized ? kRiffUnknownSize : uint32_t(dataBytes_))) == 4;
    if (!ok) {
        file_.cancelWriting();
        return false;
    }
    return file_.commit();
}

QString WaveFileWriter::TemporaryFolder() const {
    return QFileInfo(file_.fileName()).absolutePath();
}
