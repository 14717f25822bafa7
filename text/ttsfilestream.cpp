#include "text/ttsfilestream.h"

#include "platform/shell/usermessage.h"
#include "platform/shell/utilsclass.h"

namespace {

constexpr qint64 kBlock = 4096;

}  // namespace

TTTSFileStream::TTTSFileStream(const QString& fileName) : file_(fileName) {
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Cannot open ") + fileName +
                                   QStringLiteral(": ") + file_.errorString());
    }
}

void TTTSFileStream::RecordSize(int64_t size) {
    if (CurrentBufferSize == -1) {
        CurrentBufferSize = size;
    } else {
        NextBufferSize = size;
    }
}

int64_t TTTSFileStream::ReadError() {
    UtilsClass::WriteDebugLine(QStringLiteral("File stream read error:"));
    UserMessage::showError(file_.errorString());
    return 0;
}

int64_t TTTSFileStream::ReadChunk(QByteArray& text) {
    if (EndOfFile) {
        return 0;
    }
    if (!file_.isOpen()) {
        return ReadError();
    }
    QByteArray chunk = file_.read(ChunkSize);
    if (file_.error() != QFileDevice::NoError) {
        return ReadError();
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
        return ReadError();
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
// Bytes read past the sentence end are given back to the file.
bool TTTSFileStream::Extend(QByteArray& chunk) {
    char expected = '.';
    qsizetype lastBlank = -1;
    for (;;) {
        if (ProcessEvents) {
            ProcessEvents();
        }
        const QByteArray block = file_.read(kBlock);
        if (file_.error() != QFileDevice::NoError) {
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
                return file_.seek(file_.pos() - (block.size() - k - 1));
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
            // No sentence end in sight: stop after the last blank, or here if there is none.
            if (lastBlank >= ChunkSize) {
                const qsizetype giveBack = chunk.size() - (lastBlank + 1);
                chunk.truncate(lastBlank + 1);
                return file_.seek(file_.pos() - giveBack);
            }
            return true;
        }
    }
}
