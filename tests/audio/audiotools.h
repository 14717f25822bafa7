#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The real audio tools the tests check against: sox makes input waves, soxi and mpg123 read
// what the program wrote.
namespace audiotools {

// Runs a tool; its standard output, or a failed assertion in the calling test.
QString Run(const QString& tool, const QStringList& args);
// A wave of a sine tone made by sox.
void MakeTone(const QString& path, int rate, int bits, int channels, double seconds);
QString Soxi(const QString& path, const char* flag);  // "-r", "-c", "-b", "-s", "-D"
// Samples of the MP3 decoded by mpg123.
int64_t DecodedSamples(const QString& mp3);
// The samples of a mono MP3 decoded by mpg123 (16-bit, host order).
std::vector<int16_t> DecodedPcm(const QString& mp3);
// Speech by eSpeak NG (22050 Hz, 16-bit mono) in folder: the first bytesOfText of the GPL,
// about a minute for each 1100 bytes.
QString MakeSpeech(const QString& folder, int bytesOfText);
// A RIFF/WAVE file built by hand: fmt, data, and whatever chunks follow.
QByteArray Riff(const QByteArray& fmtContent, const QByteArray& data, const QByteArray& after = {},
                int64_t dataSizeField = -1);
QByteArray Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
void Write(const QString& path, const QByteArray& bytes);
QByteArray Read(const QString& path);

}  // namespace audiotools
