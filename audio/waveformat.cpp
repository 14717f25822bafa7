#include "audio/waveformat.h"

#include <QtEndian>

namespace {

template <typename T>
void put(QByteArray& out, T value) {
    const T little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&little), sizeof(T));
}

template <typename T>
T get(const QByteArray& in, int offset) {
    if (offset + int(sizeof(T)) > in.size()) {
        return 0;
    }
    return qFromLittleEndian<T>(in.constData() + offset);
}

}  // namespace

QByteArray TWaveFormatEx::Serialize() const {
    QByteArray out;
    put(out, wFormatTag);
    put(out, nChannels);
    put(out, nSamplesPerSec);
    put(out, nAvgBytesPerSec);
    put(out, nBlockAlign);
    put(out, wBitsPerSample);
    put(out, cbSize);
    return out;
}

TWaveFormatEx TWaveFormatEx::Parse(const QByteArray& bytes) {
    TWaveFormatEx format;
    format.wFormatTag = get<uint16_t>(bytes, 0);
    format.nChannels = get<uint16_t>(bytes, 2);
    format.nSamplesPerSec = get<uint32_t>(bytes, 4);
    format.nAvgBytesPerSec = get<uint32_t>(bytes, 8);
    format.nBlockAlign = get<uint16_t>(bytes, 12);
    format.wBitsPerSample = get<uint16_t>(bytes, 14);
    format.cbSize = get<uint16_t>(bytes, 16);
    return format;
}

TWaveFormatEx BuildPcmFormat(uint16_t bits, uint16_t channels, uint32_t rate) {
    TWaveFormatEx format;
    format.wFormatTag = TWaveFormatEx::kPcm;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    // Unsigned and wide, so no pair of 16-bit fields overflows; only sane formats are asked for.
    format.nBlockAlign = uint16_t(uint32_t(bits) * channels / 8);
    format.nAvgBytesPerSec = uint32_t(format.nBlockAlign) * rate;
    format.cbSize = 0;
    return format;
}

bool IsValidForConversion(const TWaveFormatEx& format) {
    return format.wFormatTag == TWaveFormatEx::kPcm &&
           (format.nChannels == 1 || format.nChannels == 2) &&
           (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
           format.nSamplesPerSec >= 4000 && format.nSamplesPerSec <= 100000;
}
