#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "tests/common/printers.h"
#include "text/textfile.h"

TEST(TextFiles, LinesEndAtCarriageReturnsAndLineFeedsAloneStay) {
    EXPECT_EQ(TextFile::splitLines(u"one\r\ntwo\rthree\nstill three\r\n"),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"),
                           QStringLiteral("three\nstill three")}));
    EXPECT_EQ(TextFile::splitLines(u"a\r\r\nb"),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(TextFile::splitLines(u"").isEmpty());
}

TEST(TextFiles, Utf8WithAFallbackToWindows1252AndAnEndOfFileMark) {
    EXPECT_EQ(TextFile::decode("caf\xc3\xa9 \xe2\x82\xac"), QStringLiteral("café €"));
    EXPECT_EQ(TextFile::decode("caf\xe9 \x80 \x93quoted\x94"), QStringLiteral("café € “quoted”"));
    EXPECT_EQ(TextFile::decode("kept\x1a"
                               "dropped"),
              QStringLiteral("kept"));
    EXPECT_EQ(TextFile::decode("\xef\xbb\xbfwith mark"), QStringLiteral("with mark"));
}

namespace {

// The bytes of a text in an encoding, after its byte order mark.
QByteArray encoded(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

}  // namespace

TEST(TextFiles, ControlCharactersAreBlanksAndMarkedFilesAreDecodedAsTheirMarkSays) {
    EXPECT_EQ(TextFile::decode(QByteArray("Hello\0world", 11)), QStringLiteral("Hello world"));
    EXPECT_EQ(TextFile::decode("a\x01\x07\x1b\x7f"
                               "b\tc\r\nd\x0c"
                               "e"),
              QStringLiteral("a    b\tc\r\nd e"));
    EXPECT_EQ(TextFile::decode("caf\xe9\x81"), QStringLiteral("café "))
        << "an unassigned Windows-1252 code is a control character too";
    // What is stored keeps them.
    EXPECT_EQ(TextFile::decodeStored(QByteArray("a\0b\x01", 4)),
              QStringView(u"a\0b\x01", 4).toString());

    const QString text = QStringLiteral("Café ☕ 😀\r\nsecond line\ttab");
    for (const auto encoding :
         {QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE,
          QStringConverter::Utf32LE, QStringConverter::Utf32BE}) {
        const QByteArray bytes = encoded(text, encoding);
        EXPECT_EQ(TextFile::decode(bytes), text) << QStringConverter::nameForEncoding(encoding);
        // A character 26 still ends the text, and a NUL is a blank, in every encoding.
        const QByteArray ended =
            encoded(QStringView(u"one\0two\x1athree", 13).toString(), encoding);
        EXPECT_EQ(TextFile::decode(ended), QStringLiteral("one two"))
            << QStringConverter::nameForEncoding(encoding);
    }
    EXPECT_EQ(TextFile::decode(QByteArray("\xff\xfe", 2)), QString());
}

TEST(TextFiles, OnlyLinesThatAreNotUtf8AreReadAsWindows1252) {
    const QByteArray bytes =
        "caf\xc3\xa9 first\r\n"
        "caf\xe9 second\r\n"
        "\xe2\x82\xac third\n"
        "\x80 fourth\n"
        "cut \xc3";
    EXPECT_EQ(TextFile::decodeStored(bytes), QStringLiteral("café first\r\n"
                                                            "café second\r\n"
                                                            "€ third\n"
                                                            "€ fourth\n"
                                                            "cut Ã"));
    // Every valid line comes back byte for byte; a mark inside the text stays a character.
    const QByteArray valid =
        "\xef\xbb\xbf"
        "marked\r\n\xef\xbb\xbfword caf\xc3\xa9\r\n";
    EXPECT_EQ(TextFile::decodeStored(valid).toUtf8(), valid.mid(3));
    const QStringList lines = TextFile::splitLines(TextFile::decodeStored(bytes));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toUtf8(), QByteArray("caf\xc3\xa9 first"));
}

TEST(TextFiles, ProgramsPicturesAndRandomBytesAreNotText) {
    EXPECT_TRUE(TextFile::looksLikeText("Plain words.\r\n\tIndented, \x0c new page.\x1a"));
    EXPECT_TRUE(TextFile::looksLikeText("caf\xe9 \x93quoted\x94"));
    EXPECT_TRUE(TextFile::looksLikeText(QByteArray("Hello\0world", 11)));
    EXPECT_TRUE(TextFile::looksLikeText(
        encoded(QStringLiteral("Wide text. ").repeated(99), QStringConverter::Utf16LE)));
    EXPECT_TRUE(TextFile::looksLikeText(QByteArray()));

    QFile program(QStringLiteral("/bin/ls"));
    ASSERT_TRUE(program.open(QIODevice::ReadOnly));
    EXPECT_FALSE(TextFile::looksLikeText(program.readAll()));
    QRandomGenerator random(12);
    QByteArray noise(100000, '\0');
    for (char& byte : noise) {
        byte = char(random.bounded(256));
    }
    EXPECT_FALSE(TextFile::looksLikeText(noise));
    EXPECT_FALSE(TextFile::looksLikeText(QByteArray(500, '\0')));
    // UTF-16 without its mark: every other byte is a NUL.
    QByteArray unmarked =
        encoded(QStringLiteral("No mark. ").repeated(50), QStringConverter::Utf16LE);
    EXPECT_FALSE(TextFile::looksLikeText(unmarked.mid(2)));

    QString error;
    EXPECT_FALSE(TextFile::isTextFile(QStringLiteral("/bin/ls"), &error));
    EXPECT_EQ(error, QStringLiteral("/bin/ls does not look like a text file"));
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encoded(QStringLiteral("Notes."), QStringConverter::Utf32BE));
    file.close();
    EXPECT_TRUE(TextFile::isTextFile(text, &error));
    EXPECT_FALSE(TextFile::isTextFile(dir.filePath(QStringLiteral("gone.txt")), &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("gone.txt"))) << error.toStdString();
}
