#include "text/ttsfilestream.h"

#include <stdexcept>
#include <utility>

#include "platform/shell/debuglog.h"
#include "platform/shell/utilsclass.h"
#include "text/textencoding.h"

namespace {

constexpr qint64 kBlock = 4096;
constexpr char kEndOfFile = 26;

// Bytes in a UTF-8 sequence that starts with this byte (1 for anything else).
qsizetype SequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 1;
}

// Where to cut bytes so that a UTF-8 character at their end stays whole.
qsizetype CharacterBoundary(const QByteArray& bytes) {
    qsizetype lead = bytes.size() - 1;
    while (lead > 0 && bytes.size() - lead < 4 &&
           (static_cast<unsigned char>(bytes[lead]) & 0xC0) == 0x80) {
        --lead;
    }
    if (lead < 0 ||
        lead + SequenceLength(static_cast<unsigned char>(bytes[lead])) <= bytes.size()) {
        return bytes.size();
    }
    return lead;
}

}  // namespace

TTTSFileStream::TTTSFileStream(const QString& fileName) : file_(fileName) {
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Cannot open ") + fileName +
                                   QStringLiteral(": ") + file_.errorString());
        return;
    }
    // The byte order mark decides how the rest is read; it is not part of the text.
    const QByteArray head = file_.read(4);
    if (file_.error() != QFileDevice::NoError) {
        sourceFailed_ = true;
        return;
    }
    const TextEncoding::Kind kind = TextEncoding::detect(head);
    if (const auto wide = TextEncoding::wideEncoding(kind)) {
        wide_.emplace(*wide, QStringConverter::Flag::ConvertInitialBom);
        wideUnit_ =
            *wide == QStringConverter::Utf16LE || *wide == QStringConverter::Utf16BE ? 2 : 4;
    }
    Append(head.mid(TextEncoding::markLength(kind)));
}

void TTTSFileStream::Append(const QByteArray& raw) {
    QByteArray text = raw;
    if (wide_) {
        // A pair of surrogates split between two reads is encoded once it is whole.
        QString decoded = std::exchange(highSurrogate_, QString()) + wide_->decode(raw);
        if (!decoded.isEmpty() && decoded.back().isHighSurrogate()) {
            highSurrogate_ = decoded.back();
            decoded.chop(1);
        }
        text = decoded.toUtf8();
    }
    const qsizetype end = text.indexOf(kEndOfFile);
    if (end >= 0) {
        text.truncate(end);
        sourceEnded_ = true;
    }
    pending_ += text;
}

void TTTSFileStream::Refill(qsizetype size) {
    while (pending_.size() < size && !sourceEnded_ && !sourceFailed_) {
        const QByteArray raw = file_.read(qMax(kBlock, size - pending_.size()));
        if (file_.error() != QFileDevice::NoError) {
            sourceFailed_ = true;
        } else if (raw.isEmpty()) {
            sourceEnded_ = true;
        } else {
            Append(raw);
        }
    }
}

bool TTTSFileStream::Pull(qsizetype size, QByteArray& bytes) {
    Refill(size);
    if (sourceFailed_) {
        return false;
    }
    bytes = pending_.left(size);
    pending_.remove(0, bytes.size());
    return true;
}

void TTTSFileStream::Unread(QByteArrayView bytes) {
    pending_.prepend(bytes);
}

void TTTSFileStream::RecordSize(int64_t size) {
    if (CurrentBufferSize == -1) {
        CurrentBufferSize = size;
    } else {
        NextBufferSize = size;
    }
}

void TTTSFileStream::ThrowReadError() const {
    debugLog(QStringLiteral("File stream read error:"));
    throw std::runtime_error(file_.errorString().toStdString());
}

int64_t TTTSFileStream::ReadChunk(QByteArray& text) {
    if (EndOfFile) {
        return 0;
    }
    QByteArray chunk;
    if (!file_.isOpen() || !Pull(ChunkSize, chunk)) {
        ThrowReadError();
    }
    if (chunk.size() < ChunkSize) {
        RecordSize(chunk.size());
        UtilsClass::WriteDebugLine(QStringLiteral("ReachedEOF(1)"));
        EndOfFile = true;
        AudioComplete = true;
        text = std::move(chunk);
        return text.size();
    }
    if (!chunk.endsWith('.') && !Extend(chunk)) {
        ThrowReadError();
    }
    return Finish(text, std::move(chunk));
}

int64_t TTTSFileStream::Finish(QByteArray& text, QByteArray&& chunk) {
    RecordSize(chunk.size());
    UtilsClass::WriteDebugLine(
        QStringLiteral("Current Buffer Size: ") + QString::number(CurrentBufferSize) +
        QStringLiteral("   Next Buffer Size: ") + QString::number(NextBufferSize));
    text = std::move(chunk);
    return text.size();
}

// Reads on until a full stop followed by a blank, the end of the file, or the size limit.
// Bytes read past the sentence end are given back.
bool TTTSFileStream::Extend(QByteArray& chunk) {
    char expected = '.';
    qsizetype lastBlank = -1;
    for (;;) {
        QByteArray block;
        if (!Pull(kBlock, block)) {
            return false;
        }
        for (qsizetype k = 0; k < block.size(); ++k) {
            const char byte = block[k];
            if (byte != expected) {
                expected = '.';
            } else if (byte == '.') {
                expected = ' ';
            } else {  // the expected blank: the sentence has ended
                chunk.append(block.constData(), k + 1);
                Unread(QByteArrayView(block).sliced(k + 1));
                return true;
            }
            if (byte == ' ') {
                lastBlank = chunk.size() + k;
            }
        }
        chunk.append(block);
        if (block.size() < kBlock) {
            EndOfFile = true;
            return true;
        }
        if (chunk.size() >= kMaxChunk) {
            // No sentence end in sight: stop after the last blank, or here if there is none
            // (between two characters).
            const qsizetype cut = lastBlank >= ChunkSize ? lastBlank + 1 : CharacterBoundary(chunk);
            Unread(QByteArrayView(chunk).sliced(cut));
            chunk.truncate(cut);
            return true;
        }
    }
}
