#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <stdexcept>

#include "articles/getfilesize.h"
#include "tests/common/capturedmessages.h"
#include "text/ttsfilestream.h"

namespace {

class FileStream : public ::testing::Test {
  protected:
    QString Write(const QByteArray& bytes) {
        const QString path = dir_.path() + QStringLiteral("/text%1.txt").arg(++files_);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Letters and blanks without any full stop.
    static QByteArray Prose(int size) {
        QByteArray bytes;
        while (bytes.size() < size) {
            bytes += "lorem ipsum ";
        }
        bytes.truncate(size);
        bytes.replace(' ', 'x');  // no blanks either: nothing can end a sentence
        return bytes;
    }

    QTemporaryDir dir_;
    int files_ = 0;
    CapturedMessages captured_;
};

}  // namespace

TEST_F(FileStream, ShortFilesComeInOneReadThatEndsTheFile) {
    TTTSFileStream stream(Write(Prose(5119)));
    QByteArray text;
    EXPECT_EQ(stream.ReadChunk(text), 5119);
    EXPECT_EQ(text.size(), 5119);
    EXPECT_TRUE(stream.EndOfFile);
    EXPECT_TRUE(stream.AudioComplete);
    EXPECT_EQ(stream.CurrentBufferSize, 5119);
    EXPECT_EQ(stream.ReadChunk(text), 0);
}

TEST_F(FileStream, AChunkOfExactlyTheChunkSize) {
    TTTSFileStream whole(Write(Prose(5120)));
    QByteArray text;
    EXPECT_EQ(whole.ReadChunk(text), 5120);
    EXPECT_TRUE(whole.EndOfFile);
    EXPECT_FALSE(whole.AudioComplete);

    QByteArray endsInFullStop = Prose(5120);
    endsInFullStop[5119] = '.';
    TTTSFileStream stopped(Write(endsInFullStop));
    EXPECT_EQ(stopped.ReadChunk(text), 5120);
    EXPECT_FALSE(stopped.EndOfFile);
    EXPECT_EQ(stopped.ReadChunk(text), 0);
    EXPECT_TRUE(stopped.EndOfFile);
    EXPECT_TRUE(stopped.AudioComplete);
    EXPECT_EQ(stopped.CurrentBufferSize, 5120);
    EXPECT_EQ(stopped.NextBufferSize, 0);
}

TEST_F(FileStream, ChunksAreExtendedToTheEndOfASentence) {
    QByteArray bytes = Prose(6000);
    bytes[5120] = 'a';
    bytes[5121] = '.';
    bytes[5122] = ' ';
    TTTSFileStream stream(Write(bytes));
    QByteArray first, second;
    EXPECT_EQ(stream.ReadChunk(first), 5123);
    EXPECT_TRUE(first.endsWith("a. "));
    EXPECT_EQ(stream.ReadChunk(second), 877);
    EXPECT_TRUE(stream.EndOfFile);
    EXPECT_EQ(first + second, bytes);
    EXPECT_EQ(stream.CurrentBufferSize, 5123);
    EXPECT_EQ(stream.NextBufferSize, 877);

    // Two full stops and a blank do not end a sentence; one full stop and a blank does.
    QByteArray doubled = Prose(9000);
    doubled.replace(5200, 3, ".. ");
    doubled.replace(6000, 2, ". ");
    TTTSFileStream again(Write(doubled));
    EXPECT_EQ(again.ReadChunk(first), 6002);
}

TEST_F(FileStream, AFileWithoutSentencesNeverComesWholeIntoMemory) {
    QByteArray bytes = Prose(3 << 20);
    for (int at = 100000; at < bytes.size(); at += 100000) {
        bytes[at] = ' ';
    }
    TTTSFileStream stream(Write(bytes));
    QByteArray all, chunk;
    int64_t count = 0;
    while ((count = stream.ReadChunk(chunk)) > 0) {
        EXPECT_LE(count, TTTSFileStream::kMaxChunk + 4096);
        all += chunk;
    }
    EXPECT_EQ(all, bytes);
}

namespace {

// The reason a stream gives for a file it cannot read; empty when it reads a chunk.
QString ReadFailure(const QString& path) {
    TTTSFileStream stream(path);
    QByteArray text;
    try {
        stream.ReadChunk(text);
    } catch (const std::runtime_error& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

}  // namespace

TEST_F(FileStream, UnreadableFilesReportTheSystemsReasonAndShowNothing) {
    EXPECT_EQ(ReadFailure(dir_.path() + QStringLiteral("/gone.txt")),
              QStringLiteral("No such file or directory"));
    EXPECT_NE(ReadFailure(dir_.path()), QString()) << "a folder";
    // Opened, but the first read fails.
    EXPECT_EQ(ReadFailure(QStringLiteral("/proc/self/mem")), QStringLiteral("Input/output error"));

    QString error = QStringLiteral("stale");
    EXPECT_EQ(GetFileSize(Write(Prose(777)), error), 777);
    EXPECT_EQ(error, QString());
    const QString gone = dir_.path() + QStringLiteral("/gone.txt");
    EXPECT_EQ(GetFileSize(gone, error), -1);
    EXPECT_EQ(error, QStringLiteral("No such file or directory: ") + gone);
    EXPECT_EQ(GetFileSize(dir_.path(), error), -1);
    EXPECT_EQ(error, dir_.path() + QStringLiteral(" is a folder, not a file"));
    EXPECT_TRUE(captured_.all.isEmpty()) << "the caller shows what it is told";
}

namespace {

// Sentences with letters outside ASCII and outside the first plane, about size UTF-8 bytes.
QString Sentences(int size) {
    QString text;
    for (int i = 0; text.size() < size / 2; ++i) {
        text +=
            QStringLiteral("Sentence %1 about caf\u00e9s, \u65e5\u672c and \U0001F600. ").arg(i);
    }
    return text;
}

// The chunks of a file, each checked to be whole UTF-8.
QList<QByteArray> Chunks(const QString& path) {
    TTTSFileStream stream(path);
    QList<QByteArray> chunks;
    QByteArray chunk;
    while (stream.ReadChunk(chunk) > 0) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = utf8.decode(chunk);
        EXPECT_FALSE(utf8.hasError()) << "chunk " << chunks.size() << " is cut inside a character";
        chunks << chunk;
    }
    return chunks;
}

}  // namespace

TEST_F(FileStream, MarkedFilesComeAsUtf8InTheSameChunksAsTheirUtf8Text) {
    const QString text = Sentences(40000);
    const QList<QByteArray> plain = Chunks(Write(text.toUtf8()));
    ASSERT_GT(plain.size(), 4);
    EXPECT_EQ(plain.join(), text.toUtf8());
    for (const auto encoding :
         {QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE,
          QStringConverter::Utf32LE, QStringConverter::Utf32BE}) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encoder.encode(text);
        EXPECT_EQ(Chunks(Write(bytes)), plain) << QStringConverter::nameForEncoding(encoding);
    }
}

TEST_F(FileStream, AChunkCutForItsSizeEndsBetweenCharacters) {
    // No blank and no full stop: the chunk is cut at its size limit, never inside a character.
    const QString text = QStringLiteral("\u00e9\U0001F600\u65e5").repeated(150000);
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    for (const QByteArray& bytes : {text.toUtf8(), QByteArray(utf16.encode(text))}) {
        const QList<QByteArray> chunks = Chunks(Write(bytes));
        ASSERT_GT(chunks.size(), 1);
        EXPECT_EQ(chunks.join(), text.toUtf8());
    }
}

TEST_F(FileStream, ACharacter26EndsTheFile) {
    TTTSFileStream stream(Write("Some words\x1a" + Prose(20000)));
    QByteArray text;
    EXPECT_EQ(stream.ReadChunk(text), 10);
    EXPECT_EQ(text, QByteArray("Some words"));
    EXPECT_TRUE(stream.EndOfFile);
    EXPECT_TRUE(stream.AudioComplete);
    EXPECT_EQ(stream.ReadChunk(text), 0);

    QByteArray late = Prose(9000);
    late.replace(6000, 2, ". ");
    late[7000] = '\x1a';
    TTTSFileStream laterMark(Write(late));
    QByteArray first, second;
    EXPECT_EQ(laterMark.ReadChunk(first), 6002);
    EXPECT_FALSE(laterMark.EndOfFile);
    EXPECT_EQ(laterMark.ReadChunk(second), 7000 - 6002);
    EXPECT_TRUE(laterMark.EndOfFile);
    EXPECT_EQ(first + second, late.left(7000));
}

TEST_F(FileStream, AFileOverFourGigabytesIsReadToItsEndWithItsSizesCountedWhole) {
    // A sparse file: a sentence, a hole of zero bytes past the 32-bit sizes, and a last
    // sentence; the disk holds only the two sentences.
    constexpr qint64 kEndAt = (qint64(1) << 32) + 1000;
    const QByteArray last = "The end after four gigabytes. ";
    const QString path = dir_.path() + QStringLiteral("/sparse.txt");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write("Start. "), 7);
        ASSERT_TRUE(file.resize(kEndAt)) << file.errorString().toStdString();
        ASSERT_TRUE(file.seek(kEndAt));
        ASSERT_EQ(file.write(last), last.size());
    }
    QString error;
    ASSERT_EQ(GetFileSize(path, error), kEndAt + last.size());
    TTTSFileStream stream(path);
    int64_t total = 0;
    int64_t largest = 0;
    QByteArray chunk;
    QByteArray previous;
    for (int64_t size = stream.ReadChunk(chunk); size > 0; size = stream.ReadChunk(chunk)) {
        ASSERT_EQ(size, chunk.size());
        total += size;
        largest = std::max(largest, size);
        previous = chunk;
    }
    EXPECT_EQ(total, kEndAt + last.size()) << "every byte once";
    EXPECT_LE(largest, TTTSFileStream::kMaxChunk + TTTSFileStream::kChunkSize);
    EXPECT_TRUE(previous.endsWith(last)) << "the last chunk holds the last sentence";
    EXPECT_TRUE(stream.EndOfFile);
    EXPECT_TRUE(captured_.all.isEmpty());
    QFile::remove(path);
}
