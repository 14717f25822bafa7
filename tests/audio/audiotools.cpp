#include "tests/audio/audiotools.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <cstring>

namespace audiotools {

QString Run(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    const bool finished = process.waitForFinished(120000);
    EXPECT_TRUE(finished && process.exitCode() == 0)
        << tool.toStdString() << " " << args.join(QLatin1Char(' ')).toStdString() << ": "
        << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void MakeTone(const QString& path, int rate, int bits, int channels, double seconds) {
    Run(QStringLiteral("sox"),
        {QStringLiteral("-n"), QStringLiteral("-r"), QString::number(rate), QStringLiteral("-b"),
         QString::number(bits), QStringLiteral("-c"), QString::number(channels), path,
         QStringLiteral("synth"), QString::number(seconds), QStringLiteral("sine"),
         QStringLiteral("300-900")});
}

QString Soxi(const QString& path, const char* flag) {
    return Run(QStringLiteral("soxi"), {QString::fromLatin1(flag), path});
}

int64_t DecodedSamples(const QString& mp3) {
    const QString wav = mp3 + QStringLiteral(".decoded.wav");
    Run(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), wav, mp3});
    const int64_t samples = Soxi(wav, "-s").toLongLong();
    QFile::remove(wav);
    return samples;
}

std::vector<int16_t> DecodedPcm(const QString& mp3) {
    const QString raw = mp3 + QStringLiteral(".decoded.raw");
    Run(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-e"),
                                   QStringLiteral("s16"), QStringLiteral("-O"), raw, mp3});
    const QByteArray bytes = Read(raw);
    QFile::remove(raw);
    std::vector<int16_t> samples(size_t(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

QString MakeSpeech(const QString& folder, int bytesOfText) {
    const QString text = folder + QStringLiteral("/speech.txt");
    QFile licence(QStringLiteral("/usr/share/common-licenses/GPL-3"));
    EXPECT_TRUE(licence.open(QIODevice::ReadOnly));
    Write(text, licence.read(bytesOfText));
    const QString wav = folder + QStringLiteral("/speech.wav");
    Run(QStringLiteral("espeak-ng"), {QStringLiteral("-v"), QStringLiteral("en-us"),
                                      QStringLiteral("-w"), wav, QStringLiteral("-f"), text});
    return wav;
}

static QByteArray Le32(uint32_t v) {
    const uint32_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 4);
}

static QByteArray Le16(uint16_t v) {
    const uint16_t le = qToLittleEndian(v);
    return QByteArray(reinterpret_cast<const char*>(&le), 2);
}

QByteArray Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    // A header of any fields, also ones whose block size cannot fit: wrapped on purpose.
    const uint16_t align = uint16_t(uint32_t(channels) * bits / 8);
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

QByteArray Riff(const QByteArray& fmt, const QByteArray& data, const QByteArray& after,
                int64_t dataSizeField) {
    QByteArray body = "WAVE" + QByteArray("fmt ") + Le32(uint32_t(fmt.size())) + fmt;
    body += "data" + Le32(uint32_t(dataSizeField >= 0 ? dataSizeField : data.size())) + data;
    if (data.size() % 2) {
        body += '\0';
    }
    body += after;
    return "RIFF" + Le32(uint32_t(body.size())) + body;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace audiotools
