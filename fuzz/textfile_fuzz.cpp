// Text files: decoded by the program's rules, tested for being text, read into lines, and read
// piece by piece for speaking; the pieces of a file of bytes must be the file itself.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <exception>

#include "fuzz/scratchfolder.h"
#include "text/textencoding.h"
#include "text/textfile.h"
#include "text/ttsfilestream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TextFile::decode(bytes);
    (void)TextFile::splitLines(text);
    (void)TextFile::decodeStored(bytes);
    (void)TextFile::decodeLineByLine(bytes);
    (void)TextFile::looksLikeText(bytes);

    const QString path = ScratchFolder::instance().write(QStringLiteral("text.txt"), data, size);
    QString error;
    (void)TextFile::isTextFile(path, &error);
    QStringList lines;
    FUZZ_CHECK(TextFile::readLines(path, &lines, &error));

    // Small chunks, chosen by the input, so that short inputs take several of them.
    TTTSFileStream stream(path);
    stream.ChunkSize = size > 0 ? 1 + data[0] % 64 : 1;
    QByteArray read;
    try {
        for (int pieces = 0; pieces <= int(size) + 1; ++pieces) {
            QByteArray chunk;
            const int64_t got = stream.ReadChunk(chunk);
            FUZZ_CHECK(got == chunk.size());
            if (got == 0) {
                break;
            }
            (void)TextFile::decode(chunk);  // as the speaking decodes each piece
            read += chunk;
        }
    } catch (const std::exception&) {
        FUZZ_CHECK(false);  // a file in the scratch folder can always be read
    }
    FUZZ_CHECK(stream.EndOfFile);
    if (stream.WideUnitBytes() == 0) {
        const TextEncoding::Kind kind = TextEncoding::detect(bytes);
        QByteArray expected = bytes.mid(TextEncoding::markLength(kind));
        const qsizetype end = expected.indexOf('\x1a');
        if (end >= 0) {
            expected.truncate(end);
        }
        FUZZ_CHECK(read == expected);
    }
    return 0;
}
